#include "corvel/text/StringScanner.h"

namespace corvel {

bool StringScanner::getGroup(std::wstring& out) const {
    out.clear();
    const zem::MatchResults* results = matchData();
    if (!isMatched() || !results || results->countMatchedGroups() < 2)
        return false;
    out = getGroup(1);
    return true;
}

} // namespace corvel
