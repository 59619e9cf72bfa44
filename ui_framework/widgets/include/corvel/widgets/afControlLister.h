// A virtual list: it holds only a count and asks its owner to measure and draw rows by
// index. One row height for all, scrolling by whole rows, a single selection, and an
// empty text while the count is 0.
#pragma once
#include "corvel/ui/afWidget.h"

#include <string>

namespace corvel {

class afControlLister : public afWidget {
public:
    typedef void (*DrawItemFunction)(void* object, afControlLister* lister, int index, bool selected, afCanvas* canvas,
                                     const afRect& rect, bool painting);
    typedef bool (*MeasureItemFunction)(void* object, afControlLister* lister, int index, bool selected,
                                        afCanvas* canvas, int& width, int& height);
    typedef void (*ListerFunction)(void* object, afControlLister* lister);
    typedef void (*IndexFunction)(void* object, afControlLister* lister, int index);
    typedef void (*ContextMenuFunction)(void* object, afControlLister* lister, int index, afEvent* event);

    enum : int { ROWS_FIT = 0, ROWS_AT_MOST = 1, ROWS_EXACTLY = 2 };
    static constexpr int DEFAULT_ROW_WIDTH = 100;
    static constexpr int DEFAULT_ROW_HEIGHT = 16;

    explicit afControlLister(afView* parent) : afWidget(parent) {}

    // Null for a null parent.
    static afControlLister* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void onLayout(bool changed, const afRect& rect) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    bool onKeyDown(afEvent* event) override;
    bool onMouseDown(afEvent* event) override;
    bool onMouseWheel(afEvent* event, int notches) override;
    void onFocusIn() override;
    void onFocusOut() override;
    bool onRawMessage(afMessage* message) override;

    // A negative count is 0.
    void setCount(int count, bool measure);
    void setRows(int preferred, int mode);
    void setMeasureWidths() { m_measureWidths = true; }
    void setPassive(bool passive);
    // Clamps index into the rows (to -1 only when allowNone, or when there is no row);
    // true when the selection changed.
    bool setSelection(int index, bool allowNone);
    int getSelection() const { return m_selection; }
    // Scrolls so the row is visible; true when it scrolled.
    bool ensureVisible(int index);
    // False when the row is not visible.
    bool getItemRect(int index, afRect& rect) const;
    // The row at client y, or -1.
    int itemAtY(int y) const;
    void invalidateItem(int index);
    void setEmptyText(const std::wstring& text);
    // Always acts, passive or not; false for keys it has no command for.
    bool handleKey(int keyCode);
    // A row at the wheel or the scroll bar: top row becomes value, clamped.
    void scrollToRow(int top);
    // For the owner's drawItem.
    void getItemColors(bool selected, COLORREF& text, COLORREF& secondary) const;
    void drawItemSelection(const afRect& rect, afCanvas& canvas) const;

    int getCount() const { return m_count; }
    int getTopRow() const { return m_top; }
    int getVisibleRows() const { return m_visible; }
    int getRowHeight() const { return m_rowHeight; }
    int getRowWidth() const { return m_rowWidth; }
    bool isEmpty() const { return m_empty; }
    bool isPassive() const { return m_passive; }
    const std::wstring& getEmptyText() const { return m_emptyText; }

    afCallback<DrawItemFunction> drawItemCallback;
    afCallback<MeasureItemFunction> measureItemCallback;
    afCallback<ListerFunction> beginMeasureCallback;
    afCallback<ListerFunction> endMeasureCallback;
    afCallback<IndexFunction> selectionChangedCallback;
    afCallback<IndexFunction> itemActivatedCallback;
    afCallback<ContextMenuFunction> contextMenuCallback;

private:
    static void onScroll(void* object, afViewPlatform* view, int request, int position);
    void measureItems();
    // The largest top row that still fills the visible rows.
    int maxTop() const;
    void updateScrollBar();
    void activate(int index);
    bool isFocusedLook() const { return m_passive || hasFocus(); }

    int m_count = 0;   // >= 0
    int m_top = 0;     // 0 <= m_top <= maxTop()
    int m_visible = 0; // rows that fit or are asked for
    int m_preferred = 10;
    int m_rowMode = ROWS_FIT;
    bool m_measureWidths = false;
    int m_rowHeight = DEFAULT_ROW_HEIGHT;
    int m_rowWidth = DEFAULT_ROW_WIDTH;
    int m_selection = 0; // -1 for none; below m_count whenever there are rows
    std::wstring m_emptyText;
    bool m_empty = true; // the count is 0
    bool m_passive = false;
};

} // namespace corvel
