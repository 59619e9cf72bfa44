#include "corvel/projects/ProjectTreeState.h"

#include "corvel/jasmine/JasmineValue.h"

namespace corvel {

namespace {

std::wstring stringOf(const JasmineValue& value) {
    if (value.getType() != JasmineValue::TYPE_STRING)
        return std::wstring();
    return value.asString(L"");
}

} // namespace

void ProjectTreeState::readFrom(const JasmineValue& value) {
    selected = stringOf(value.find(L"selected"));
    first = stringOf(value.find(L"first"));
    expanded.clear();
    const JasmineValue* begin = nullptr;
    const JasmineValue* end = nullptr;
    value.find(L"expanded").listRange(begin, end);
    for (const JasmineValue* path = begin; path != end; ++path) {
        if (path->getType() == JasmineValue::TYPE_STRING)
            expanded.push_back(path->asString(L""));
    }
}

void ProjectTreeState::writeTo(JasmineValue& out) const {
    out.initPayload(JasmineValue::TYPE_DICTIONARY);
    out.getOrAddEntry(L"selected").setString(selected);
    out.getOrAddEntry(L"first").setString(first);
    JasmineValue& list = out.getOrAddEntry(L"expanded");
    list.initPayload(JasmineValue::TYPE_LIST);
    for (const std::wstring& path : expanded)
        list.appendElement().setString(path);
}

} // namespace corvel
