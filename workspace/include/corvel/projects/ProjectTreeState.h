// How a project's tree looked when its window last let go of it: the selected entry, the
// first visible one and the expanded ones, each as the "\"-joined names from the top.
#pragma once
#include <string>
#include <vector>

namespace corvel {

class JasmineValue;

struct ProjectTreeState {
    std::wstring selected;
    std::wstring first;
    std::vector<std::wstring> expanded;

    // "selected", "first" and "expanded" (a list of strings); wrong types are skipped.
    void readFrom(const JasmineValue& value);
    void writeTo(JasmineValue& out) const;
};

} // namespace corvel
