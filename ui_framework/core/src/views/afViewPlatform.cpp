#include "corvel/ui/afViewPlatform.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afCanvasWidget.h"
#include "corvel/ui/afFont.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWidget.h"
#include "corvel/ui/afWidgetKit.h"
#include "corvel/ui/afWindowsUX.h"
#include "zem/base/Exception.h"

#include <ole2.h>

namespace corvel {

namespace {

const wchar_t PROPERTY[] = L"AFWIDGETPTR";

// The window last looked up: a window's messages come in runs, and each property lookup
// is a round trip to the window system. Kept only while the window is bound.
HWND g_lastHwnd = nullptr;
afViewPlatform* g_lastView = nullptr;

void forgetLastLookup(HWND hwnd) {
    if (hwnd != g_lastHwnd)
        return;
    g_lastHwnd = nullptr;
    g_lastView = nullptr;
}

} // namespace

afViewPlatform::afViewPlatform(afView* owner) : afView(owner) {}

afViewPlatform::~afViewPlatform() {
    if (g_lastView == this)
        forgetLastLookup(g_lastHwnd);
    if (m_hookedParent)
        m_hookedParent->removeMessageHook(&parentHook, this);
}

const wchar_t* afViewPlatform::getTypeName() const {
    return afTypeName::VIEW_PLATFORM;
}

afViewPlatform* afViewPlatform::viewFromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    if (hwnd == g_lastHwnd)
        return g_lastView;
    auto* view = static_cast<afViewPlatform*>(GetPropW(hwnd, PROPERTY));
    if (!view)
        return nullptr;
    // Another process's framework window carries a pointer of that process.
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    g_lastHwnd = hwnd;
    g_lastView = view;
    return view;
}

HWND afViewPlatform::getOwnerWindow() const {
    afView* owner = getOwner();
    if (!owner || owner == this || owner->isVirtual())
        return nullptr;
    return static_cast<afViewPlatform*>(owner)->m_hwnd;
}

void afViewPlatform::attach() {
    afView::attach();
    m_geometryStale = true;
}

void afViewPlatform::detach() {
    afView::detach();
    m_geometryStale = true;
}

void afViewPlatform::onChildAdded(afView*, int) {}

void afViewPlatform::onChildRemoved(afView* child) {
    if (child == m_hover)
        m_hover = nullptr;
    if (child == m_content)
        m_content = nullptr;
}

void afViewPlatform::setContentView(afView* content) {
    if (m_content == content)
        return;
    if (m_content && m_content->getParent() == this)
        removeChild(m_content);
    m_content = nullptr;
    if (content) {
        addChild(content, -1);
        m_content = content;
    }
    needLayout("afViewPlatform::setContentView");
}

// --- geometry ---

void afViewPlatform::refreshGeometry(bool force) const {
    if (!m_hwnd || (!force && !m_geometryStale))
        return;
    RECT window{0, 0, 0, 0};
    RECT client{0, 0, 0, 0};
    GetWindowRect(m_hwnd, &window);
    GetClientRect(m_hwnd, &client);
    MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    m_margins.set(client.left - window.left, client.top - window.top, window.right - client.right,
                  window.bottom - client.bottom);
    if (GetWindowLongW(m_hwnd, GWL_STYLE) & WS_CHILD) {
        // A child keeps the frame layout gave it; the client area follows from the margins.
        m_client = m_frame;
        m_client.deflate(m_margins.left, m_margins.top, m_margins.right, m_margins.bottom);
    } else {
        m_frame = window;
        m_client = client;
    }
    m_geometryStale = false;
}

afRect afViewPlatform::getFrame() const {
    refreshGeometry(false);
    return m_frame;
}

afRect afViewPlatform::getClientFrame() const {
    refreshGeometry(false);
    if (!m_hwnd)
        return m_frame;
    return m_client;
}

void afViewPlatform::getHostRect(afRect& out) const {
    // Views hosted here count from this window's client area.
    afRect client = getClientFrame();
    out.set(0, 0, client.width(), client.height());
}

afRect afViewPlatform::getNonClientMargins() {
    refreshGeometry(true);
    return m_margins;
}

void afViewPlatform::setFrame(const afRect& frame) {
    m_frame = frame;
}

void afViewPlatform::setClientFrame(const afRect& rect) {
    afRect margins = getNonClientMargins();
    afRect frame = rect;
    frame.deflate(-margins.left, -margins.top, -margins.right, -margins.bottom);
    setFrame(frame);
}

void afViewPlatform::layout() {
    bool opened = false;
    if (!m_deferBatch && m_hwnd) {
        m_deferBatch = BeginDeferWindowPos(16);
        opened = m_deferBatch != nullptr;
    }
    afView::layout();
    if (opened) {
        HDWP batch = m_deferBatch;
        m_deferBatch = nullptr;
        EndDeferWindowPos(batch);
    }
}

void afViewPlatform::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    if (!m_content) {
        afView::onMeasure(widthSpec, heightSpec);
        return;
    }
    m_content->measure(widthSpec, heightSpec);
    setMeasuredDimension(m_content->getMeasuredWidth(), m_content->getMeasuredHeight());
}

void afViewPlatform::onLayout(bool, const afRect&) {
    if (!m_content)
        return;
    afRect client = getClientFrame();
    m_content->setFrame(afRect(0, 0, client.width(), client.height()));
}

// --- visibility, focus, enabling ---

bool afViewPlatform::ancestorsVisible() const {
    for (afView* view = getParent(); view; view = view->getParent()) {
        if (!view->isVisible())
            return false;
    }
    return true;
}

void afViewPlatform::applyNativeVisibility(bool show, bool activate) {
    if (!m_hwnd)
        return;
    UINT flags = show ? (activate ? 0x47u : 0x57u) : 0x97u;
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, flags);
}

void afViewPlatform::setVisible(bool visible, bool activate) {
    m_visible = visible;
    notifyChildrenVisibility(this, visible);
    // Showing under a hidden ancestor only records the flag.
    if (!visible || ancestorsVisible())
        applyNativeVisibility(visible, activate);
    markLayoutNeeded();
    requestLayout("afViewPlatform::setVisible");
}

void afViewPlatform::onAncestorVisibilityChanged(afView* view, bool visible) {
    // A native window hides with its native parent by itself, but one shown while any
    // ancestor was hidden holds only its flag: it shows when the last ancestor does.
    if (m_visible && view && (visible || view->isVirtual()))
        applyNativeVisibility(visible && ancestorsVisible(), false);
    afView::onAncestorVisibilityChanged(view, visible);
}

void afViewPlatform::setEnabled(bool enabled) {
    if (m_hwnd)
        EnableWindow(m_hwnd, enabled);
}

bool afViewPlatform::isEnabled() const {
    return m_hwnd && IsWindowEnabled(m_hwnd);
}

bool afViewPlatform::hasFocus() const {
    return m_hwnd && GetFocus() == m_hwnd;
}

afView* afViewPlatform::getFocusedChild() {
    for (HWND hwnd = GetFocus(); hwnd && hwnd != m_hwnd; hwnd = GetAncestor(hwnd, GA_PARENT)) {
        if (!IsChild(m_hwnd, hwnd))
            return nullptr;
        if (afViewPlatform* view = viewFromHandle(hwnd))
            return view;
    }
    return nullptr;
}

void afViewPlatform::onChildFocus(afView* view, bool gained) {
    afView* owner = getOwner();
    if (owner && owner != this && !owner->isVirtual())
        static_cast<afViewPlatform*>(owner)->onChildFocus(view, gained);
}

void afViewPlatform::onFocusIn() {
    onChildFocus(this, true);
}

void afViewPlatform::onFocusOut() {
    onChildFocus(this, false);
}

afView* afViewPlatform::hitTest(int x, int y) {
    if (!m_hwnd)
        return nullptr;
    POINT point{x, y};
    ScreenToClient(m_hwnd, &point);
    if (m_content && m_content->isVisible()) {
        if (afView* hit = m_content->hitTest(point.x, point.y))
            return hit;
    }
    RECT client;
    GetClientRect(m_hwnd, &client);
    return afRect(client).contains(point.x, point.y) ? this : nullptr;
}

void afViewPlatform::invalidateRect(const afRect& rect) {
    if (m_hwnd)
        InvalidateRect(m_hwnd, &rect, FALSE);
}

void afViewPlatform::invalidate() {
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

std::unique_ptr<afCanvas> afViewPlatform::getCanvas() {
    if (!m_hwnd)
        return nullptr;
    return afCanvasWidget::create(m_hwnd, getFontHandle());
}

// --- text, fonts, styles ---

void afViewPlatform::setText(const wchar_t* text) {
    if (m_hwnd) {
        SendMessageW(m_hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
        return;
    }
    m_text = text ? text : L"";
}

const std::wstring& afViewPlatform::getText() {
    if (m_hwnd && (m_options & OPTION_NATIVE_TEXT)) {
        int length = static_cast<int>(SendMessageW(m_hwnd, WM_GETTEXTLENGTH, 0, 0));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int got = static_cast<int>(SendMessageW(m_hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
        text.resize(static_cast<size_t>(got < 0 ? 0 : got));
        m_text = text;
    }
    return m_text;
}

void afViewPlatform::setFont(const afFont* font) {
    if (!font)
        throw zem::InvalidArgumentException(L"Font cannot be NULL.");
    if (!font->getHandle())
        throw zem::InvalidArgumentException(L"Font handle cannot be NULL.");
    m_font = font;
    if (m_hwnd)
        SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->getHandle()), TRUE);
    needLayout("afViewPlatform::setFont");
}

HFONT afViewPlatform::getFontHandle() const {
    return m_font ? m_font->getHandle() : nullptr;
}

void afViewPlatform::setIcon(HICON big, HICON small) {
    if (!m_hwnd)
        return;
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void afViewPlatform::setThemeClass(const wchar_t* className) {
    m_themeClass = className ? className : L"";
    if (m_theme) {
        afWindowsUX::closeThemeData(m_theme);
        m_theme = nullptr;
    }
    if (m_hwnd && !m_themeClass.empty())
        m_theme = afWindowsUX::openThemeData(m_hwnd, m_themeClass.c_str());
}

void afViewPlatform::setStyleBits(DWORD bits, bool on, bool extended) {
    if (!m_hwnd)
        return;
    int index = extended ? GWL_EXSTYLE : GWL_STYLE;
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_hwnd, index));
    DWORD changed = on ? (style | bits) : (style & ~bits);
    if (changed == style)
        return;
    SetWindowLongW(m_hwnd, index, static_cast<LONG>(changed));
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_geometryStale = true;
}

void afViewPlatform::setBorder(int kind) {
    setStyleBits(WS_BORDER, kind == 1, false);
    setStyleBits(WS_EX_CLIENTEDGE, kind == 2, true);
}

int afViewPlatform::getBorder() const {
    if (getStyle() & WS_BORDER)
        return 1;
    if (getExStyle() & WS_EX_CLIENTEDGE)
        return 2;
    return 0;
}

void afViewPlatform::setClientEdge(bool on) {
    setStyleBits(WS_EX_CLIENTEDGE, on, true);
}

DWORD afViewPlatform::getStyle() const {
    return m_hwnd ? static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE)) : 0;
}

DWORD afViewPlatform::getExStyle() const {
    return m_hwnd ? static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_EXSTYLE)) : 0;
}

void afViewPlatform::setControlId(int id) {
    if (m_hwnd)
        SetWindowLongW(m_hwnd, GWL_ID, id & 0xFFFF);
}

int afViewPlatform::getControlId() const {
    return m_hwnd ? static_cast<int>(GetWindowLongW(m_hwnd, GWL_ID)) : 0;
}

void afViewPlatform::centerRect(afRect& rect) {
    afRect over = getFrame();
    rect.centerIn(over);
    clampToWorkArea(rect);
}

void afViewPlatform::clampToWorkArea(afRect& rect) {
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor && GetMonitorInfoW(monitor, &info))
        rect.keepInside(info.rcWork);
}

void afViewPlatform::setDropTarget(afIDropTarget* target) {
    if (m_dropTarget && m_hwnd)
        RevokeDragDrop(m_hwnd);
    m_dropTarget.reset(target);
    if (m_dropTarget && m_hwnd)
        RegisterDragDrop(m_hwnd, m_dropTarget->getComTarget());
}

void afViewPlatform::setScrollInfo(int position, int maximum, int page, bool horizontal, bool withPage) {
    if (!m_hwnd)
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS | SIF_RANGE | (withPage ? SIF_PAGE : 0);
    info.nMin = 0;
    info.nMax = maximum;
    info.nPos = position;
    info.nPage = static_cast<UINT>(page);
    SetScrollInfo(m_hwnd, horizontal ? SB_HORZ : SB_VERT, &info, TRUE);
}

void afViewPlatform::setCapture(bool take) {
    if (take && m_hwnd)
        SetCapture(m_hwnd);
    else if (!take && hasCapture())
        ReleaseCapture();
}

bool afViewPlatform::hasCapture() const {
    return m_hwnd && GetCapture() == m_hwnd;
}

LRESULT afViewPlatform::sendMessage(UINT message, WPARAM wParam, LPARAM lParam, bool post) {
    if (!m_hwnd)
        return 0;
    if (post)
        return PostMessageW(m_hwnd, message, wParam, lParam);
    return SendMessageW(m_hwnd, message, wParam, lParam);
}

void afViewPlatform::suspendRedraw() {
    if (m_redrawSuspended++ == 0 && m_hwnd)
        SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
}

void afViewPlatform::resumeRedraw() {
    if (m_redrawSuspended == 0)
        return;
    if (--m_redrawSuspended == 0 && m_hwnd) {
        SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0);
        invalidate();
    }
}

void afViewPlatform::update(bool invalidateFirst) {
    if (!m_hwnd)
        return;
    if (invalidateFirst)
        invalidate();
    UpdateWindow(m_hwnd);
}

// --- creation and destruction ---

bool afViewPlatform::registerClass(const afWindowClass& windowClass, bool& registered) {
    if (registered)
        return true;
    registered = true;
    WNDCLASSEXW record{};
    record.cbSize = sizeof(record);
    record.style = windowClass.style;
    record.lpfnWndProc = &afWidget::s_WndProc;
    record.cbWndExtra = windowClass.extraBytes;
    record.hInstance = afApp::getInstanceHandle();
    record.hIcon = windowClass.icon;
    record.hCursor = windowClass.cursor;
    record.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.background));
    record.lpszMenuName = windowClass.menuName;
    record.lpszClassName = windowClass.className;
    record.hIconSm = windowClass.smallIcon;
    if (!RegisterClassExW(&record))
        afApp::panic(L"afWidget::registerClass()", L"Class registration failed.");
    return true;
}

bool afViewPlatform::buildSeed(Seed&) {
    return false;
}

void afViewPlatform::create() {
    Seed seed;
    if (!buildSeed(seed))
        throw zem::IllegalStateException(L"Seed build failed.");
    createWindow(seed);
}

bool afViewPlatform::adoptHandle(HWND hwnd) {
    if (!hwnd)
        return false;
    bindHandle(hwnd, true);
    m_visible = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    notifyChildrenVisibility(this, m_visible);
    return true;
}

void afViewPlatform::bindHandle(HWND hwnd, bool subclass) {
    forgetLastLookup(hwnd);
    m_hwnd = hwnd;
    m_geometryStale = true;
    SetPropW(hwnd, PROPERTY, this);
    if (!subclass)
        return;
    m_prevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&afWidget::s_WndProc)));
    // The control exists already: it will see no WM_CREATE of ours.
    onCreate();
}

void afViewPlatform::unbindHandle(HWND hwnd) {
    onDestroy();
    forgetLastLookup(hwnd);
    RemovePropW(hwnd, PROPERTY);
}

bool afViewPlatform::parentHook(void* self, afViewPlatform*, afMessage* message) {
    (void)self;
    (void)message;
    return false;
}

void afViewPlatform::onCreate() {
    if (m_dropTarget)
        RegisterDragDrop(m_hwnd, m_dropTarget->getComTarget());
    afView* owner = getOwner();
    if (owner && owner != this && !owner->isVirtual()) {
        m_hookedParent = static_cast<afViewPlatform*>(owner);
        m_hookedParent->addMessageHook(&parentHook, this);
    }
    if (afResources::exists())
        setFont(&afResources::getFont(0));
    if (!m_themeClass.empty())
        m_theme = afWindowsUX::openThemeData(m_hwnd, m_themeClass.c_str());
    onCreated();
    if (!m_font)
        throw zem::IllegalStateException(L"Font for widget is NULL.");
}

void afViewPlatform::onDestroy() {
    onBeforeDestroy();
    if (m_hookedParent) {
        m_hookedParent->removeMessageHook(&parentHook, this);
        m_hookedParent = nullptr;
    }
    if (m_dropTarget) {
        RevokeDragDrop(m_hwnd);
        m_dropTarget.reset();
    }
    if (m_theme) {
        afWindowsUX::closeThemeData(m_theme);
        m_theme = nullptr;
    }
}

void afViewPlatform::onDestroyed() {
    if (destroyedCallback.function)
        destroyedCallback.function(destroyedCallback.object, this);
}

void afViewPlatform::onOwnerChanging(afView* owner) {
    if (owner == getOwner())
        return;
    if (m_hookedParent) {
        m_hookedParent->removeMessageHook(&parentHook, this);
        m_hookedParent = nullptr;
    }
    if (owner && !owner->isVirtual() && owner != this) {
        auto* platform = static_cast<afViewPlatform*>(owner);
        if (m_hwnd) {
            platform->addMessageHook(&parentHook, this);
            m_hookedParent = platform;
            if (platform->m_hwnd && GetParent(m_hwnd) != platform->m_hwnd) {
                SetParent(m_hwnd, platform->m_hwnd);
                SetWindowPos(m_hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
            }
        }
    }
}

} // namespace corvel
