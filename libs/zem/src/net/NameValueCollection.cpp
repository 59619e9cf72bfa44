#include "zem/net/NameValueCollection.h"

#include "zem/base/Exception.h"

#include <cwchar>

namespace zem {
namespace net {

bool CaseInsensitiveLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

// multimap::find may return any of the equal entries; the first is the one that counts.
NameValueCollection::Map::iterator NameValueCollection::first(const std::wstring& name) {
    auto it = m_map.lower_bound(name);
    return it != m_map.end() && !m_map.key_comp()(name, it->first) ? it : m_map.end();
}

NameValueCollection::ConstIterator NameValueCollection::first(const std::wstring& name) const {
    return const_cast<NameValueCollection*>(this)->first(name);
}

void NameValueCollection::set(const std::wstring& name, const std::wstring& value) {
    auto it = first(name);
    if (it != m_map.end()) {
        it->second = value;
        return;
    }
    m_map.emplace(name, value);
}

void NameValueCollection::add(const std::wstring& name, const std::wstring& value) {
    m_map.emplace(name, value);
}

const std::wstring& NameValueCollection::get(const std::wstring& name) const {
    auto it = first(name);
    if (it == m_map.end())
        throw NotFoundException(name);
    return it->second;
}

bool NameValueCollection::has(const std::wstring& name) const {
    return first(name) != m_map.end();
}

NameValueCollection::ConstIterator NameValueCollection::find(const std::wstring& name) const {
    return first(name);
}

void NameValueCollection::erase(const std::wstring& name) {
    m_map.erase(name);
}

void NameValueCollection::clear() {
    m_map.clear();
}

} // namespace net
} // namespace zem
