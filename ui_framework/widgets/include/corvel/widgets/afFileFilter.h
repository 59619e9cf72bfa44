// The file types a file dialog offers: a title and extensions without "*." ("*" for all
// files, "cvProject"), and the owning list of them.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class afFileFilter {
public:
    afFileFilter() = default;
    afFileFilter(const std::wstring& title, std::vector<std::wstring> patterns)
        : title(title), patterns(std::move(patterns)) {}

    int tag = 0;
    std::wstring title;
    std::vector<std::wstring> patterns;
};

class afFileFilters {
public:
    // Appends a type; the list owns it.
    afFileFilter* add(const std::wstring& title, std::vector<std::wstring> patterns) {
        m_filters.push_back(std::make_unique<afFileFilter>(title, std::move(patterns)));
        return m_filters.back().get();
    }
    int size() const { return static_cast<int>(m_filters.size()); }
    bool empty() const { return m_filters.empty(); }
    // Null for an index outside the list.
    afFileFilter* at(int index) const {
        return index >= 0 && index < size() ? m_filters[static_cast<size_t>(index)].get() : nullptr;
    }
    // The position of filter in the list, or -1.
    int indexOf(const afFileFilter* filter) const {
        for (int i = 0; i < size(); ++i) {
            if (m_filters[static_cast<size_t>(i)].get() == filter)
                return i;
        }
        return -1;
    }

private:
    std::vector<std::unique_ptr<afFileFilter>> m_filters;
};

} // namespace corvel
