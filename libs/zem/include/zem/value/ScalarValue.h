// Booleans, 32-bit integers and doubles: the value kinds without text.
#pragma once
#include "zem/value/Value.h"

namespace zem {

class ScalarValue : public Value {
public:
    explicit ScalarValue(int value) : Value(KIND_INTEGER) { m_payload.i = value; }
    explicit ScalarValue(double value) : Value(KIND_REAL) { m_payload.d = value; }

    bool getBool(bool* out) const override;
    bool getInt(int* out) const override;
    bool getDouble(double* out) const override;
    Value* clone() const override;
    // Kinds must match: the integer 1 is not the real 1.0; reals compare as doubles
    // (0.0 equals -0.0, NaN equals nothing).
    bool equals(const Value* other) const override;

private:
    friend Value* createBoolValue(bool value);
    struct BooleanTag {};
    ScalarValue(BooleanTag, bool value) : Value(KIND_BOOLEAN) { m_payload.b = value; }

    union {
        bool b;
        int i;
        double d;
    } m_payload; // the member in use follows kind()
};

// A new boolean node owned by the caller.
Value* createBoolValue(bool value);

} // namespace zem
