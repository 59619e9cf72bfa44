#include "corvel/app/SuggestionWindow.h"

#include "corvel/document/FilterMatcher.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlLister.h"
#include "corvel/widgets/createControl.h"

#include <algorithm>
#include <windowsx.h>

namespace corvel {

namespace {

constexpr int INITIAL_X = 0;
constexpr int INITIAL_Y = 100;
constexpr int INITIAL_WIDTH = 400;
constexpr int INITIAL_HEIGHT = 150;
constexpr int BAR_PADDING = 4;
constexpr int ROW_COLOR = 26;
constexpr int BAR_FILL = 1;
constexpr int BAR_LINE_COLOR = 4;
constexpr unsigned LEFT_BUTTON = 1;

} // namespace

SuggestionWindow::SuggestionWindow(afView* owner) : afWindow(owner) {
    setSizeModes(SIZE_CONTENT, SIZE_CONTENT);
    m_title = L"";
}

const wchar_t* SuggestionWindow::getTypeName() const {
    return L"ui.suggestions";
}

bool SuggestionWindow::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"CorvelSuggestionWindow");
    seed.className = L"CorvelSuggestionWindow";
    seed.style = WS_POPUP | WS_THICKFRAME; // 0x80040000
    seed.windowName = getTitle();
    seed.x = INITIAL_X;
    seed.y = INITIAL_Y;
    seed.width = INITIAL_WIDTH;
    seed.height = INITIAL_HEIGHT;
    return true;
}

void SuggestionWindow::onCreated() {
    m_field = afControlEdit::create(this);
    m_field->setOptions(m_field->getOptions() | afViewPlatform::OPTION_NATIVE_TEXT);
    m_field->setCueText(getCueText());
    m_field->keyCallback.set(this, &SuggestionWindow::onFilterKey);

    m_list = afControlLister::create(this);
    m_list->setPassive(true);
    // The window takes its width from the list: the list takes it from its widest row, not
    // from its own client area, which is empty before the first layout.
    m_list->setMeasureWidths();
    configureList(*m_list);
    m_list->drawItemCallback.set(this, &SuggestionWindow::drawRow);
    m_list->measureItemCallback.set(this, &SuggestionWindow::measureRow);
    m_list->beginMeasureCallback.set(this, &SuggestionWindow::beginMeasure);
    m_list->mouseUpListeners().add(&SuggestionWindow::onRowClick, this);

    buildLayout();
    afWindow::onCreated();

    std::wstring preset = m_filterText;
    refilter(L"");
    m_field->requestFocus();
    SetFocus(m_field->getHandle());
    if (!preset.empty()) {
        refilter(preset);
        m_field->setText(preset.c_str());
        m_field->selectAll();
    }
    // Subscribed last: putting the preset text in is not typing.
    m_field->changeListeners().add(&SuggestionWindow::onFilterChanged, this);

    if (afView* owner = getOwner()) {
        if (auto* platform = dynamic_cast<afViewPlatform*>(owner)) {
            if (HWND ownerWindow = platform->getHandle()) {
                RECT ownerRect;
                GetWindowRect(ownerWindow, &ownerRect);
                RECT own;
                GetWindowRect(m_hwnd, &own);
                int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - (own.right - own.left)) / 2;
                SetWindowPos(m_hwnd, nullptr, x, ownerRect.top + INITIAL_Y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
}

void SuggestionWindow::configureList(afControlLister& list) {
    list.setRows(10, afControlLister::ROWS_AT_MOST);
}

void SuggestionWindow::buildLayout() {
    const int fill = afLayoutParams::FILL_PARENT;
    const int wrap = afLayoutParams::WRAP_CONTENT;
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(root);
    m_bar = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_bar->setPadding(BAR_PADDING);
    m_bar->setPaintCallback(this, &SuggestionWindow::paintBar);
    root->addChild(m_bar, new afLayoutParamsLinear(fill, wrap));
    m_bar->addChild(m_field, new afLayoutParamsLinear(fill, wrap));
    root->addChild(m_list, new afLayoutParamsLinear(fill, wrap, 1.0f));
}

bool SuggestionWindow::paintBar(void*, afView* view, afCanvas* canvas, afCanvasRegion*) {
    if (!canvas)
        return false;
    afRect frame = view->getFrame();
    if (WidgetPalette* palette = WidgetPalette::instance())
        palette->fill(BAR_FILL, *canvas, frame);
    else
        canvas->fillRect(GetSysColor(COLOR_BTNFACE), frame);
    COLORREF line = afResources::exists() ? afResources::getColor(BAR_LINE_COLOR) : GetSysColor(COLOR_BTNSHADOW);
    canvas->drawLine(line, frame.left, frame.bottom - 1, frame.right, frame.bottom - 1);
    return true;
}

void SuggestionWindow::setFilterText(const std::wstring& text) {
    m_filterText = text;
    if (m_field && m_field->getHandle()) {
        m_field->setText(text.c_str());
        m_field->selectAll();
    }
}

void SuggestionWindow::refilter(const std::wstring& text) {
    m_filterText = text;
    m_picked = -1;
    m_rows.clear();
    int count = getItemCount();
    if (text.empty()) {
        m_rows.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            m_rows.emplace_back(0u, i);
        if (m_list)
            m_list->setCount(count, true);
    } else {
        FilterMatcher matcher(text.c_str());
        uint32_t score = 0;
        for (int i = 0; i < count; ++i) {
            if (filterItem(matcher, i, score))
                m_rows.emplace_back(score, i);
        }
        std::stable_sort(
            m_rows.begin(), m_rows.end(),
            [](const std::pair<uint32_t, int>& a, const std::pair<uint32_t, int>& b) { return a.first < b.first; });
        if (m_list)
            m_list->setCount(static_cast<int>(m_rows.size()), false);
    }
    if (m_list) {
        m_list->setSelection(m_rows.empty() ? -1 : 0, true);
        m_list->ensureVisible(m_list->getSelection());
        m_list->invalidate();
    }
}

int SuggestionWindow::itemOfRow(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return -1;
    return m_rows[static_cast<size_t>(row)].second;
}

int SuggestionWindow::getSelectedValue() const {
    return itemOfRow(m_picked);
}

void SuggestionWindow::pick(int row) {
    m_picked = row;
    close(RESULT_OK);
}

bool SuggestionWindow::onFilterKey(void* self, afControlEdit*, afEvent* event) {
    auto* window = static_cast<SuggestionWindow*>(self);
    if (!window->m_list)
        return false;
    if (event->getKeyCode() == VK_RETURN) {
        if (window->m_rows.empty()) {
            MessageBeep(MB_ICONHAND);
            return true;
        }
        window->pick(window->m_list->getSelection());
        return true;
    }
    // The list is passive, so it is driven directly; the field still gets the key.
    window->m_list->handleKey(event->getKeyCode());
    return false;
}

void SuggestionWindow::onFilterChanged(void* self, afControlEdit* edit) {
    static_cast<SuggestionWindow*>(self)->refilter(edit->getText());
}

bool SuggestionWindow::onRowClick(void* self, afView*, afEvent* event) {
    auto* window = static_cast<SuggestionWindow*>(self);
    if (event->getDetail() != LEFT_BUTTON || !window->m_list)
        return false;
    int row = window->m_list->itemAtY(GET_Y_LPARAM(event->lParam));
    if (row < 0 || row >= static_cast<int>(window->m_rows.size()))
        return false;
    window->pick(row);
    return true;
}

void SuggestionWindow::onActivate(bool active) {
    // Hiding the window at the end of its modal run deactivates it too: that keeps its answer.
    if (!active && isModal() && !m_loopEnd)
        close(RESULT_DISMISSED);
}

void SuggestionWindow::drawRow(void* self, afControlLister* list, int row, bool selected, afCanvas* canvas,
                               const afRect& rect, bool painting) {
    auto* window = static_cast<SuggestionWindow*>(self);
    int item = window->itemOfRow(row);
    if (!canvas || item < 0)
        return;
    canvas->fillRect(afResources::exists() ? afResources::getColor(ROW_COLOR) : GetSysColor(COLOR_WINDOW), rect);
    if (selected)
        list->drawItemSelection(rect, *canvas);
    window->drawItem(item, selected, *canvas, rect, painting);
}

bool SuggestionWindow::measureRow(void* self, afControlLister*, int row, bool selected, afCanvas* canvas, int& width,
                                  int& height) {
    auto* window = static_cast<SuggestionWindow*>(self);
    int item = window->itemOfRow(row);
    if (!canvas || item < 0)
        return false;
    SIZE size{width, height};
    bool measured = window->measureItem(item, selected, *canvas, size);
    width = size.cx;
    height = size.cy;
    return measured;
}

void SuggestionWindow::beginMeasure(void* self, afControlLister*) {
    auto* window = static_cast<SuggestionWindow*>(self);
    std::fill(window->m_columnWidths.begin(), window->m_columnWidths.end(), 0);
}

void SuggestionWindow::drawItem(int, bool, afCanvas&, const RECT&, bool) {}

bool SuggestionWindow::measureItem(int, bool, afCanvas&, SIZE& size) {
    size.cx = afControlLister::DEFAULT_ROW_WIDTH;
    size.cy = afControlLister::DEFAULT_ROW_HEIGHT;
    return true;
}

} // namespace corvel
