// One candidate action found by a lookup, and the orders in which candidates are offered.
#pragma once
#include <cstdint>
#include <vector>

namespace corvel {

class afAction;
class afActionTrigger;

struct afActionMatch {
    uint64_t score = 0;
    uint64_t secondary = 0; // the word length of a tab match, else 0
    afAction* action = nullptr;
    afActionTrigger* trigger = nullptr; // null for afActionRegistry::findActions
};

typedef std::vector<afActionMatch> afActionMatchList;

// Stable: equal records keep their input order.
// Score descending, then the secondary key descending.
void sortActionMatchesByScore(afActionMatchList& matches);
// As by score, then the title ascending, case-insensitive.
void sortActionMatchesByScoreAndTitle(afActionMatchList& matches);
// Title ascending, case-insensitive.
void sortActionMatchesByTitle(afActionMatchList& matches);

} // namespace corvel
