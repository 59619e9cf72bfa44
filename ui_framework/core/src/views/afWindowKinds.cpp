#include "corvel/ui/afWindowKinds.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afTypeNames.h"
#include "zem/base/Exception.h"

namespace corvel {

namespace {

// Registers a window kind's class once; failures end as afWindow's do.
void registerKind(const wchar_t* name, int background, bool& registered) {
    if (registered)
        return;
    WNDCLASSEXW record{};
    record.cbSize = sizeof(record);
    record.style = CS_DBLCLKS;
    record.lpfnWndProc = &afWidget::s_WndProc;
    record.hInstance = afApp::getInstanceHandle();
    record.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    record.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
    record.lpszClassName = name;
    if (!RegisterClassExW(&record) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw zem::IllegalStateException(L"Cannot register class for dialog.");
    registered = true;
}

} // namespace

const wchar_t* afWindowMain::getTypeName() const {
    return afTypeName::WINDOW_MAIN;
}

bool afWindowMain::onRawMessage(afMessage* message) {
    bool handled = afWindow::onRawMessage(message);
    if (message->message == WM_DESTROY)
        PostQuitMessage(0);
    return handled;
}

bool afWindowDialog::buildSeed(Seed& seed) {
    static bool registered = false;
    registerKind(L"afWindowDialog", COLOR_BTNFACE + 1, registered);
    seed.className = L"afWindowDialog";
    seed.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    seed.windowName = getTitle();
    return true;
}

bool afTaskWindow::buildSeed(Seed& seed) {
    static bool registered = false;
    registerKind(L"afTaskWindow", 0, registered);
    seed.className = L"afTaskWindow";
    seed.style = WS_CAPTION | WS_SYSMENU;
    seed.exStyle = WS_EX_DLGMODALFRAME;
    seed.windowName = getTitle();
    seed.width = 0;
    seed.height = 0;
    return true;
}

void afTaskWindow::setWindowFrame(const afRect& rect) {
    afRect moved = rect;
    if (HWND owner = getOwnerWindow()) {
        RECT ownerRect;
        GetWindowRect(owner, &ownerRect);
        moved.offset(ownerRect.left, ownerRect.top);
    }
    afWindow::setWindowFrame(moved);
}

bool afWindowHint::buildSeed(Seed& seed) {
    static bool registered = false;
    registerKind(L"afHint", COLOR_INFOBK + 1, registered);
    seed.className = L"afHint";
    seed.style = WS_POPUP | WS_BORDER;
    seed.exStyle = WS_EX_TOOLWINDOW;
    seed.windowName.clear();
    return true;
}

void afWindowHint::onCreated() {
    if (afResources::exists())
        setFont(&afResources::getFont(1));
    afWindow::onCreated();
}

void afWindowHint::setHintText(const std::wstring& text) {
    m_hint = text;
    invalidate();
}

bool afWindowHint::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    canvas->fillRect(afResources::getColor(15), client);
    afRect text(client);
    text.offset(3, 2);
    canvas->drawText(m_hint, text, afResources::getColor(16), DT_WORDBREAK);
    return true;
}

} // namespace corvel
