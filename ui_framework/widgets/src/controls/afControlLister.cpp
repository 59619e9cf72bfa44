#include "corvel/widgets/afControlLister.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/createControl.h"
#include "paintEmptyText.h"
#include "takeFocus.h"

#include <algorithm>
#include <vsstyle.h>
#include <windowsx.h>

namespace corvel {

namespace {

constexpr int KEY_ENTER = VK_RETURN;
constexpr int KEY_UP = VK_UP;
constexpr int KEY_DOWN = VK_DOWN;
constexpr int KEY_PAGE_UP = VK_PRIOR;
constexpr int KEY_PAGE_DOWN = VK_NEXT;
constexpr int CTRL = 0x100;

// Scroll requests as the platform view reports them.
enum ScrollRequest {
    SCROLL_TOP = 1,
    SCROLL_BOTTOM,
    SCROLL_LINE_DOWN,
    SCROLL_LINE_UP,
    SCROLL_PAGE_DOWN,
    SCROLL_PAGE_UP,
    SCROLL_THUMB_POSITION,
    SCROLL_THUMB_TRACK
};

} // namespace

afControlLister* afControlLister::create(afView* parent) {
    return createControl<afControlLister>(parent);
}

const wchar_t* afControlLister::getTypeName() const {
    return afTypeName::LISTER;
}

bool afControlLister::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afControlLister", CS_DBLCLKS);
    seed.className = L"afControlLister";
    seed.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP;
    seed.windowName = L"afControlLister";
    setThemeClass(L"LISTVIEW");
    return true;
}

void afControlLister::onCreated() {
    vScrollCallback.set(this, &afControlLister::onScroll);
    if (afWindowsUX::getInstance())
        afWindowsUX::setExplorerTheme(m_hwnd);
    m_passive = false;
    updateScrollBar();
}

int afControlLister::maxTop() const {
    return std::max(0, m_count - m_visible);
}

void afControlLister::updateScrollBar() {
    if (!m_hwnd)
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = m_count - 1;
    info.nPage = static_cast<UINT>(std::max(0, m_visible));
    info.nPos = m_top;
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void afControlLister::setCount(int count, bool measure) {
    m_count = std::max(0, count);
    if ((m_count == 0) != m_empty) {
        m_empty = m_count == 0;
        invalidate();
    }
    if (m_rowMode == ROWS_AT_MOST)
        m_visible = std::min(m_preferred, m_count);
    else if (m_rowMode == ROWS_EXACTLY)
        m_visible = m_preferred;
    if (measure)
        measureItems();
    RECT client{0, 0, 0, 0};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    if (m_rowMode == ROWS_FIT && m_rowHeight > 0)
        m_visible = (client.bottom - client.top) / m_rowHeight;
    if (!m_measureWidths)
        m_rowWidth = client.right - client.left;
    m_top = std::max(0, std::min(m_top, m_count - m_visible));
    updateScrollBar();
    invalidate();
    if (m_rowMode != ROWS_FIT)
        needLayout("afControlLister::setCount");
}

void afControlLister::measureItems() {
    if (!measureItemCallback.isBound()) {
        m_rowWidth = DEFAULT_ROW_WIDTH;
        m_rowHeight = DEFAULT_ROW_HEIGHT;
        return;
    }
    int oldWidth = m_rowWidth;
    int oldHeight = m_rowHeight;
    m_rowWidth = 0;
    m_rowHeight = 0;
    if (beginMeasureCallback.isBound())
        beginMeasureCallback.function(beginMeasureCallback.object, this);
    {
        std::unique_ptr<afCanvas> canvas = getCanvas();
        for (int row = 0; row < m_count; ++row) {
            int width = 0;
            int height = 0;
            bool more = measureItemCallback.function(measureItemCallback.object, this, row, row == m_selection,
                                                     canvas.get(), width, height);
            if (m_measureWidths && width > m_rowWidth)
                m_rowWidth = width + 32;
            if (height > m_rowHeight)
                m_rowHeight = height;
            if (!more)
                break;
        }
    }
    if (endMeasureCallback.isBound())
        endMeasureCallback.function(endMeasureCallback.object, this);
    if (m_rowWidth > oldWidth || m_rowHeight > oldHeight) {
        invalidate();
        if (m_rowMode != ROWS_FIT)
            needLayout("afControlLister::measureItems");
    }
}

void afControlLister::setRows(int preferred, int mode) {
    m_preferred = std::max(0, preferred);
    m_rowMode = mode;
    setCount(m_count, false);
}

void afControlLister::setPassive(bool passive) {
    m_passive = passive;
    setStyleBits(WS_TABSTOP, !passive, false);
    if (m_hwnd)
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    invalidate();
}

void afControlLister::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    setMeasuredDimension(afMeasureSpec::resolveSize(m_rowWidth, widthSpec),
                         afMeasureSpec::resolveSize(m_rowHeight * m_visible, heightSpec));
}

void afControlLister::onLayout(bool changed, const afRect& rect) {
    afWidget::onLayout(changed, rect);
    if (m_rowMode != ROWS_FIT && m_measureWidths)
        return;
    setCount(m_count, m_rowMode == ROWS_FIT);
}

bool afControlLister::onRawMessage(afMessage* message) {
    // A host moves its children in one deferred batch after laying them out, so the window
    // reaches its size only after onLayout fitted the rows to the old one: a list laid out
    // while its sidebar was hidden showed no row at all once the sidebar opened.
    if (message->message == WM_SIZE && (m_rowMode == ROWS_FIT || !m_measureWidths))
        setCount(m_count, false);
    return afWidget::onRawMessage(message);
}

bool afControlLister::setSelection(int index, bool allowNone) {
    // Without rows nothing can be selected, whatever allowNone says.
    int selection = m_count == 0 ? -1 : std::max(std::min(index, m_count - 1), allowNone ? -1 : 0);
    if (selection == m_selection) {
        if (selection >= 0 && !ensureVisible(selection))
            invalidateItem(selection);
        return false;
    }
    invalidateItem(m_selection);
    m_selection = selection;
    if (selection == -1)
        return true;
    if (!ensureVisible(selection))
        invalidateItem(selection);
    if (selectionChangedCallback.isBound())
        selectionChangedCallback.function(selectionChangedCallback.object, this, selection);
    return true;
}

bool afControlLister::ensureVisible(int index) {
    index = std::max(0, std::min(index, m_count));
    int top = m_top;
    if (index < m_top)
        top = std::max(0, std::min(index, m_count - m_visible));
    else if (index > m_top + m_visible - 1)
        top = std::max(0, std::min(index - m_visible + 1, m_count - m_visible));
    if (top == m_top)
        return false;
    m_top = top;
    updateScrollBar();
    invalidate();
    return true;
}

void afControlLister::scrollToRow(int top) {
    top = std::max(0, std::min(top, maxTop()));
    if (top == m_top)
        return;
    m_top = top;
    updateScrollBar();
    invalidate();
}

bool afControlLister::getItemRect(int index, afRect& rect) const {
    if (index < m_top || index >= m_top + m_visible || index >= m_count || index < 0)
        return false;
    int y = (index - m_top) * m_rowHeight;
    rect = afRect(0, y, m_rowWidth, y + m_rowHeight);
    return true;
}

int afControlLister::itemAtY(int y) const {
    // A measured height of 0 (no rows to measure) leaves no row to find.
    if (m_rowHeight <= 0 || y < 0)
        return -1;
    int row = y / m_rowHeight + m_top;
    return row < m_count ? row : -1;
}

void afControlLister::invalidateItem(int index) {
    afRect rect;
    if (getItemRect(index, rect))
        invalidateRect(rect);
}

void afControlLister::setEmptyText(const std::wstring& text) {
    m_emptyText = text;
    if (m_empty)
        invalidate();
}

void afControlLister::activate(int index) {
    if (index >= 0 && index < m_count && itemActivatedCallback.isBound())
        itemActivatedCallback.function(itemActivatedCallback.object, this, index);
}

bool afControlLister::handleKey(int keyCode) {
    switch (keyCode) {
    case KEY_ENTER:
        activate(m_selection);
        return true;
    case KEY_UP:
        setSelection(m_selection - 1, false);
        return true;
    case KEY_DOWN:
        setSelection(m_selection + 1, false);
        return true;
    case KEY_PAGE_UP:
        setSelection(m_selection - m_visible, false);
        return true;
    case CTRL | KEY_PAGE_UP:
        setSelection(0, false);
        return true;
    case KEY_PAGE_DOWN:
        setSelection(m_selection + m_visible, false);
        return true;
    case CTRL | KEY_PAGE_DOWN:
        setSelection(m_count - 1, false);
        return true;
    default:
        return false;
    }
}

bool afControlLister::onKeyDown(afEvent* event) {
    if (m_passive)
        return false;
    return handleKey(event->getKeyCode());
}

bool afControlLister::onMouseDown(afEvent* event) {
    if (!m_passive)
        takeFocus(this);
    // The message's own point, in client coordinates.
    int row = itemAtY(GET_Y_LPARAM(event->lParam));
    if (row >= 0) {
        setSelection(row, false);
        if (event->getDetail() == 1 && event->getClickCount() >= 2)
            activate(row);
    }
    if (event->getDetail() == 2 && contextMenuCallback.isBound())
        contextMenuCallback.function(contextMenuCallback.object, this, row, event);
    return true;
}

bool afControlLister::onMouseWheel(afEvent*, int notches) {
    // A wheel turned away from the user (positive notches) scrolls up.
    scrollToRow(m_top - notches);
    return true;
}

void afControlLister::onScroll(void* object, afViewPlatform*, int request, int position) {
    auto* lister = static_cast<afControlLister*>(object);
    int top = lister->m_top;
    switch (request) {
    case SCROLL_TOP:
        top = 0;
        break;
    case SCROLL_BOTTOM:
        top = lister->m_count - lister->m_visible;
        break;
    case SCROLL_LINE_DOWN:
        top += 1;
        break;
    case SCROLL_LINE_UP:
        top -= 1;
        break;
    case SCROLL_PAGE_DOWN:
        top += lister->m_visible;
        break;
    case SCROLL_PAGE_UP:
        top -= lister->m_visible;
        break;
    case SCROLL_THUMB_POSITION:
    case SCROLL_THUMB_TRACK:
        top = position;
        break;
    default:
        return;
    }
    lister->scrollToRow(top);
}

void afControlLister::onFocusIn() {
    if (!m_passive)
        invalidate();
    afWidget::onFocusIn();
}

void afControlLister::onFocusOut() {
    if (!m_passive)
        invalidate();
    afWidget::onFocusOut();
}

void afControlLister::getItemColors(bool selected, COLORREF& text, COLORREF& secondary) const {
    bool themed = m_theme && afWindowsUX::getInstance();
    if (themed || !isFocusedLook() || !selected) {
        text = GetSysColor(COLOR_WINDOWTEXT);
        secondary = GetSysColor(COLOR_GRAYTEXT);
        return;
    }
    text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    secondary = text;
}

void afControlLister::drawItemSelection(const afRect& rect, afCanvas& canvas) const {
    bool focused = isFocusedLook();
    if (m_theme && afWindowsUX::getInstance()) {
        afRect inner = rect;
        inner.deflate(1);
        afWindowsUX::drawThemeBackground(m_theme, canvas.getDC(), LVP_LISTITEM,
                                         focused ? LISS_SELECTED : LISS_SELECTEDNOTFOCUS, &inner, nullptr);
        return;
    }
    canvas.fillRect(GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE), rect);
}

bool afControlLister::onDraw(afCanvas* canvas, afCanvasRegion* region) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (m_empty) {
        paintEmptyText(*canvas, client, m_emptyText);
        return true;
    }
    int end = std::min(m_count, m_top + m_visible);
    afRect row(0, 0, m_rowWidth, m_rowHeight);
    for (int index = m_top; index < end; ++index) {
        if (drawItemCallback.isBound())
            drawItemCallback.function(drawItemCallback.object, this, index, index == m_selection, canvas, row,
                                      region != nullptr);
        row.offset(0, m_rowHeight);
    }
    afRect rest(client);
    rest.top = std::min<LONG>(row.top, rest.bottom);
    if (!rest.isEmpty())
        canvas->fillRect(GetSysColor(COLOR_WINDOW), rest);
    return true;
}

} // namespace corvel
