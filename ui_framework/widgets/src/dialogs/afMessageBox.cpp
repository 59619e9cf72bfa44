#include "corvel/widgets/afMessageBox.h"

#include "corvel/widgets/createControl.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afLabel.h"
#include "zem/base/Exception.h"

namespace corvel {

namespace {

constexpr wchar_t CHECK_BOX_PLACEHOLDER[] = L"<Hey! Fill the text, will ya?>";
constexpr int BOTTOM_PADDING = 10;
constexpr int BOTTOM_GRAVITY = 19;
constexpr int BUTTON_ROW_GRAVITY = 21;
constexpr int BUTTON_SPACING = 4;
constexpr int LABEL_SPACING_UNIT = 5;
constexpr int CHECK_BOX_MARGIN = 10;
constexpr int CONTENT_PADDING = 10;
// The line between the text and the buttons, from the framework's colour table.
constexpr int LINE_COLOR = 6;

afLayoutParamsLinear* params(int width, int height) {
    return new afLayoutParamsLinear(width, height);
}

} // namespace

afMessageBox::afMessageBox(afView* owner) : afWindow(owner) {
    setMinimumSize(MINIMUM_WIDTH, 0);
    setSizeModes(SIZE_CONTENT, SIZE_CONTENT);
}

afMessageBox* afMessageBox::create(afView* owner) {
    return createControl<afMessageBox>(owner);
}

bool afMessageBox::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afMessageBox");
    seed.className = L"afMessageBox";
    seed.style = WS_CAPTION | WS_SYSMENU;
    seed.exStyle = WS_EX_DLGMODALFRAME;
    seed.windowName = getTitle();
    return true;
}

void afMessageBox::onCreated() {
    build();
    afWindow::onCreated();
}

void afMessageBox::build() {
    if (m_built)
        return;
    m_built = true;
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(root);

    m_content = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    m_content->setPadding(CONTENT_PADDING);
    root->addChild(m_content, params(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    m_iconLabel = new afLabel(this);
    m_iconLabel->setPadding(0, 0, CONTENT_PADDING, 0);
    m_content->addChild(m_iconLabel, params(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT));
    m_iconLabel->setVisible(false); // a box starts without an icon
    m_textColumn = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_content->addChild(m_textColumn, new afLayoutParamsLinear(0, afLayoutParams::WRAP_CONTENT, 1.0));

    m_bottom = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_bottom->setPadding(BOTTOM_PADDING);
    m_bottom->setGravity(BOTTOM_GRAVITY);
    root->addChild(m_bottom, params(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    m_checkBox = afControlCheckBox::create(this);
    m_checkBox->setText(CHECK_BOX_PLACEHOLDER);
    afLayoutParamsLinear* boxParams = params(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
    boxParams->setMargins(0, 0, 0, CHECK_BOX_MARGIN);
    m_bottom->addChild(m_checkBox, boxParams);
    m_checkBox->setVisible(false);
    m_buttonRow = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    m_buttonRow->setGravity(BUTTON_ROW_GRAVITY);
    m_bottom->addChild(m_buttonRow, params(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
}

void afMessageBox::setIcon(const afIcon* icon) {
    if (!m_iconLabel)
        return;
    m_iconLabel->setIcon(icon, 0);
    m_iconLabel->setVisible(icon != nullptr);
}

afLabel* afMessageBox::addLabel(const std::wstring& text, int visualStyle, int spacing, int wrapMode) {
    build();
    auto* label = new afLabel(this);
    label->setVisualStyle(visualStyle);
    label->setWrapMode(wrapMode);
    label->setText(text);
    label->setPadding(0, 0, 0, spacing * LABEL_SPACING_UNIT);
    m_textColumn->addChild(label, params(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    return label;
}

afControlButton* afMessageBox::addButton(const std::wstring& text, uint32_t result, bool isDefault, int key) {
    build();
    afControlButton* button = afControlButton::create(this);
    button->setText(text.c_str());
    button->clickCallback.set(this, &afMessageBox::onClick);
    afLayoutParamsLinear* buttonParams = params(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
    buttonParams->setMargins(BUTTON_SPACING, 0, 0, 0);
    m_buttonRow->addChild(button, buttonParams);
    m_buttons.push_back(button);
    m_entries.push_back(ButtonEntry{button, result, key});
    // Tab order follows the order of addition: each button after the one before it.
    for (size_t i = 1; i < m_buttons.size(); ++i)
        SetWindowPos(m_buttons[i]->getHandle(), m_buttons[i - 1]->getHandle(), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (isDefault) {
        button->makeDefault();
        SetFocus(button->getHandle());
    }
    return button;
}

void afMessageBox::setCheckBox(const std::wstring& text) {
    if (text.empty())
        throw zem::InvalidArgumentException(L"Label was not set for visible checkbox.");
    build();
    m_checkBox->setText(text.c_str());
    m_checkBox->setChecked(false);
    m_checkBox->setVisible(true);
    needLayout("afMessageBox::setCheckBox");
}

bool afMessageBox::isChecked() const {
    if (m_checkBox && m_checkBox->getHandle())
        return m_checkBox->isChecked();
    return m_checked;
}

uint32_t afMessageBox::getButtonResult(const afControlButton* button) const {
    for (const ButtonEntry& entry : m_entries) {
        if (entry.button == button)
            return entry.result;
    }
    return 0;
}

void afMessageBox::onClick(void* self, afControlButton* button) {
    static_cast<afMessageBox*>(self)->onButtonClicked(button);
}

void afMessageBox::onButtonClicked(afControlButton* button) {
    for (const ButtonEntry& entry : m_entries) {
        if (entry.button == button) {
            close(entry.result);
            return;
        }
    }
}

bool afMessageBox::onKeyDown(afEvent* event) {
    int key = event->getKeyCode();
    for (const ButtonEntry& entry : m_entries) {
        if (entry.key != 0 && entry.key == key) {
            entry.button->click();
            return true;
        }
    }
    return afWindow::onKeyDown(event);
}

uint32_t afMessageBox::enterModal() {
    // Made at the system's default place, which without a window manager is the screen's
    // corner: the box opens centred over the window it belongs to, sized to its content.
    HWND owner = getOwnerWindow();
    if (!owner && m_hwnd)
        owner = GetWindow(m_hwnd, GW_OWNER);
    RECT over{};
    if (m_hwnd && owner && GetWindowRect(GetAncestor(owner, GA_ROOT), &over)) {
        validateLayout();
        RECT box{};
        GetWindowRect(m_hwnd, &box);
        afRect frame(box);
        frame.centerIn(over);
        clampToWorkArea(frame);
        SetWindowPos(m_hwnd, nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return afWindow::enterModal();
}

void afMessageBox::leaveModal() {
    if (m_checkBox && m_checkBox->getHandle())
        m_checked = m_checkBox->isChecked();
    m_checkBox = nullptr;
    afWindow::leaveModal();
}

bool afMessageBox::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    afRect bottom = m_bottom ? m_bottom->getFrame() : afRect(client);
    afRect top(client.left, client.top, client.right, bottom.top);
    canvas->fillRect(GetSysColor(COLOR_WINDOW), top);
    afRect lower(client.left, bottom.top, client.right, client.bottom);
    canvas->fillRect(GetSysColor(COLOR_BTNFACE), lower);
    COLORREF line = afResources::exists() ? afResources::getColor(LINE_COLOR) : GetSysColor(COLOR_BTNSHADOW);
    canvas->drawLine(line, client.left, bottom.top, client.right, bottom.top);
    return true;
}

} // namespace corvel
