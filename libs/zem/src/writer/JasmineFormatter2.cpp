#include "zem/writer/JasmineFormatter2.h"

#include "zem/value/Value.h"
#include "zem/writer/Quoting.h"

namespace zem {

void JasmineFormatter2::reset() {
    m_depth = 0;
    m_lineCount = 0;
}

void JasmineFormatter2::newLine(std::wstring& out) {
    out += L'\n';
    out.append(static_cast<size_t>(m_depth > 0 ? m_depth : 0), L'\t');
    ++m_lineCount;
}

void JasmineFormatter2::beginValue(const ValueStack& stack, std::wstring& out) {
    if (!stack.back()->isContainer())
        return;
    out += stack.back()->kind() == Value::KIND_LIST ? L'[' : L'{';
    ++m_depth;
}

void JasmineFormatter2::endValue(const ValueStack& stack, std::wstring& out) {
    if (!stack.back()->isContainer())
        return;
    --m_depth;
    newLine(out);
    out += stack.back()->kind() == Value::KIND_LIST ? L']' : L'}';
}

void JasmineFormatter2::beginListItem(const ValueStack&, const Value*, int32_t, int32_t, std::wstring& out) {
    newLine(out);
}

void JasmineFormatter2::endListItem(const ValueStack&, const Value*, int32_t, int32_t, std::wstring&) {}

void JasmineFormatter2::beginEntry(const ValueStack&, const Value* value, const std::wstring& key, int32_t, int32_t,
                                   std::wstring& out) {
    newLine(out);
    appendSymbolKey(key, out);
    if (value->isContainer()) {
        out += L':';
        newLine(out);
        return;
    }
    out += L": ";
}

void JasmineFormatter2::endEntry(const ValueStack&, const Value*, const std::wstring&, int32_t, int32_t,
                                 std::wstring&) {}

void JasmineFormatter2::appendSymbolString(const std::wstring& text, std::wstring& out) {
    appendSymbol(text, out);
}

} // namespace zem
