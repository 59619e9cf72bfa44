#include "zem/text/MatchResults.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"

#include <cstdlib>

namespace zem {

int MatchResults::getLength(int i) const {
    return std::abs(getEnd(i) - getBegin(i));
}

int MatchResults::computeMatchedGroupCount() const {
    int count = getCount();
    int matched = 0;
    for (int i = 0; i < count; ++i) {
        if (isGroupMatched(i))
            ++matched;
    }
    return matched;
}

int MatchResults::computeFirstMatchedGroup() const {
    int count = getCount();
    for (int i = 1; i < count; ++i) {
        if (getBegin(i) != -1)
            return i;
    }
    return 0;
}

int MatchResults::countMatchedGroups() const {
    return computeMatchedGroupCount();
}

int MatchResults::getFirstMatchedGroup() const {
    return computeFirstMatchedGroup();
}

bool MatchResults::isMatched() const {
    return isGroupMatched(0);
}

bool MatchResults::isGroupMatched(int i) const {
    return getBegin(i) >= 0;
}

int MatchResults::getGroupTexts(const wchar_t* text, int textLength, MatchGroupTexts& out) const {
    out.clear();
    int count = getCount();
    for (int i = 0; i < count; ++i) {
        if (!isGroupMatched(i))
            continue;
        int begin = getBegin(i);
        int length = getLength(i);
        // Results written by hand may point anywhere; never read outside the caller's text.
        ZEM_ASSERT_MSG(text && begin <= textLength && length <= textLength - begin, L"length() <= string_length");
        out[static_cast<unsigned>(i)].assign(text + begin, static_cast<size_t>(length));
    }
    return count;
}

void MatchResults::set(int, int, int) {
    throw IllegalStateException(L"MatchResults::set method not supported.");
}

void MatchResults::add(int, int) {
    throw IllegalStateException(L"MatchResults::add method not supported.");
}

void MatchResultsSimple::clear() {
    m_groups.clear();
}

int MatchResultsSimple::getCount() const {
    return static_cast<int>(m_groups.size());
}

int MatchResultsSimple::getBegin(int i) const {
    if (i < 0 || i >= getCount())
        return -1;
    return m_groups[static_cast<size_t>(i)].first;
}

int MatchResultsSimple::getEnd(int i) const {
    if (i < 0 || i >= getCount())
        return -1;
    return m_groups[static_cast<size_t>(i)].second;
}

void MatchResultsSimple::set(int i, int begin, int end) {
    if (i < 0)
        return;
    if (static_cast<size_t>(i) >= m_groups.size())
        m_groups.resize(static_cast<size_t>(i) + 1, std::make_pair(-1, -1));
    m_groups[static_cast<size_t>(i)] = std::make_pair(begin, end);
}

void MatchResultsSimple::add(int begin, int end) {
    m_groups.emplace_back(begin, end);
}

} // namespace zem
