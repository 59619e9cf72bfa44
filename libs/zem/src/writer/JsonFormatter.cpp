#include "zem/writer/JsonFormatter.h"

#include "zem/value/Value.h"
#include "zem/writer/Quoting.h"

namespace zem {

void JsonFormatter::beginValue(const ValueStack& stack, std::wstring& out) {
    int32_t kind = stack.back()->kind();
    if (kind == Value::KIND_LIST)
        out += L'[';
    else if (kind == Value::KIND_DICTIONARY)
        out += L'{';
}

void JsonFormatter::endValue(const ValueStack& stack, std::wstring& out) {
    int32_t kind = stack.back()->kind();
    if (kind == Value::KIND_LIST)
        out += L']';
    else if (kind == Value::KIND_DICTIONARY)
        out += L'}';
}

void JsonFormatter::beginListItem(const ValueStack&, const Value*, int32_t, int32_t, std::wstring&) {}

void JsonFormatter::endListItem(const ValueStack&, const Value*, int32_t index, int32_t lastIndex, std::wstring& out) {
    if (index != lastIndex)
        out += L',';
}

void JsonFormatter::beginEntry(const ValueStack&, const Value*, const std::wstring& key, int32_t, int32_t,
                               std::wstring& out) {
    appendJsonQuoted(key, out);
    out += L':';
}

void JsonFormatter::endEntry(const ValueStack&, const Value*, const std::wstring&, int32_t index, int32_t lastIndex,
                             std::wstring& out) {
    if (index != lastIndex)
        out += L',';
}

void JsonFormatter::appendSymbolString(const std::wstring& text, std::wstring& out) {
    appendJsonSymbol(text, out);
}

} // namespace zem
