#include "zem/value/RegExpValue.h"

namespace zem {

Value* RegExpValue::clone() const {
    RegExpValue* copy = new RegExpValue(m_pattern, m_options);
    copy->location() = location();
    return copy;
}

bool RegExpValue::equals(const Value* other) const {
    if (!other || other->kind() != KIND_REGEXP)
        return false;
    const RegExpValue* regExp = static_cast<const RegExpValue*>(other);
    return regExp->m_pattern == m_pattern && regExp->m_options == m_options;
}

Value* createRegExpValue(const std::wstring& pattern, const std::wstring& options) {
    return new RegExpValue(pattern, options);
}

} // namespace zem
