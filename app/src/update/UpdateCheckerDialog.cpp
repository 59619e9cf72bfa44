#include "corvel/app/UpdateCheckerDialog.h"

#include "corvel/app/UpdateInfo.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlProgressBar.h"
#include "corvel/widgets/afLabel.h"
#include "zem/base/Format.h"

#include <shellapi.h>
#include <vector>

namespace corvel {

namespace {

constexpr int PADDING = 10;
constexpr int LINE_GAP = 10;
constexpr int BUTTON_GAP = 8;
constexpr int HEADING_FONT = 4;
constexpr int ICON_GAP = 8;
constexpr int ICON_INFO = 13;
constexpr int ICON_ERROR = 11;
constexpr int ROW_GRAVITY = 0x15; // right, vertically centred

const wchar_t* const PAGE_TITLES[] = {L"", L"Checking for updates...", L"Update has been found!",
                                      L"Corvel is up to date!", L"Error!"};

afLayoutParamsLinear* params(int width, int height, double weight = 0.0) {
    return new afLayoutParamsLinear(width, height, weight);
}

// Registers the window class once, with the arrow cursor.
void registerDialogClass(afViewPlatform& view) {
    static bool registered = false;
    afWindowClass windowClass;
    windowClass.className = L"UpdateCheckerDialog";
    windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
    view.registerClass(windowClass, registered);
}

void openUrl(const std::wstring& url) {
    if (!url.empty())
        ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

UpdateCheckerDialog::UpdateCheckerDialog(afView* owner) : afTaskWindow(owner) {
    setMinimumSize(MINIMUM_WIDTH, MINIMUM_HEIGHT);
    // The width stays (texts wrap in it); the height follows the page.
    setSizeModes(SIZE_KEEP, SIZE_CONTENT);
    setHideOnClose(false);
    m_title = PAGE_TITLES[PAGE_CHECKING];
}

UpdateCheckerDialog* UpdateCheckerDialog::create(afView* owner) {
    if (!owner)
        return nullptr;
    auto* dialog = new UpdateCheckerDialog(owner);
    dialog->afViewPlatform::create();
    return dialog;
}

bool UpdateCheckerDialog::buildSeed(Seed& seed) {
    afTaskWindow::buildSeed(seed);
    registerDialogClass(*this);
    seed.className = L"UpdateCheckerDialog";
    seed.style = WS_CAPTION | WS_SYSMENU;
    seed.exStyle = WS_EX_DLGMODALFRAME;
    seed.windowName = getTitle();
    seed.width = MINIMUM_WIDTH;
    seed.height = MINIMUM_HEIGHT;
    return true;
}

afLayoutLinear* UpdateCheckerDialog::addPage(int page, const wchar_t* heading, int icon) {
    auto* root = static_cast<afLayoutLinear*>(getContentView());
    const int fill = afLayoutParams::FILL_PARENT;
    const int wrap = afLayoutParams::WRAP_CONTENT;
    PageViews& views = m_pages[page];
    views.row = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    root->addChild(views.row, params(fill, fill, 1.0));
    views.content = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    views.content->setPadding(PADDING);
    views.row->addChild(views.content, params(fill, 0, 1.0));
    auto* title = new afLabel(this);
    title->setText(heading);
    if (afResources::exists()) {
        title->setFont(&afResources::getFont(HEADING_FONT));
        title->setIcon(&afResources::getIcon(icon), ICON_GAP);
    }
    views.content->addChild(title, params(fill, wrap));
    if (page == PAGE_AVAILABLE)
        title->setName(L"title");
    auto* buttons = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    buttons->setPadding(PADDING);
    buttons->setGravity(ROW_GRAVITY);
    buttons->setName(L"buttons");
    views.row->addChild(buttons, params(fill, wrap));
    views.row->setVisible(false);
    return views.content;
}

afControlButton* UpdateCheckerDialog::addButton(int page, const wchar_t* name, const wchar_t* text) {
    afControlButton* button = afControlButton::create(this);
    button->setName(name);
    button->setText(text);
    auto* row = static_cast<afLayoutLinear*>(m_pages[page].row->getChildAt(1));
    afLayoutParamsLinear* place = params(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
    place->setMargins(BUTTON_GAP, 0, 0, 0);
    row->addChild(button, place);
    return button;
}

void UpdateCheckerDialog::onCreated() {
    setName(L"update_checker");
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(root);
    const int fill = afLayoutParams::FILL_PARENT;
    const int wrap = afLayoutParams::WRAP_CONTENT;

    afLayoutLinear* checking = addPage(PAGE_CHECKING, L"Corvel is checking for updates...", ICON_INFO);
    auto* wait = new afLabel(this);
    wait->setText(L"Please wait a second...");
    afLayoutParamsLinear* waitPlace = params(fill, wrap);
    waitPlace->setMargins(0, LINE_GAP, 0, 0);
    checking->addChild(wait, waitPlace);
    afControlProgressBar* bar = afControlProgressBar::create(this);
    bar->setStyle(afControlProgressBar::STYLE_MARQUEE);
    afLayoutParamsLinear* barPlace = params(fill, wrap);
    barPlace->setMargins(0, LINE_GAP, 0, 0);
    checking->addChild(bar, barPlace);
    m_pages[PAGE_CHECKING].primary = addButton(PAGE_CHECKING, L"cancel", L"&Cancel");

    afLayoutLinear* available = addPage(PAGE_AVAILABLE, L"Update is available!", ICON_INFO);
    m_version = new afLabel(this);
    m_version->setName(L"version");
    m_version->setText(L"Corvel <version>");
    afLayoutParamsLinear* versionPlace = params(fill, wrap);
    versionPlace->setMargins(0, LINE_GAP, 0, 0);
    available->addChild(m_version, versionPlace);
    m_download = addButton(PAGE_AVAILABLE, L"download", L"&Download Corvel");
    m_download->clickCallback.set(this, &UpdateCheckerDialog::onDownload);
    m_pages[PAGE_AVAILABLE].primary = m_download;
    addButton(PAGE_AVAILABLE, L"cancel", L"&Close");

    addPage(PAGE_UP_TO_DATE, L"Corvel is up to date.", ICON_INFO);
    m_pages[PAGE_UP_TO_DATE].primary = addButton(PAGE_UP_TO_DATE, L"cancel", L"&Close");

    afLayoutLinear* error = addPage(PAGE_ERROR, L"Unable to reach update servers.", ICON_ERROR);
    auto* why = new afLabel(this);
    why->setWrapMode(afLabel::WRAP_WORDS);
    why->setText(L"There seems to be a problem with connection to Corvel's update server. Please, check your "
                 L"internet connection and proxy settings and try again later.");
    afLayoutParamsLinear* whyPlace = params(fill, wrap);
    whyPlace->setMargins(0, LINE_GAP, 0, 0);
    error->addChild(why, whyPlace);
    m_pages[PAGE_ERROR].primary = addButton(PAGE_ERROR, L"cancel", L"&Close");

    for (int page = PAGE_CHECKING; page <= PAGE_ERROR; ++page) {
        auto* cancel = static_cast<afControlButton*>(findOnPage(page, L"cancel"));
        cancel->clickCallback.set(this, &UpdateCheckerDialog::onCancel);
    }
    afTaskWindow::onCreated();
    setPage(PAGE_CHECKING);
    disableOwners(true);
}

void UpdateCheckerDialog::onDestroy() {
    reenableOwners();
    afTaskWindow::onDestroy();
}

bool UpdateCheckerDialog::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    canvas->fillRect(GetSysColor(COLOR_BTNFACE), afRect(client));
    if (m_page >= PAGE_CHECKING && m_page <= PAGE_ERROR) {
        afRect content = m_pages[m_page].content->getFrame();
        canvas->fillRect(RGB(255, 255, 255), afRect(client.left, client.top, client.right, content.bottom));
    }
    return true;
}

void UpdateCheckerDialog::setPage(int page) {
    if (page == m_page || page < PAGE_CHECKING || page > PAGE_ERROR)
        return;
    m_page = page;
    setTitle(PAGE_TITLES[page]);
    for (int other = PAGE_CHECKING; other <= PAGE_ERROR; ++other)
        m_pages[other].row->setVisible(other == page);
    setDefaultButton(m_pages[page].primary, false);
    requestLayout("UpdateCheckerDialog::setPage");
    invalidate();
}

void UpdateCheckerDialog::showInfo(const UpdateInfo& info) {
    m_downloadUrl = info.downloadUrl;
    if (m_version)
        m_version->setText(
            zem::format(L"Corvel %s (%s) %s", info.version.c_str(), info.build.c_str(), info.branch.c_str()));
    if (m_download)
        m_download->setText(zem::format(L"&Download Corvel %s", info.version.c_str()).c_str());
}

afView* UpdateCheckerDialog::findOnPage(int page, const std::wstring& name) const {
    if (page < PAGE_CHECKING || page > PAGE_ERROR || !m_pages[page].row)
        return nullptr;
    // Depth-first over the page's own views.
    std::vector<afView*> pending{m_pages[page].row};
    while (!pending.empty()) {
        afView* view = pending.back();
        pending.pop_back();
        if (view->getName() == name)
            return view;
        for (int i = view->getChildCount() - 1; i >= 0; --i)
            pending.push_back(view->getChildAt(i));
    }
    return nullptr;
}

void UpdateCheckerDialog::onCancel(void* self, afControlButton*) {
    static_cast<UpdateCheckerDialog*>(self)->close(RESULT_CANCEL);
}

void UpdateCheckerDialog::onDownload(void* self, afControlButton*) {
    openUrl(static_cast<UpdateCheckerDialog*>(self)->m_downloadUrl);
}

} // namespace corvel
