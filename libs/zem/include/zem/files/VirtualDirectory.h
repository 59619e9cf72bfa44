// The listing of a directory path that several devices serve (base:grammars over the
// user and program folders): every name once, the first device's entry winning.
#pragma once
#include "zem/files/File.h"
#include "zem/files/WorkString.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace zem {

class VirtualDirectory : public Directory {
public:
    // Takes ownership of the inner listings, given in device priority order.
    VirtualDirectory(const wchar_t* path, std::vector<Directory*> listings);
    // Closes every inner listing with fileCloseDirectory.
    ~VirtualDirectory() override;
    VirtualDirectory(const VirtualDirectory&) = delete;
    VirtualDirectory& operator=(const VirtualDirectory&) = delete;

    bool isOpen() const override;
    const wchar_t* getPath() const override { return m_path.c_str(); }
    const FileInfo* next() override;
    bool rewind() override;
    FileDevice* getDevice() const override { return nullptr; }

private:
    static uint64_t nameKey(const FileInfo& info);

    WorkString m_path;
    std::vector<Directory*> m_listings; // owned, priority order
    size_t m_current = 0;               // index into m_listings; == size() once all are read
    std::unordered_set<uint64_t> m_seen;
};

} // namespace zem
