#include "corvel/ui/afWidget.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afSystem.h"
#include "corvel/ui/afTypeNames.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <exception>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;

// What a WM_CREATE handler raised, for createWindow to raise again once CreateWindowExW
// has returned: an exception cannot unwind through the system's frames.
std::exception_ptr g_createFailure;

void logEscaped(const wchar_t* what, UINT message) {
    zem::logMessage(3, FRAMEWORK_LOG_SOURCE, L"afWidget::s_WndProc(): message 0x%x: %s\n", message, what);
}

} // namespace

LRESULT afWidget::dispatchMessage(afViewPlatform* view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE && !view->m_prevProc) {
        view->onCreate();
        return 0;
    }
    if (message == WM_NCDESTROY) {
        view->unbindHandle(hwnd);
        LRESULT result = 0;
        if (view->m_prevProc) {
            // The control frees its own data on its WM_NCDESTROY: give it its procedure back first.
            WNDPROC previous = view->m_prevProc;
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            view->m_prevProc = nullptr;
            result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
        }
        view->m_hwnd = nullptr;
        view->onDestroyed();
        return result;
    }
    afMessage record{hwnd, message, wParam, lParam, 0};
    if (view->onRawMessage(&record))
        return record.result;
    if (view->m_prevProc)
        return CallWindowProcW(view->m_prevProc, hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

afWidget::~afWidget() {
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

const wchar_t* afWidget::getTypeName() const {
    return afTypeName::WIDGET;
}

void afWidget::addMnemonic(wchar_t character) {
    wchar_t upper[2] = {character, 0};
    CharUpperBuffW(upper, 1);
    m_mnemonics.insert(upper[0]);
}

bool afWidget::isMnemonic(wchar_t character) const {
    if (!m_mnemonics.empty())
        return m_mnemonics.count(character) != 0;
    std::wstring text = const_cast<afWidget*>(this)->getText();
    wchar_t mnemonic = afSystem::getMnemonicChar(text.c_str());
    return mnemonic != 0 && mnemonic == character;
}

bool afWidget::onMnemonic(wchar_t) {
    requestFocus();
    return true;
}

void afWidget::setFrame(const afRect& frame) {
    storeFrame(frame);
    afRect mapped = frame;
    afView* parent = getParent();
    afView* host = getOwner();
    if (parent && host && parent != host && !host->isVirtual())
        host->mapDescendantRect(mapped, parent);
    if (m_hwnd && (!m_positioned || afRect::compare(mapped, m_lastMapped) != 0)) {
        markGeometryStale();
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        if (m_positioned && mapped.left == m_lastMapped.left && mapped.top == m_lastMapped.top)
            flags |= SWP_NOMOVE;
        if (m_positioned && mapped.sameSize(m_lastMapped))
            flags |= SWP_NOSIZE;
        afViewPlatform* hostView = host && !host->isVirtual() ? static_cast<afViewPlatform*>(host) : nullptr;
        HDWP batch = hostView ? hostView->getDeferBatch() : nullptr;
        if (batch && isVisible()) {
            batch =
                DeferWindowPos(batch, m_hwnd, nullptr, mapped.left, mapped.top, mapped.width(), mapped.height(), flags);
            hostView->setDeferBatch(batch);
        } else {
            SetWindowPos(m_hwnd, nullptr, mapped.left, mapped.top, mapped.width(), mapped.height(), flags);
        }
        m_lastMapped = mapped;
        m_positioned = true;
    }
    layout();
}

void afWidget::rethrowCreateFailure() {
    if (!g_createFailure)
        return;
    std::exception_ptr failure = g_createFailure;
    g_createFailure = nullptr;
    std::rethrow_exception(failure);
}

LRESULT CALLBACK afWidget::s_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            auto* view = static_cast<afViewPlatform*>(create ? create->lpCreateParams : nullptr);
            if (!view)
                afApp::panic(L"afWidget::s_WndProc()", L"(CREATE) HWND to PTR translation failed.");
            view->bindHandle(hwnd, false);
            // Default processing stores the Seed's title.
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        afViewPlatform* view = afViewPlatform::viewFromHandle(hwnd);
        if (!view) {
            if (message == WM_GETMINMAXINFO)
                return DefWindowProcW(hwnd, message, wParam, lParam);
            afApp::panic(L"afWidget::s_WndProc()", L"(MSG) HWND to PTR translation failed.");
        }
        return dispatchMessage(view, hwnd, message, wParam, lParam);
    } catch (const zem::Exception& e) {
        if (message == WM_CREATE) {
            g_createFailure = std::current_exception();
            return -1;
        }
        logEscaped(e.message().c_str(), message);
    } catch (...) {
        if (message == WM_CREATE) {
            g_createFailure = std::current_exception();
            return -1;
        }
        logEscaped(L"unknown exception", message);
    }
    return 0;
}

} // namespace corvel
