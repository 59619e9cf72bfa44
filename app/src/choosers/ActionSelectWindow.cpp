#include "corvel/app/ActionSelectWindow.h"

#include "corvel/document/FilterMatcher.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTrigger.h"
#include "corvel/widgets/afControlLister.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr uint32_t TAB_ICON = 0x62CD67B8u;
constexpr uint32_t BUNDLE_ICON = 0xA57B32FDu;
constexpr int BUNDLE_SOURCE = 2;
constexpr int COLUMNS = 4;
constexpr int TITLE_X = 31;
constexpr int TITLE_EXTRA = 41;
constexpr int KEY_EXTRA = 20;
constexpr int ICON_TEXT_GAP = 21;
constexpr int ICON_TEXT_EXTRA = 41;
constexpr int ROW_EXTRA = 5;
constexpr int MIN_ROW = 16;
constexpr int END_INSET = 4;
constexpr int ICON_SIZE = 16;
constexpr UINT TEXT_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

std::wstring triggerText(const afAction* action, uint32_t type) {
    afActionTrigger* trigger = action ? action->findTrigger(type) : nullptr;
    return trigger ? trigger->getText() : std::wstring();
}

// The top-level window the view is in, so the chooser centres over the whole program.
afView* topLevelOf(afView* view) {
    auto* platform = dynamic_cast<afViewPlatform*>(view);
    HWND handle = platform ? platform->getHandle() : nullptr;
    HWND root = handle ? GetAncestor(handle, GA_ROOT) : nullptr;
    afView* top = root ? afViewPlatform::viewFromHandle(root) : nullptr;
    return top ? top : view;
}

} // namespace

ActionSelectWindow::ActionSelectWindow(afView* owner, const afActionMatchList& matches)
    : SuggestionWindow(owner), m_matches(matches) {
    m_columnWidths.assign(COLUMNS, 0);
}

afAction* ActionSelectWindow::getAction(int item) const {
    if (item < 0 || item >= static_cast<int>(m_matches.size()))
        return nullptr;
    return m_matches[static_cast<size_t>(item)].action;
}

ActionSelectWindow::RowTexts ActionSelectWindow::textsOf(int item) const {
    RowTexts texts;
    afAction* action = getAction(item);
    if (!action)
        return texts;
    texts.title = action->getTitle();
    texts.key = triggerText(action, afActionEventType::KEY);
    texts.tab = triggerText(action, afActionEventType::TAB);
    if (action->getSourceKind() == BUNDLE_SOURCE)
        texts.source = action->getSource();
    return texts;
}

bool ActionSelectWindow::filterItem(const FilterMatcher& matcher, int item, uint32_t& score) const {
    afAction* action = getAction(item);
    if (!action)
        return false;
    std::wstring title = action->getTitle();
    const std::wstring& source = action->getSource();
    std::vector<FilterMatcher::Part> parts{{source.c_str(), source.size()}, {title.c_str(), title.size()}};
    return matcher.matchParts(parts, score);
}

bool ActionSelectWindow::measureItem(int item, bool, afCanvas& canvas, SIZE& size) {
    RowTexts texts = textsOf(item);
    if (m_columnWidths.size() < COLUMNS)
        m_columnWidths.resize(COLUMNS, 0);
    int height = 0;
    auto measure = [&](const std::wstring& text, int extra, int column) {
        if (text.empty())
            return;
        SIZE measured = canvas.measureText(text, 0);
        height = std::max(height, static_cast<int>(measured.cy));
        m_columnWidths[column] = std::max(m_columnWidths[column], static_cast<int>(measured.cx) + extra);
    };
    measure(texts.title, TITLE_EXTRA, 0);
    measure(texts.key, KEY_EXTRA, 1);
    measure(texts.tab, ICON_TEXT_EXTRA, 2);
    measure(texts.source, ICON_TEXT_EXTRA, 3);
    size.cx = 0;
    for (int width : m_columnWidths)
        size.cx += width;
    size.cy = std::max(height + ROW_EXTRA, MIN_ROW);
    return true;
}

void ActionSelectWindow::drawItem(int item, bool selected, afCanvas& canvas, const RECT& rect, bool) {
    RowTexts texts = textsOf(item);
    COLORREF color = 0;
    COLORREF secondary = 0;
    if (afControlLister* list = getList())
        list->getItemColors(selected, color, secondary);
    const LONG top = rect.top + END_INSET;
    const LONG bottom = rect.bottom - END_INSET;
    auto drawIcon = [&](uint32_t id, LONG x) {
        const afIcon* icon = afResources::exists() ? afResources::find(id) : nullptr;
        if (!icon)
            return;
        LONG middle = (rect.top + rect.bottom) / 2;
        RECT box{x, middle - ICON_SIZE / 2, x + ICON_SIZE, middle + ICON_SIZE / 2};
        canvas.drawIcon(box, *icon, afCanvas::GRAVITY_CENTER);
    };
    auto drawText = [&](const std::wstring& text, LONG left, LONG right) {
        if (!text.empty() && left < right)
            canvas.drawText(text, RECT{left, top, right, bottom}, color, TEXT_FORMAT | DT_END_ELLIPSIS);
    };
    LONG x = rect.left;
    LONG column = x + m_columnWidths[0];
    drawText(texts.title, x + TITLE_X, column);
    x = column;
    column = x + m_columnWidths[1];
    drawText(texts.key, x, column);
    x = column;
    column = x + m_columnWidths[2];
    if (!texts.tab.empty()) {
        drawIcon(TAB_ICON, x);
        drawText(texts.tab, x + ICON_TEXT_GAP, column);
    }
    x = column;
    column = x + m_columnWidths[3];
    if (!texts.source.empty()) {
        drawIcon(BUNDLE_ICON, x);
        drawText(texts.source, x + ICON_TEXT_GAP, std::max(column, static_cast<LONG>(rect.right)));
    }
}

int ActionSelectWindow::choose(afActionMatchList& matches, afView* owner) {
    int picked = -1;
    ActionSelectWindow* window = nullptr;
    try {
        window = new ActionSelectWindow(topLevelOf(owner), matches);
        window->afViewPlatform::create();
        uint32_t result = window->runModal();
        if (result == RESULT_OK)
            picked = window->getSelectedValue();
        else if (result == RESULT_DISMISSED)
            picked = -2;
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, 0, L"ActionSelectWindow: %s\n", e.message().c_str());
    }
    if (window) {
        if (HWND handle = window->getHandle())
            DestroyWindow(handle);
        else
            delete window;
    }
    return picked;
}

} // namespace corvel
