#include "zem/value/StringValue.h"

#include "zem/base/Assert.h"

namespace zem {

bool StringValue::getString(std::wstring* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    *out = m_text;
    return true;
}

Value* StringValue::clone() const {
    StringValue* copy = new StringValue(m_text);
    copy->location() = location();
    return copy;
}

bool StringValue::equals(const Value* other) const {
    return other && other->kind() == KIND_STRING && static_cast<const StringValue*>(other)->m_text == m_text;
}

Value* createStringValue(const wchar_t* text, int length) {
    ZEM_ASSERT_MSG(text != nullptr, L"string");
    if (length < 0)
        return new StringValue(std::wstring(text));
    return new StringValue(std::wstring(text, static_cast<size_t>(length)));
}

Value* createStringValue(const std::wstring& text) {
    return new StringValue(text);
}

} // namespace zem
