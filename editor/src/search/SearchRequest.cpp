#include "corvel/editor/SearchRequest.h"

#include "corvel/editor/SearchUI.h"

namespace corvel {

void SearchRequest::reset() {
    frontEnd = nullptr;
    findText.clear();
    replaceText.clear();
    scopeId = SCOPE_NONE;
    matchCase = false;
    wrapAround = true;
    regularExpression = false;
    useEscapes = false;
    wholeWords = false;
}

bool SearchRequest::confirmWrapAround() {
    return frontEnd && frontEnd->confirmWrapAround(this);
}

} // namespace corvel
