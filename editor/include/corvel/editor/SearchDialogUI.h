// What the search manager needs of its search dialog beyond a front end's part: the mode
// and scope the find actions choose, and the fields they fill or focus.
#pragma once
#include "corvel/editor/SearchUI.h"

#include <cstdint>
#include <string>

namespace corvel {

class SearchDialogUI : public SearchUI {
public:
    // Replace mode shows the replace row; find mode hides it.
    virtual void setReplaceMode(bool replace) = 0;
    // Selects the tab of SearchRequest::SCOPE_CURRENT_SELECTION or of the current document.
    virtual void selectScope(uint32_t scopeId) = 0;
    // Focuses the find field with all of its text selected.
    virtual void focusFindText() = 0;
    // Replaces a field's text, selected; empty texts leave their field alone.
    virtual void putTexts(const std::wstring& findText, const std::wstring& replaceText) = 0;
};

} // namespace corvel
