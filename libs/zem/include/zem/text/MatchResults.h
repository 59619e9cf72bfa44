// The outcome of one regular-expression match, read the same way by every consumer of
// capture groups: group i spans [getBegin(i), getEnd(i)) in UTF-16 units of the subject,
// and a group that took no part in the match reads -1 at both ends.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zem {

typedef std::map<unsigned, std::wstring> MatchGroupTexts;

class MatchResults {
public:
    virtual ~MatchResults() = default;

    virtual void clear() = 0;
    // Number of groups; group 0 is the whole match.
    virtual int getCount() const = 0;
    // -1 when i is not below the count or the group did not match.
    virtual int getBegin(int i) const = 0;
    virtual int getEnd(int i) const = 0;
    // Never negative, whatever order the ends are in.
    virtual int getLength(int i) const;
    virtual int countMatchedGroups() const;
    // Lowest group from 1 upward that matched; 0 when there is none.
    virtual int getFirstMatchedGroup() const;
    virtual bool isMatched() const;
    virtual bool isGroupMatched(int i) const;
    // Fills out with the text of every matched group of text[0, textLength) and returns
    // getCount(). A group reaching outside the text is an assertion failure.
    virtual int getGroupTexts(const wchar_t* text, int textLength, MatchGroupTexts& out) const;
    // Both throw IllegalStateException here; results that can be written override them.
    virtual void set(int i, int begin, int end);
    virtual void add(int begin, int end);

protected:
    // The shared algorithms, for implementations that cache their answers.
    int computeMatchedGroupCount() const;
    int computeFirstMatchedGroup() const;
};

// Results written by hand: a plain list of (begin, end) pairs.
class MatchResultsSimple : public MatchResults {
public:
    void clear() override;
    int getCount() const override;
    int getBegin(int i) const override;
    int getEnd(int i) const override;
    // Grows the list with unmatched groups up to i; a negative i is ignored.
    void set(int i, int begin, int end) override;
    void add(int begin, int end) override;

private:
    std::vector<std::pair<int, int>> m_groups;
};

} // namespace zem
