// A small set of integer tags that marks what a record is about (a validation error's
// subject, for instance). A value: copying copies the set.
#pragma once
#include <cstddef>
#include <set>

namespace zem {

template <class T> class Tags {
public:
    Tags() = default;
    Tags(std::initializer_list<T> tags) : m_tags(tags) {}
    Tags(const Tags&) = default;
    Tags& operator=(const Tags&) = default;
    virtual ~Tags() = default;

    // True when the tag was not there yet.
    bool add(T tag) { return m_tags.insert(tag).second; }
    bool remove(T tag) { return m_tags.erase(tag) != 0; }
    bool has(T tag) const { return m_tags.find(tag) != m_tags.end(); }
    void clear() { m_tags.clear(); }

    size_t size() const { return m_tags.size(); }
    bool empty() const { return m_tags.empty(); }
    typename std::set<T>::const_iterator begin() const { return m_tags.begin(); }
    typename std::set<T>::const_iterator end() const { return m_tags.end(); }

    bool operator==(const Tags& other) const { return m_tags == other.m_tags; }
    bool operator!=(const Tags& other) const { return m_tags != other.m_tags; }

private:
    std::set<T> m_tags; // ascending
};

} // namespace zem
