#include "zem/value/ScalarValue.h"

#include "zem/base/Assert.h"

namespace zem {

bool ScalarValue::getBool(bool* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    if (kind() != KIND_BOOLEAN)
        return false;
    *out = m_payload.b;
    return true;
}

bool ScalarValue::getInt(int* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    if (kind() != KIND_INTEGER)
        return false;
    *out = m_payload.i;
    return true;
}

bool ScalarValue::getDouble(double* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    if (kind() != KIND_REAL)
        return false;
    *out = m_payload.d;
    return true;
}

Value* ScalarValue::clone() const {
    ScalarValue* copy = nullptr;
    switch (kind()) {
    case KIND_BOOLEAN:
        copy = new ScalarValue(BooleanTag(), m_payload.b);
        break;
    case KIND_INTEGER:
        copy = new ScalarValue(m_payload.i);
        break;
    default:
        copy = new ScalarValue(m_payload.d);
        break;
    }
    copy->location() = location();
    return copy;
}

bool ScalarValue::equals(const Value* other) const {
    if (!other || other->kind() != kind())
        return false;
    const ScalarValue* scalar = static_cast<const ScalarValue*>(other);
    switch (kind()) {
    case KIND_BOOLEAN:
        return m_payload.b == scalar->m_payload.b;
    case KIND_INTEGER:
        return m_payload.i == scalar->m_payload.i;
    default:
        return m_payload.d == scalar->m_payload.d;
    }
}

Value* createBoolValue(bool value) {
    return new ScalarValue(ScalarValue::BooleanTag(), value);
}

} // namespace zem
