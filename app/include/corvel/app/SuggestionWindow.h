// A small modal chooser: a filter field over an owner-drawn list that keeps only the
// candidates matching the typed text, best first. Enter or a click picks one. Subclasses
// say how many candidates there are and how one is matched, measured and drawn.
#pragma once
#include "corvel/ui/afWindow.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class FilterMatcher;
class afCanvas;
class afControlEdit;
class afControlLister;
class afLayoutLinear;

class SuggestionWindow : public afWindow {
public:
    // The result when the chooser closed because the user went elsewhere.
    static constexpr uint32_t RESULT_DISMISSED = 0x130181c4u;

    explicit SuggestionWindow(afView* owner);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onActivate(bool active) override;

    // The picked candidate's index; -1 when nothing was picked or the list is empty.
    int getSelectedValue() const;
    // A text set before creation is put into the field, selected, and applied then.
    void setFilterText(const std::wstring& text);
    const std::wstring& getFilterText() const { return m_filterText; }
    // Keeps the candidates that match, best score first, equal scores in their own order.
    void refilter(const std::wstring& text);

    afControlLister* getList() const { return m_list; }
    afControlEdit* getFilterField() const { return m_field; }
    // (score, candidate index) of each visible row, in display order.
    const std::vector<std::pair<uint32_t, int>>& getVisibleRows() const { return m_rows; }

protected:
    virtual void buildLayout();
    virtual int getItemCount() const = 0;
    virtual bool filterItem(const FilterMatcher& matcher, int item, uint32_t& score) const = 0;
    virtual void drawItem(int item, bool selected, afCanvas& canvas, const RECT& rect, bool focused);
    virtual bool measureItem(int item, bool selected, afCanvas& canvas, SIZE& size);
    // The list's preferred rows and row mode, and the field's cue text.
    virtual void configureList(afControlLister& list);
    virtual const wchar_t* getCueText() const { return L"Type to search"; }

    // Widths subclasses keep so their columns line up; zeroed before each measuring pass.
    std::vector<int> m_columnWidths;

private:
    static void drawRow(void* self, afControlLister* list, int row, bool selected, afCanvas* canvas, const afRect& rect,
                        bool painting);
    static bool measureRow(void* self, afControlLister* list, int row, bool selected, afCanvas* canvas, int& width,
                           int& height);
    static void beginMeasure(void* self, afControlLister* list);
    static bool onRowClick(void* self, afView* view, afEvent* event);
    static bool onFilterKey(void* self, afControlEdit* edit, afEvent* event);
    static void onFilterChanged(void* self, afControlEdit* edit);
    static bool paintBar(void* self, afView* view, afCanvas* canvas, afCanvasRegion* region);
    void pick(int row);
    int itemOfRow(int row) const;

    afControlLister* m_list = nullptr;
    afControlEdit* m_field = nullptr;
    afLayoutLinear* m_bar = nullptr;
    std::wstring m_filterText;
    int m_picked = -1; // an index into m_rows, -1 until a pick
    std::vector<std::pair<uint32_t, int>> m_rows;
};

} // namespace corvel
