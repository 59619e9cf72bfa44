// What the search manager drives: the focused searchable editor of a scope.
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class SearchRequest;

class SearchSubscriber {
public:
    virtual ~SearchSubscriber() = default;

    // Performs a SearchAction; true when something was found (or replaced).
    virtual bool ssOnAction(SearchRequest* request, uint32_t action, bool backward) = 0;
    // Proposes texts for a dialog being opened; leaves what it has nothing for alone.
    virtual void fillSearchText(std::wstring& findText, std::wstring& replaceText, uint32_t scopeId) = 0;
    // Takes the keyboard focus back from a front end.
    virtual void focusFromSearch() = 0;
};

} // namespace corvel
