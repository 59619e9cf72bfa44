// A list of file paths as CF_HDROP: a DROPFILES header, the zero-ended wide paths and a
// final zero.
#pragma once
#include "corvel/widgets/afDataObjectSimple.h"

#include <string>
#include <vector>

namespace corvel {

class afDataObjectFiles : public afDataObjectSimple {
public:
    afDataObjectFiles();

    size_t getSize() override;
    // Fails without paths.
    bool getValue(void* destination) override;
    // source is an HDROP. A block that is not a well-formed list is refused; a path whose
    // length the shell reports differently is skipped.
    bool setValue(size_t size, const void* source) override;

    const std::vector<std::wstring>& getPaths() const { return m_paths; }
    void setPaths(const std::vector<std::wstring>& paths);
    void addPath(const std::wstring& path);

private:
    std::vector<std::wstring> m_paths;
};

} // namespace corvel
