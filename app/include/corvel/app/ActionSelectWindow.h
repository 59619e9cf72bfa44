// The action chooser: when one key or tab word fits several actions, the user picks one
// from the list of their titles, keys, tab words and bundles, typing to narrow it.
#pragma once
#include "corvel/app/SuggestionWindow.h"
#include "corvel/widgets/afActionMatch.h"

namespace corvel {

class afAction;

class ActionSelectWindow : public SuggestionWindow {
public:
    // The candidates are the caller's and must outlive the window.
    ActionSelectWindow(afView* owner, const afActionMatchList& matches);

    afAction* getAction(int item) const;

    // The chooser the key and tab dispatch use (setActionChooser): the index picked, -1
    // when the window was closed, -2 when it was left for another window.
    static int choose(afActionMatchList& matches, afView* owner);

protected:
    int getItemCount() const override { return static_cast<int>(m_matches.size()); }
    bool filterItem(const FilterMatcher& matcher, int item, uint32_t& score) const override;
    void drawItem(int item, bool selected, afCanvas& canvas, const RECT& rect, bool focused) override;
    bool measureItem(int item, bool selected, afCanvas& canvas, SIZE& size) override;

private:
    // The texts of a row's four columns; empty where a column has nothing.
    struct RowTexts {
        std::wstring title;
        std::wstring key;
        std::wstring tab;
        std::wstring source;
    };
    RowTexts textsOf(int item) const;

    const afActionMatchList& m_matches;
};

} // namespace corvel
