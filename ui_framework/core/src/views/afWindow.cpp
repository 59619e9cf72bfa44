#include "corvel/ui/afWindow.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWidgetKit.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;
const wchar_t CLASS_NAME[] = L"afWindow";

void collectMnemonics(afView* view, wchar_t character, std::vector<afView*>& out) {
    for (afView* child : view->getChildren()) {
        if (!child->isVisible() || !child->isEnabled())
            continue;
        if (child->isMnemonic(character))
            out.push_back(child);
        collectMnemonics(child, character, out);
    }
}

} // namespace

afWindow::afWindow(afView* owner) : afWidget(owner) {}

const wchar_t* afWindow::getTypeName() const {
    return afTypeName::WINDOW;
}

UINT afWindow::postValidateLayoutMessage() {
    static UINT message = RegisterWindowMessageW(L"PostValidateLayout");
    return message;
}

void afWindow::attach() {
    throw zem::IllegalStateException(L"Cannot attach window. Docking not supported.");
}

void afWindow::detach() {
    throw zem::IllegalStateException(L"Cannot detach window. Docking not supported.");
}

bool afWindow::buildSeed(Seed& seed) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW record{};
        record.cbSize = sizeof(record);
        record.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
        record.lpfnWndProc = &afWidget::s_WndProc;
        record.cbWndExtra = 30;
        record.hInstance = afApp::getInstanceHandle();
        record.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        record.lpszClassName = CLASS_NAME;
        if (!RegisterClassExW(&record) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw zem::IllegalStateException(L"Cannot register class for dialog.");
        registered = true;
    }
    seed.style = WS_OVERLAPPEDWINDOW;
    seed.className = CLASS_NAME;
    seed.windowName = m_title;
    return true;
}

void afWindow::onChildAdded(afView* child, int index) {
    afWidget::onChildAdded(child, index);
    if (!child->isVirtual()) {
        auto* platform = static_cast<afViewPlatform*>(child);
        if (platform->getHandle())
            platform->setControlId(m_nextControlId++);
    }
}

void afWindow::onChildRemoved(afView* child) {
    afWidget::onChildRemoved(child);
    if (child == m_lastFocus || child->hasDescendant(m_lastFocus)) {
        m_lastFocus = nullptr;
        m_lastFocusHandle = nullptr;
    }
    if (child == m_defaultButton)
        m_defaultButton = nullptr;
    if (child == m_currentDefault)
        m_currentDefault = m_defaultButton;
}

void afWindow::setFrame(const afRect& frame) {
    storeFrame(frame);
    markGeometryStale();
    if (m_hwnd)
        SetWindowPos(m_hwnd, nullptr, frame.left, frame.top, frame.width(), frame.height(),
                     SWP_NOACTIVATE | SWP_NOZORDER);
}

void afWindow::setWindowFrame(const afRect& rect) {
    setFrame(rect);
}

void afWindow::setTitle(const wchar_t* title) {
    m_title = title ? title : L"";
    if (m_hwnd)
        SendMessageW(m_hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_title.c_str()));
}

void afWindow::setSizeModes(int widthMode) {
    m_widthMode = widthMode;
    m_heightMode = SIZE_CONTENT;
}

// --- deferred layout ---

void afWindow::requestLayout(const char*) {
    if (m_layoutPending || !m_hwnd)
        return;
    refreshGeometry(true);
    m_layoutPending = true;
    PostMessageW(m_hwnd, postValidateLayoutMessage(), reinterpret_cast<WPARAM>(this), 0);
}

void afWindow::validateLayout() {
    using namespace afMeasureSpec;
    afRect client = getClientFrame();
    int minWidth = getMinimumWidth();
    int minHeight = getMinimumHeight();
    afViewMeasureSpec widthSpec =
        m_widthMode == SIZE_CONTENT ? make(UNSPECIFIED, 0) : make(EXACTLY, std::max<int>(client.width(), minWidth));
    afViewMeasureSpec heightSpec =
        m_heightMode == SIZE_CONTENT ? make(UNSPECIFIED, 0) : make(EXACTLY, std::max<int>(client.height(), minHeight));
    measure(widthSpec, heightSpec);
    if (m_widthMode == SIZE_CONTENT && getMeasuredWidth() < minWidth) {
        widthSpec = make(EXACTLY, minWidth);
        measure(widthSpec, heightSpec);
    }
    if (m_heightMode == SIZE_CONTENT && getMeasuredHeight() < minHeight)
        measure(widthSpec, make(EXACTLY, minHeight));
    afRect wanted = client;
    bool changed = false;
    if (m_heightMode == SIZE_CONTENT && client.height() != getMeasuredHeight()) {
        wanted.bottom = wanted.top + getMeasuredHeight();
        changed = true;
    } else if (m_heightMode == SIZE_KEEP && client.height() < minHeight) {
        wanted.bottom = wanted.top + minHeight;
        changed = true;
    }
    if (m_widthMode == SIZE_CONTENT && client.width() != getMeasuredWidth()) {
        wanted.right = wanted.left + getMeasuredWidth();
        changed = true;
    } else if (m_widthMode == SIZE_KEEP && client.width() < minWidth) {
        wanted.right = wanted.left + minWidth;
        changed = true;
    }
    if (changed) {
        afRect margins = getNonClientMargins();
        wanted.deflate(-margins.left, -margins.top, -margins.right, -margins.bottom);
        setWindowFrame(wanted);
    }
    layout();
    m_layoutPending = false;
}

// --- modal loop and close protocol ---

uint32_t afWindow::runModal() {
    if (!m_hwnd) {
        try {
            create();
        } catch (const zem::Exception& e) {
            zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"afWindow::runModal(): %s\n", e.message().c_str());
            return RESULT_CANCEL;
        } catch (...) {
            zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"afWindow::runModal(): window creation failed\n");
            return RESULT_CANCEL;
        }
        if (!m_hwnd)
            return RESULT_CANCEL;
    }
    m_modal = true;
    uint32_t result = runModalLoop();
    m_modal = false;
    return result;
}

uint32_t afWindow::runModalLoop() {
    m_result = RESULT_CANCEL;
    m_loopEnd = false;
    HWND focused = GetFocus();
    if (enterModal() == RESULT_CANCEL)
        return m_result;
    bool quit = false;
    WPARAM quitCode = 0;
    while (!m_loopEnd) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (!afApp::preTranslateMessage(&msg, afApp::getInstance())) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            continue;
        }
        if (m_loopEnd)
            break;
        WaitMessage();
    }
    leaveModal();
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    restoreFocus(focused);
    return m_result;
}

void afWindow::restoreFocus(HWND focused) {
    // The owner, active again, gives the focus to its frame: the keys would reach no view
    // until a click. They go back to the view that had them, unless the box's work moved
    // the focus on purpose (to another view) or the view is gone.
    if (!focused || !IsWindow(focused) || !IsWindowVisible(focused) || !IsWindowEnabled(focused))
        return;
    HWND now = GetFocus();
    if (now == focused)
        return;
    HWND root = GetAncestor(focused, GA_ROOT);
    if (now && now != root)
        return;
    if (root && GetForegroundWindow() != root && GetActiveWindow() != root)
        return;
    SetFocus(focused);
}

void afWindow::endLoop(uint32_t result) {
    m_result = result;
    m_loopEnd = true;
    PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

void afWindow::close(uint32_t result) {
    if (!m_hwnd)
        return;
    if (m_modal) {
        endLoop(result);
        return;
    }
    PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

void afWindow::endModal(uint32_t result) {
    if (m_modal && m_hwnd)
        endLoop(result);
}

void afWindow::cancel() {
    if (m_modal && m_hwnd) {
        endLoop(RESULT_CANCEL);
        return;
    }
    m_closing = true;
    if (m_hwnd)
        SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

void afWindow::show() {
    setVisible(true, true);
}

bool afWindow::onCloseRequest() {
    if (m_modal) {
        close(RESULT_CANCEL);
        return false;
    }
    if (m_hideOnClose) {
        hide();
        afView* owner = getOwner();
        if (owner && owner != this)
            owner->requestFocus();
        return false;
    }
    return true;
}

bool afWindow::queryClose() {
    if (m_closing)
        return true;
    if (m_close.function)
        return m_close.function(m_close.object, this);
    return onCloseRequest();
}

uint32_t afWindow::enterModal() {
    disableOwners(false);
    show();
    return RESULT_OK;
}

void afWindow::leaveModal() {
    reenableOwners();
}

void afWindow::disableOwners(bool all) {
    HWND owner = getOwnerWindow();
    if (!owner)
        owner = GetWindow(m_hwnd, GW_OWNER);
    // A window owned through a view inside another window waits on that whole window (the
    // system makes it the owner, too): disabling only the view would leave its menus live
    // and keep the focus from its other controls.
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    m_disabledOwner = owner;
    for (HWND hwnd = owner; hwnd; hwnd = all ? GetWindow(hwnd, GW_OWNER) : nullptr)
        EnableWindow(hwnd, FALSE);
}

void afWindow::reenableOwners() {
    HWND owner = m_disabledOwner;
    m_disabledOwner = nullptr;
    for (HWND hwnd = owner; hwnd; hwnd = GetWindow(hwnd, GW_OWNER)) {
        if (IsWindowEnabled(hwnd))
            break;
        EnableWindow(hwnd, TRUE);
    }
    if (!owner)
        return;
    // Activating the owner hands its focus back to the control that had it before this
    // window came (WM_ACTIVATE); focusing the owner itself would take it from that control.
    if (GetActiveWindow() != owner)
        SetActiveWindow(owner);
    HWND focus = GetFocus();
    if (focus != owner && !IsChild(owner, focus))
        SetFocus(owner);
}

// --- focus, keys, default button ---

void afWindow::requestFocus() {
    setVisible(true, true);
    if (m_hwnd)
        SetForegroundWindow(m_hwnd);
}

bool afWindow::setFocus(afView* view) {
    if (!view || view->isVirtual())
        return false;
    HWND hwnd = static_cast<afViewPlatform*>(view)->getHandle();
    if (!hwnd)
        return false;
    SetFocus(hwnd);
    return true;
}

void afWindow::setDefaultButton(afView* button, bool temporary) {
    afView* old = m_currentDefault;
    m_currentDefault = button;
    if (!temporary)
        m_defaultButton = button;
    if (old)
        old->invalidate();
    if (button)
        button->invalidate();
}

void afWindow::onChildFocus(afView* view, bool gained) {
    if (!gained)
        return;
    afView* old = m_currentDefault;
    m_currentDefault = dynamic_cast<afIButton*>(view) ? view : m_defaultButton;
    if (old == m_currentDefault)
        return;
    if (old)
        old->invalidate();
    if (m_currentDefault)
        m_currentDefault->invalidate();
}

afView* afWindow::tabView(afView* from, bool previous) {
    HWND start = nullptr;
    if (from && !from->isVirtual())
        start = static_cast<afViewPlatform*>(from)->getHandle();
    HWND next = GetNextDlgTabItem(m_hwnd, start, previous);
    return next ? viewFromHandle(next) : nullptr;
}

afView* afWindow::nextTabView(afView* from) {
    return tabView(from, false);
}

afView* afWindow::previousTabView(afView* from) {
    return tabView(from, true);
}

bool afWindow::onKeyDown(afEvent* event) {
    int key = event->getKeyCode() & 0xFF;
    int modifiers = event->getModifiers();
    switch (key) {
    case VK_ESCAPE:
        close(RESULT_CANCEL);
        return true;
    case VK_RETURN:
        if (modifiers != 0 || !m_currentDefault)
            return false;
        if (auto* button = dynamic_cast<afIButton*>(m_currentDefault)) {
            button->press();
            return true;
        }
        return false;
    case VK_TAB: {
        // Alt (4, 8) and the Windows keys (16, 32) leave Tab to the system.
        if (modifiers & ~3)
            return false;
        bool previous = (modifiers & 2) != 0;
        HWND focus = GetFocus();
        HWND next = GetNextDlgTabItem(m_hwnd, focus && IsChild(m_hwnd, focus) ? focus : nullptr, previous);
        if (next)
            SetFocus(next);
        return true;
    }
    case VK_F4:
        if (modifiers == 4) {
            close(RESULT_CANCEL);
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool afWindow::dispatchMnemonic(wchar_t character, bool alt) {
    if (!alt && m_mnemonicsNeedAlt)
        return false;
    wchar_t upper[2] = {character, 0};
    CharUpperBuffW(upper, 1);
    std::vector<afView*> matches;
    collectMnemonics(this, upper[0], matches);
    if (matches.empty())
        return false;
    if (matches.size() == 1)
        return matches.front()->onMnemonic(upper[0]);
    size_t focused = matches.size();
    for (size_t i = 0; i < matches.size(); ++i) {
        if (matches[i]->hasFocus())
            focused = i;
    }
    afView* next = matches[focused == matches.size() ? 0 : (focused + 1) % matches.size()];
    next->requestFocus();
    return true;
}

bool afWindow::preTranslate(MSG* message) {
    switch (message->message) {
    case WM_CHAR:
    case WM_SYSCHAR:
        return dispatchMnemonic(static_cast<wchar_t>(LOWORD(message->wParam)), (message->lParam & (1 << 29)) != 0);
    case WM_PAINT:
        return false;
    default:
        return m_hwnd && IsDialogMessageW(m_hwnd, message);
    }
}

bool afWindow::hideOnOutsideInput(const MSG& message) {
    if (!isVisible())
        return false;
    switch (message.message) {
    case WM_ACTIVATE:
    case WM_CANCELMODE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        hide();
        break;
    default:
        break;
    }
    return false;
}

// --- messages ---

void afWindow::onCreated() {
    if (getFocusedChild())
        return;
    HWND first = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    if (!first)
        return;
    // Focusing a control of a hidden window would activate the hidden window and take the
    // focus from the window the user works in: a hidden window gives it when it is activated.
    if (IsWindowVisible(m_hwnd)) {
        SetFocus(first);
        return;
    }
    m_lastFocus = viewFromHandle(first);
    m_lastFocusHandle = first;
}

void afWindow::onAttached() {
    loadState(nullptr);
}

bool afWindow::onRawMessage(afMessage* message) {
    if (message->message == postValidateLayoutMessage() && m_layoutPending) {
        validateLayout();
        return true;
    }
    switch (message->message) {
    case WM_DESTROY:
        saveState(nullptr);
        return afWidget::onRawMessage(message);
    case WM_ACTIVATE: {
        if (LOWORD(message->wParam) == WA_INACTIVE) {
            m_lastFocus = getFocusedChild();
            m_lastFocusHandle = m_lastFocus ? static_cast<afViewPlatform*>(m_lastFocus)->getHandle() : nullptr;
        } else if (m_lastFocusHandle && IsWindow(m_lastFocusHandle) && IsChild(m_hwnd, m_lastFocusHandle)) {
            if (m_lastFocus)
                m_lastFocus->requestFocus();
            else
                SetFocus(m_lastFocusHandle);
        }
        HWND other = reinterpret_cast<HWND>(message->lParam);
        if (other && IsChild(m_hwnd, other))
            return false;
        onActivate(LOWORD(message->wParam) != WA_INACTIVE);
        message->result = 0;
        return true;
    }
    case WM_CLOSE:
        if (queryClose())
            DestroyWindow(m_hwnd);
        message->result = 0;
        return true;
    case DM_GETDEFID:
        message->result = 0;
        if (m_currentDefault && !m_currentDefault->isVirtual()) {
            int id = static_cast<afViewPlatform*>(m_currentDefault)->getControlId();
            message->result = (DC_HASDEFID << 16) | (id & 0xFFFF);
        }
        return true;
    default:
        return afWidget::onRawMessage(message);
    }
}

} // namespace corvel
