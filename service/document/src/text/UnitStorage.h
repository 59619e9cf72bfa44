// The memory under a gap buffer. Large buffers come straight from the system, so that
// room the loader reserved but did not fill can be decommitted without a copy.
#pragma once
#include <cstddef>

namespace corvel {

class UnitStorage {
public:
    // Null units when the memory cannot be had.
    explicit UnitStorage(size_t units);
    ~UnitStorage();
    UnitStorage(const UnitStorage&) = delete;
    UnitStorage& operator=(const UnitStorage&) = delete;

    wchar_t* units() const { return m_units; }
    // Decommits whole pages past `keep` units; returns the units still usable (>= keep).
    size_t shrinkTo(size_t keep);

private:
    wchar_t* m_units = nullptr;
    size_t m_count = 0;
    bool m_fromSystem = false; // VirtualAlloc, else new[]
};

} // namespace corvel
