// How a platform view turns raw window messages into view operations.
#include "corvel/ui/afViewPlatform.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afCanvasBuffer.h"
#include "corvel/ui/afCanvasPaint.h"
#include "corvel/ui/afCanvasRegion.h"
#include "corvel/ui/afCanvasWidget.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afSystem.h"
#include "corvel/ui/afWidget.h"
#include "corvel/ui/afWidgetKit.h"
#include "corvel/ui/afWindowsUX.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <cstdlib>

namespace corvel {

namespace {
constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;
}

MSG afViewPlatform::toMsg(const afMessage* message) const {
    MSG msg{};
    msg.hwnd = message->hwnd;
    msg.message = message->message;
    msg.wParam = message->wParam;
    msg.lParam = message->lParam;
    msg.time = GetMessageTime();
    return msg;
}

namespace {
DWORD systemTicks() { return GetTickCount(); }
} // namespace

DWORD (*afViewPlatform::clickClock)() = systemTicks;

bool afViewPlatform::createWindow(Seed& seed) {
    if (seed.className.empty())
        throw zem::InvalidArgumentException(L"Class name in Seed was empty.");
    HWND parent = getOwnerWindow();
    m_prevProc = nullptr;
    // A text set before creation becomes the window's text.
    if (seed.windowName.empty())
        seed.windowName = m_text;
    HWND hwnd = CreateWindowExW(seed.exStyle, seed.className.c_str(), seed.windowName.c_str(), seed.style, seed.x,
                                seed.y, seed.width, seed.height, parent, seed.menu, afApp::getInstanceHandle(), this);
    // An exception raised while WM_CREATE ran was kept by the window procedure.
    afWidget::rethrowCreateFailure();
    if (!hwnd)
        throw zem::IllegalStateException(L"Widget creation failed");
    onAttached();
    m_visible = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    notifyChildrenVisibility(this, m_visible);
    return true;
}

void afViewPlatform::defaultProc(afMessage* message) {
    if (m_prevProc)
        message->result =
            CallWindowProcW(m_prevProc, message->hwnd, message->message, message->wParam, message->lParam);
    else
        message->result = DefWindowProcW(message->hwnd, message->message, message->wParam, message->lParam);
}

void afViewPlatform::paint(afCanvas* canvas, afCanvasRegion* region) {
    if (m_parentBackground)
        drawParentBackground(canvas);
    if (!paintSelf(canvas, region))
        paintNative(canvas);
    if (m_content && m_content->isVisible() && canvas) {
        canvas->saveState();
        afRect frame = m_content->getFrame();
        POINT origin = canvas->getViewportOrigin();
        canvas->setViewportOrigin(origin.x + frame.left, origin.y + frame.top);
        m_content->paint(canvas, region);
        canvas->restoreState();
    }
}

void afViewPlatform::paintNative(afCanvas* canvas) {
    if (!canvas || !m_hwnd)
        return;
    afMessage message{m_hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->getDC()), PRF_CLIENT, 0};
    defaultProc(&message);
}

void afViewPlatform::drawParentBackground(afCanvas* canvas) {
    if (!canvas || !m_hwnd)
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (afWindowsUX::getInstance()) {
        afWindowsUX::drawThemeParentBackground(m_hwnd, canvas->getDC(), &client);
        return;
    }
    HWND parent = GetParent(m_hwnd);
    if (!parent)
        parent = m_hwnd;
    POINT offset{0, 0};
    MapWindowPoints(m_hwnd, parent, &offset, 1);
    canvas->saveState();
    IntersectClipRect(canvas->getDC(), client.left, client.top, client.right, client.bottom);
    POINT origin = canvas->getViewportOrigin();
    canvas->setViewportOrigin(origin.x - offset.x, origin.y - offset.y);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas->getDC()), 0);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->getDC()), PRF_CLIENT);
    canvas->restoreState();
}

void afViewPlatform::setParentBackground(bool on) {
    if (on == m_parentBackground)
        return;
    m_parentBackground = on;
    invalidate();
}

bool afViewPlatform::preTranslate(MSG*) {
    return false;
}

void afViewPlatform::handlePaint(afMessage* message) {
    std::unique_ptr<afCanvasPaint> paintCanvas = afCanvas::createPaint(message->hwnd, getFontHandle());
    std::unique_ptr<afCanvasRegion> region;
    if (HRGN update = CreateRectRgn(0, 0, 0, 0)) {
        if (CombineRgn(update, paintCanvas->getUpdateRegion(), nullptr, RGN_COPY) == ERROR)
            DeleteObject(update);
        else
            region = afCanvasRegion::create(update);
    }
    if (m_options & OPTION_DOUBLE_BUFFERED) {
        afRect local;
        getLocalRect(local);
        local.moveTo(0, 0);
        std::unique_ptr<afCanvasBuffer> buffer = afCanvas::createBuffer(local, *paintCanvas, true);
        if (HFONT font = getFontHandle())
            buffer->selectObject(font);
        paint(buffer.get(), region.get());
    } else {
        paint(paintCanvas.get(), region.get());
    }
    message->result = 0;
}

bool afViewPlatform::handleSetText(afMessage* message) {
    markLayoutNeeded();
    requestLayout("afViewPlatform::onRawMessage::WM_SETTEXT");
    const wchar_t* raw = reinterpret_cast<const wchar_t*>(message->lParam);
    std::wstring text = raw ? raw : L"";
    if (!textChangingCallback.function) {
        m_text = text;
        return false;
    }
    if (!textChangingCallback.function(textChangingCallback.object, this, text))
        return true;
    afMessage changed = *message;
    changed.lParam = reinterpret_cast<LPARAM>(text.c_str());
    defaultProc(&changed);
    message->result = changed.result;
    m_text = text;
    return true;
}

bool afViewPlatform::handleScroll(afMessage* message) {
    bool horizontal = message->message == WM_HSCROLL;
    afCallback<ScrollFunction>& callback = horizontal ? hScrollCallback : vScrollCallback;
    if (!callback.function)
        return false;
    int request;
    switch (LOWORD(message->wParam)) {
    case SB_LINEUP:
        request = 4;
        break;
    case SB_LINEDOWN:
        request = 3;
        break;
    case SB_PAGEUP:
        request = 6;
        break;
    case SB_PAGEDOWN:
        request = 5;
        break;
    case SB_THUMBPOSITION:
        request = 7;
        break;
    case SB_THUMBTRACK:
        request = 8;
        break;
    case SB_TOP:
        request = 1;
        break;
    case SB_BOTTOM:
        request = 2;
        break;
    default:
        return false;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(message->hwnd, horizontal ? SB_HORZ : SB_VERT, &info);
    callback.function(callback.object, this, request, info.nTrackPos);
    message->result = 0;
    return true;
}

bool afViewPlatform::handleMouseMove(afMessage* message) {
    MSG msg = toMsg(message);
    afEvent event(msg, 0);
    afView* under = hitTest(event.x, event.y);
    if (under != m_hover) {
        if (m_hover)
            m_hover->dispatchMouseLeave(&event);
        m_hover = under;
    }
    message->result = 0;
    if (!m_hover || !m_hover->dispatchMouseMove(&event))
        return false;
    if (!m_tracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = message->hwnd;
        TrackMouseEvent(&track);
        m_tracking = true;
    }
    return true;
}

bool afViewPlatform::handleMouseButton(afMessage* message, unsigned button, bool down) {
    MSG msg = toMsg(message);
    afEvent event(msg, button);
    afView* target = hitTest(event.x, event.y);
    if (!target)
        return false;
    if (down) {
        ClickState& click = target->clickState();
        DWORD now = clickClock();
        bool continues = click.count > 0 && click.button == button &&
                         afSystem::isInDoubleClickRect(click.point.x, click.point.y, event.x, event.y) &&
                         now - click.time < GetDoubleClickTime();
        if (continues) {
            ++click.count;
        } else {
            click.count = 1;
            click.point = POINT{event.x, event.y};
        }
        click.time = now;
        click.button = button;
        event.setClickCount(click.count);
        return target->dispatchMouseDown(&event);
    }
    return target->dispatchMouseUp(&event);
}

bool afViewPlatform::handleWheel(afMessage* message) {
    m_wheel += static_cast<short>(HIWORD(message->wParam));
    if (std::abs(m_wheel) <= 119)
        return false;
    int notches = m_wheel / 120;
    m_wheel %= 120;
    MSG msg = toMsg(message);
    afEvent event(msg, 4);
    return onMouseWheel(&event, notches);
}

bool afViewPlatform::onRawMessage(afMessage* message) {
    if (!m_hooks.empty() && m_hooks.dispatch(this, message))
        return true;
    switch (message->message) {
    case WM_SETFOCUS:
        onFocusIn();
        return false;
    case WM_KILLFOCUS:
        onFocusOut();
        return false;
    case WM_SETTEXT:
        return handleSetText(message);
    case WM_PAINT:
        handlePaint(message);
        return true;
    case WM_ERASEBKGND: {
        if (!eraseCallback.function)
            return false;
        std::unique_ptr<afCanvas> canvas = afCanvas::create(reinterpret_cast<HDC>(message->wParam));
        eraseCallback.function(eraseCallback.object, this, canvas.get());
        message->result = 1;
        return true;
    }
    case WM_CANCELMODE: {
        MSG msg = toMsg(message);
        afEvent event(msg, 0);
        bool handled = dispatchMouseLeave(&event) || (m_content && m_content->dispatchMouseLeave(&event));
        if (handled)
            m_tracking = false;
        return false;
    }
    case WM_SETCURSOR:
        if (!setCursorCallback.function)
            return false;
        message->result =
            setCursorCallback.function(setCursorCallback.object, this, LOWORD(message->lParam), HIWORD(message->lParam))
                ? TRUE
                : FALSE;
        return true;
    case WM_DRAWITEM:
        return onDrawItem(message);
    case WM_MEASUREITEM:
        return onMeasureItem(message);
    case WM_GETFONT:
        message->result = reinterpret_cast<LRESULT>(getFontHandle());
        return true;
    case WM_WINDOWPOSCHANGED: {
        defaultProc(message);
        afRect oldFrame = m_frame;
        afRect oldClient = m_client;
        bool child = (GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD) != 0;
        refreshGeometry(true);
        if (!child && (afRect::compare(oldFrame, m_frame) != 0 || afRect::compare(oldClient, m_client) != 0)) {
            markLayoutNeeded();
            requestLayout("afViewPlatform::onRawMessage::WM_WINDOWPOSCHANGED");
        }
        return true;
    }
    case WM_CHAR:
        if (m_swallowChar) {
            m_swallowChar = false;
            return true;
        }
        if (charCallback.function) {
            MSG msg = toMsg(message);
            afEvent event = afEvent::forChar(msg, static_cast<wchar_t>(message->wParam));
            charCallback.function(charCallback.object, this, &event);
            message->result = 0;
            return true;
        }
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL:
        return handleScroll(message);
    case WM_INITMENUPOPUP:
        return onInitMenuPopup(message);
    case WM_MENUCHAR:
        return onMenuChar(message);
    case WM_MENUCOMMAND:
        return onMenuCommand(message);
    case WM_MOUSEMOVE:
        return handleMouseMove(message);
    case WM_LBUTTONDOWN:
        return handleMouseButton(message, 1, true);
    case WM_LBUTTONUP:
        return handleMouseButton(message, 1, false);
    case WM_RBUTTONDOWN:
        return handleMouseButton(message, 2, true);
    case WM_RBUTTONUP:
        return handleMouseButton(message, 2, false);
    case WM_MBUTTONDOWN:
        return handleMouseButton(message, 4, true);
    case WM_MBUTTONUP:
        return handleMouseButton(message, 4, false);
    case WM_MOUSEWHEEL:
        return handleWheel(message);
    case WM_MOUSELEAVE: {
        if (m_hover) {
            MSG msg = toMsg(message);
            afEvent event(msg, 0);
            afView* hover = m_hover;
            m_hover = nullptr;
            hover->dispatchMouseLeave(&event);
        }
        m_tracking = false;
        return false;
    }
    case WM_PRINTCLIENT: {
        std::unique_ptr<afCanvas> canvas = afCanvas::create(reinterpret_cast<HDC>(message->wParam));
        if (HFONT font = getFontHandle())
            canvas->selectObject(font);
        paint(canvas.get(), nullptr);
        message->result = 0;
        return true;
    }
    case WM_THEMECHANGED:
        if (m_theme || !m_themeClass.empty()) {
            if (m_theme)
                afWindowsUX::closeThemeData(m_theme);
            m_theme = m_themeClass.empty() ? nullptr : afWindowsUX::openThemeData(message->hwnd, m_themeClass.c_str());
        }
        return false;
    default:
        return false;
    }
}

afIMenuModel* (*afIMenuModel::fromMenuData)(ULONG_PTR data) = nullptr;

bool afViewPlatform::onInitMenuPopup(afMessage* message) {
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_MENUDATA;
    HMENU menu = reinterpret_cast<HMENU>(message->wParam);
    if (GetMenuInfo(menu, &info) && info.dwMenuData && afIMenuModel::fromMenuData) {
        if (afIMenuModel* model = afIMenuModel::fromMenuData(info.dwMenuData))
            model->refresh(menu);
    }
    message->result = 0;
    return true;
}

bool afViewPlatform::onMenuCommand(afMessage* message) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    HMENU menu = reinterpret_cast<HMENU>(message->lParam);
    afIMenuItemNode* node = nullptr;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(message->wParam), TRUE, &info))
        node = reinterpret_cast<afIMenuItemNode*>(info.dwItemData);
    if (!node) {
        zem::logMessage(1, FRAMEWORK_LOG_SOURCE, L"afWidget::onMenuCommand(): Get node call failed.\n");
        return false;
    }
    if (node->getKind() == afIMenuItemNode::KIND_SUBMENU) {
        zem::logMessage(1, FRAMEWORK_LOG_SOURCE,
                        L"afWidget::onMenuCommand(): Node identified as submenu. Command not found.\n");
        return false;
    }
    node->runCommand();
    message->result = 0;
    return true;
}

bool afViewPlatform::onMeasureItem(afMessage* message) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message->lParam);
    if (!item || item->CtlType != ODT_MENU || !item->itemData)
        return false;
    std::unique_ptr<afCanvasWidget> canvas = afCanvasWidget::create(message->hwnd, getFontHandle());
    reinterpret_cast<afIMenuItemNode*>(item->itemData)->measureItem(*canvas, *item);
    message->result = TRUE;
    return true;
}

bool afViewPlatform::onDrawItem(afMessage* message) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message->lParam);
    if (!item || item->CtlType != ODT_MENU || !item->itemData)
        return false;
    std::unique_ptr<afCanvas> canvas = afCanvas::create(item->hDC);
    reinterpret_cast<afIMenuItemNode*>(item->itemData)->drawItem(*canvas, *item);
    message->result = 1;
    return true;
}

bool afViewPlatform::onMenuChar(afMessage* message) {
    message->result = MNC_CLOSE << 16;
    return true;
}

} // namespace corvel
