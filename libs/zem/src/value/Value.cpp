#include "zem/value/Value.h"

#include "zem/base/Assert.h"

namespace zem {

namespace {
const wchar_t* const KIND_NAMES[] = {L"Null",   L"Boolean", L"Integer", L"Real",
                                     L"String", L"RegExp",  L"List",    L"Dictionary"};
}

const wchar_t* getValueKindName(int32_t kind) {
    if (kind < 0 || kind >= static_cast<int32_t>(sizeof(KIND_NAMES) / sizeof(KIND_NAMES[0])))
        return L"Unknown";
    return KIND_NAMES[kind];
}

bool Value::getBool(bool* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    return false;
}

bool Value::getInt(int* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    return false;
}

bool Value::getDouble(double* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    return false;
}

bool Value::getString(std::wstring* out) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_val");
    return false;
}

Value* Value::clone() const {
    Value* copy = new Value();
    copy->m_location = m_location;
    return copy;
}

bool Value::equals(const Value* other) const {
    return other && other->kind() == KIND_NULL;
}

Value* createNullValue() {
    return new Value();
}

} // namespace zem
