#include "corvel/widgets/afActionMatch.h"

#include "corvel/widgets/afAction.h"

#include <algorithm>
#include <string>
#include <wchar.h>

namespace corvel {
namespace {

bool byScore(const afActionMatch& a, const afActionMatch& b) {
    if (a.score != b.score)
        return a.score > b.score;
    return a.secondary > b.secondary;
}

// Titles are copies made by the actions: each is taken once before sorting.
template <class Less> void sortWithTitles(afActionMatchList& matches, Less less) {
    struct Keyed {
        afActionMatch match;
        std::wstring title;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(matches.size());
    for (const afActionMatch& match : matches)
        keyed.push_back(Keyed{match, match.action ? match.action->getTitle() : std::wstring()});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const Keyed& a, const Keyed& b) { return less(a.match, a.title, b.match, b.title); });
    for (size_t i = 0; i < keyed.size(); ++i)
        matches[i] = keyed[i].match;
}

bool titleLess(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

} // namespace

void sortActionMatchesByScore(afActionMatchList& matches) {
    std::stable_sort(matches.begin(), matches.end(), byScore);
}

void sortActionMatchesByScoreAndTitle(afActionMatchList& matches) {
    sortWithTitles(matches, [](const afActionMatch& a, const std::wstring& titleA, const afActionMatch& b,
                               const std::wstring& titleB) {
        if (byScore(a, b))
            return true;
        if (byScore(b, a))
            return false;
        return titleLess(titleA, titleB);
    });
}

void sortActionMatchesByTitle(afActionMatchList& matches) {
    sortWithTitles(matches, [](const afActionMatch&, const std::wstring& titleA, const afActionMatch&,
                               const std::wstring& titleB) { return titleLess(titleA, titleB); });
}

} // namespace corvel
