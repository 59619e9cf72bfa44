// Scope paths for tests, written as usual from the outermost atom to the innermost.
#pragma once
#include "corvel/document/ScopePath.h"

#include <sstream>
#include <string>
#include <vector>

namespace documenttest {

// Fills path from "source.python string.quoted" (atoms separated by spaces).
inline void fillScopePath(corvel::ScopePath& path, const std::wstring& outerToInner) {
    std::vector<std::wstring> atoms;
    std::wistringstream in(outerToInner);
    for (std::wstring atom; in >> atom;)
        atoms.push_back(atom);
    for (size_t i = atoms.size(); i-- > 0;)
        path.push(atoms[i].c_str(), static_cast<uint32_t>(atoms[i].size()), true);
}

} // namespace documenttest
