// A face list at one size, with one font group per style variant.
#pragma once
#include "corvel/ui/afUnicodeFontGroup.h"

#include <memory>
#include <string>
#include <vector>

namespace corvel {

class afUnicodeFontFamily {
public:
    static constexpr size_t GROUP_COUNT = 9;

    afUnicodeFontFamily(std::vector<std::wstring> names, uint16_t size) : m_names(std::move(names)), m_size(size) {}

    const std::vector<std::wstring>& names() const { return m_names; }
    uint16_t size() const { return m_size; }

    // Variants 0-8 have their own group; higher ones use the group of their three style bits.
    afUnicodeFontGroup* group(unsigned variant) const {
        return m_groups[variant < GROUP_COUNT ? variant : (variant & 7)].get();
    }
    void setGroup(unsigned variant, std::unique_ptr<afUnicodeFontGroup> group) {
        m_groups[variant] = std::move(group);
    }

private:
    std::vector<std::wstring> m_names;
    uint16_t m_size;
    std::unique_ptr<afUnicodeFontGroup> m_groups[GROUP_COUNT];
};

} // namespace corvel
