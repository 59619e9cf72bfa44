#include "corvel/app/OperationProgressDialog.h"

#include "corvel/widgets/createControl.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlProgressBar.h"
#include "corvel/widgets/afLabel.h"
#include "zem/text/ReadableSize.h"

namespace corvel {

namespace {

constexpr int PADDING = 10;
constexpr int CAPTION_GAP = 10;
constexpr int BAR_MARGIN = 10;
constexpr int HEADING_FONT = 4;
constexpr int FOOTER_GRAVITY = 21; // right, vertically centred
// The band between header and footer, and the lines that bound it, from the framework's
// colour table.
constexpr int BAND_COLOR = 26;
constexpr int LINE_COLOR = 6;

afLayoutParamsLinear* params(int width, int height, float weight = 0.0f) {
    return new afLayoutParamsLinear(width, height, weight);
}

afLabel* makeLabel(afView* parent, const std::wstring& text, int wrapMode) {
    auto* label = new afLabel(parent);
    label->setWrapMode(wrapMode);
    label->setText(text);
    return label;
}

} // namespace

OperationProgressDialog::OperationProgressDialog(afView* owner) : afWindow(owner) {
    setMinimumSize(MINIMUM_WIDTH, 0);
    setSizeModes(SIZE_CONTENT, SIZE_CONTENT);
    m_title = L"";
}

OperationProgressDialog* OperationProgressDialog::create(afView* owner) {
    return createControl<OperationProgressDialog>(owner);
}

bool OperationProgressDialog::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"OperationProgressDialog");
    seed.className = L"OperationProgressDialog";
    seed.style = WS_CAPTION | WS_SYSMENU; // 0x00C80000
    seed.exStyle = WS_EX_DLGMODALFRAME;
    seed.windowName = getTitle();
    return true;
}

void OperationProgressDialog::onCreated() {
    setName(L"operation_progress_dialog");
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(root);
    const int fill = afLayoutParams::FILL_PARENT;
    const int wrap = afLayoutParams::WRAP_CONTENT;

    m_header = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    m_header->setPadding(PADDING);
    root->addChild(m_header, params(fill, wrap));
    m_heading = makeLabel(this, L"Copying...", afLabel::WRAP_ELLIPSIS);
    if (afResources::exists())
        m_heading->setFont(&afResources::getFont(HEADING_FONT));
    m_header->addChild(m_heading, params(fill, wrap, 1.0f));

    m_body = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_body->setPadding(PADDING);
    root->addChild(m_body, params(fill, wrap));
    auto* row = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    m_body->addChild(row, params(fill, wrap));
    auto* captions = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    captions->setPadding(0, 0, CAPTION_GAP, 0);
    row->addChild(captions, params(wrap, wrap));
    m_sourceCaption = makeLabel(this, L"From:", afLabel::WRAP_ELLIPSIS);
    captions->addChild(m_sourceCaption, params(wrap, wrap));
    m_targetCaption = makeLabel(this, L"To:", afLabel::WRAP_ELLIPSIS);
    captions->addChild(m_targetCaption, params(wrap, wrap));
    auto* texts = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    row->addChild(texts, params(0, wrap, 1.0f));
    m_source = makeLabel(this, L"...", afLabel::WRAP_WORDS);
    texts->addChild(m_source, params(fill, wrap));
    m_target = makeLabel(this, L"...", afLabel::WRAP_WORDS);
    texts->addChild(m_target, params(fill, wrap));
    m_bar = afControlProgressBar::create(this);
    afLayoutParamsLinear* barParams = params(fill, wrap);
    barParams->setMargins(0, BAR_MARGIN, 0, BAR_MARGIN);
    m_body->addChild(m_bar, barParams);

    m_footer = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    m_footer->setPadding(PADDING);
    m_footer->setGravity(FOOTER_GRAVITY);
    root->addChild(m_footer, params(fill, wrap));
    m_cancel = afControlButton::create(this);
    m_cancel->setText(L"&Cancel");
    m_cancel->clickCallback.set(this, &OperationProgressDialog::onCancel);
    m_footer->addChild(m_cancel, params(wrap, wrap));

    afWindow::onCreated();
    disableOwnerChain();
}

void OperationProgressDialog::onCancel(void* self, afControlButton*) {
    static_cast<OperationProgressDialog*>(self)->close(RESULT_CANCEL);
}

void OperationProgressDialog::disableOwnerChain() {
    m_disabled.clear();
    for (HWND owner = GetWindow(m_hwnd, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER)) {
        if (IsWindowEnabled(owner)) {
            EnableWindow(owner, FALSE);
            m_disabled.push_back(owner);
        }
    }
}

void OperationProgressDialog::enableOwnerChain() {
    for (HWND owner : m_disabled) {
        if (IsWindow(owner))
            EnableWindow(owner, TRUE);
    }
    HWND nearest = m_hwnd ? GetWindow(m_hwnd, GW_OWNER) : nullptr;
    m_disabled.clear();
    if (nearest && IsWindowEnabled(nearest))
        SetFocus(nearest);
}

void OperationProgressDialog::onDestroy() {
    enableOwnerChain();
    afWindow::onDestroy();
}

bool OperationProgressDialog::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd || !m_header || !m_footer)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    canvas->fillRect(GetSysColor(COLOR_BTNFACE), afRect(client));
    int top = m_header->getFrame().bottom;
    int bottom = m_footer->getFrame().top;
    bool resources = afResources::exists();
    COLORREF band = resources ? afResources::getColor(BAND_COLOR) : GetSysColor(COLOR_WINDOW);
    COLORREF line = resources ? afResources::getColor(LINE_COLOR) : GetSysColor(COLOR_BTNSHADOW);
    canvas->fillRect(band, afRect(client.left, top, client.right, bottom));
    canvas->drawLine(line, client.left, top, client.right, top);
    canvas->drawLine(line, client.left, bottom, client.right, bottom);
    return true;
}

void OperationProgressDialog::setHeading(const std::wstring& text) {
    if (m_heading)
        m_heading->setText(text);
}

void OperationProgressDialog::setSource(const std::wstring& text) {
    if (m_source)
        m_source->setText(text);
}

void OperationProgressDialog::setTarget(const std::wstring& text) {
    if (m_target)
        m_target->setText(text);
}

void OperationProgressDialog::setProgressStyle(int style) {
    if (m_bar && (style == afControlProgressBar::STYLE_MARQUEE || style == afControlProgressBar::STYLE_DETERMINATE))
        m_bar->setStyle(style);
}

void OperationProgressDialog::setRange(int maximum) {
    if (m_bar)
        m_bar->setRange(0, maximum);
}

void OperationProgressDialog::setPosition(int position) {
    if (m_bar)
        m_bar->setPosition(position);
}

void OperationProgressDialog::setRemaining(int64_t seconds) {
    if (seconds < 0) {
        setTitle(L"Estimating time...");
        return;
    }
    std::wstring title;
    zem::formatDuration(&title, seconds);
    title += L" remaining...";
    setTitle(title.c_str());
}

} // namespace corvel
