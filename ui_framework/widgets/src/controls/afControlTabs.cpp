#include "corvel/widgets/afControlTabs.h"

#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"

#include <commctrl.h>

namespace corvel {

namespace {

// Room between the tab strip's frame and a page.
constexpr int PAGE_MARGIN = 5;

} // namespace

afControlTabs* afControlTabs::create(afView* parent) {
    return createControl<afControlTabs>(parent);
}

const wchar_t* afControlTabs::getTypeName() const {
    return afTypeName::TABS;
}

bool afControlTabs::buildSeed(Seed& seed) {
    seed.className = WC_TABCONTROLW;
    seed.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | WS_TABSTOP;
    seed.exStyle |= WS_EX_CONTROLPARENT;
    seed.x = 0;
    seed.y = 0;
    seed.width = 500;
    seed.height = 500;
    return true;
}

void afControlTabs::onCreated() {
    afControl::onCreated();
    setNativePaint(true);
    if (!m_pages) {
        m_pages = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
        setContentView(m_pages);
    }
}

bool afControlTabs::onRawMessage(afMessage* message) {
    if (message->message == WM_SIZE)
        updatePagePadding();
    return afControl::onRawMessage(message);
}

int afControlTabs::addTab(const std::wstring& title, afView* page) {
    int index = getTabCount();
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    item.lParam = reinterpret_cast<LPARAM>(page);
    index = static_cast<int>(sendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return -1;
    m_pages->addChild(page, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT), index);
    page->setVisible(false);
    needLayout("afControlTabs::addTab");
    return index;
}

void afControlTabs::setCurrentTab(int index) {
    if (index < 0 || index >= getTabCount())
        return;
    sendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    onTabChanged(index);
}

int afControlTabs::getCurrentTab() const {
    return m_hwnd ? static_cast<int>(SendMessageW(m_hwnd, TCM_GETCURSEL, 0, 0)) : -1;
}

int afControlTabs::getTabCount() const {
    return m_hwnd ? static_cast<int>(SendMessageW(m_hwnd, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

afView* afControlTabs::getPage(int index) const {
    if (!m_hwnd || index < 0)
        return nullptr;
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageW(m_hwnd, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<afView*>(item.lParam);
}

void afControlTabs::onTabChanged(int index) {
    afView* page = getPage(index);
    updatePagePadding();
    if (!m_canChange.empty() && !m_canChange.invokeWhileTrue(m_currentPage, page)) {
        sendMessage(TCM_SETCURSEL, static_cast<WPARAM>(m_currentIndex), 0);
        return;
    }
    if (page != m_currentPage) {
        if (m_currentPage)
            m_currentPage->setVisible(false);
        if (page) {
            page->setVisible(true);
            page->requestFocus();
        }
        needLayout("afControlTabs::onTabChanged");
    }
    m_currentPage = page;
    m_currentIndex = index;
}

void afControlTabs::updatePagePadding() {
    if (!m_hwnd || !m_pages)
        return;
    RECT margins{0, 0, 0, 0};
    sendMessage(TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&margins));
    m_pages->setPadding(PAGE_MARGIN - margins.left, PAGE_MARGIN - margins.top, margins.right + PAGE_MARGIN,
                        margins.bottom + PAGE_MARGIN);
}

bool afControlTabs::onNotify(afMessage* message) {
    if (message->message != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(message->lParam);
    if (header->code != static_cast<UINT>(TCN_SELCHANGE))
        return false;
    onTabChanged(getCurrentTab());
    message->result = 0;
    return true;
}

bool afControlTabs::onKeyDown(afEvent* event) {
    if (!m_keyboardSwitching || m_currentIndex < 0)
        return afControl::onKeyDown(event);
    int code = event->getKeyCode();
    if ((code & afKey::KEY) != VK_TAB || !(code & afKey::CTRL))
        return afControl::onKeyDown(event);
    int count = getTabCount();
    if (count == 0)
        return afControl::onKeyDown(event);
    int step = (code & afKey::SHIFT) ? count - 1 : 1;
    setCurrentTab((m_currentIndex + step) % count);
    return true;
}

} // namespace corvel
