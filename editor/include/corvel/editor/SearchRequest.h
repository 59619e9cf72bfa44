// One search as a front end asks for it: texts, the scope to search and the options. The
// search manager hands it to the scope's subscriber and keeps the last one for Find Next.
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class SearchManager;
class SearchUI;

// What a subscriber is asked to do with a request.
enum SearchAction : uint32_t {
    SearchActionFind = 0xc9ae6404u,
    SearchActionFindAsYouType = 0xdca052a9u,
    SearchActionReplace = 0x0c9d2445u,
    SearchActionReplaceAll = 0x28a49668u,
};

class SearchRequest {
public:
    static constexpr uint32_t SCOPE_CURRENT_DOCUMENT = 0xd92b7198u;
    static constexpr uint32_t SCOPE_CURRENT_SELECTION = 0xd1168153u;
    static constexpr uint32_t SCOPE_NONE = 0x7f9000cfu;

    // Back to the defaults: no texts, no front end, no scope, wrapping on, other options off.
    void reset();
    // Asks the front end that made the request whether a search at the end of its scope
    // goes on from the other end; false without a front end.
    bool confirmWrapAround();

    SearchManager* manager = nullptr; // not owned
    SearchUI* frontEnd = nullptr;     // not owned; may be null
    std::wstring findText;
    std::wstring replaceText;
    uint32_t scopeId = SCOPE_NONE;
    bool matchCase = false;
    bool wrapAround = true;
    bool regularExpression = false;
    bool useEscapes = false;
    bool wholeWords = false;
};

} // namespace corvel
