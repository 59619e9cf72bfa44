// Names mapped to values, names compared ignoring case; several values may share a name
// and keep their insertion order. Iteration runs in name order, which is also the order
// headers and form fields are written in.
#pragma once
#include <map>
#include <string>

namespace zem {
namespace net {

struct CaseInsensitiveLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class NameValueCollection {
public:
    using Map = std::multimap<std::wstring, std::wstring, CaseInsensitiveLess>;
    using ConstIterator = Map::const_iterator;

    NameValueCollection() = default;
    NameValueCollection(const NameValueCollection&) = default;
    NameValueCollection& operator=(const NameValueCollection&) = default;
    virtual ~NameValueCollection() = default;

    // Replaces the first value of the name, or adds the pair.
    void set(const std::wstring& name, const std::wstring& value);
    void add(const std::wstring& name, const std::wstring& value);
    // The first value of the name; throws NotFoundException with the name as its text.
    const std::wstring& get(const std::wstring& name) const;
    bool has(const std::wstring& name) const;
    ConstIterator find(const std::wstring& name) const;
    // Removes every entry of the name.
    void erase(const std::wstring& name);
    void clear();

    ConstIterator begin() const { return m_map.begin(); }
    ConstIterator end() const { return m_map.end(); }
    bool empty() const { return m_map.empty(); }
    size_t size() const { return m_map.size(); }

private:
    Map::iterator first(const std::wstring& name);
    ConstIterator first(const std::wstring& name) const;

    Map m_map;
};

} // namespace net
} // namespace zem
