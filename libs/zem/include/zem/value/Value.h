// The dynamically typed value tree that JSON and Jasmine text are read into and written
// from. Every node is a heap object with exactly one owner: the container that holds it
// or the caller that created it. A plain Value is the null node.
#pragma once
#include "zem/base/ParserException.h"

#include <cstdint>
#include <string>

namespace zem {

// Where a value stood in the text it was read from. Only the Jasmine parser fills it;
// every other node carries the zero location.
struct SourceLocation {
    bool hasLocation = false;
    int32_t beginToken = 0; // indices of the value's first and last token in its token stream
    int32_t endToken = 0;
    SourcePosition begin; // start of the first token, end of the last
    SourcePosition end;
    SourcePosition contentBegin; // inside the quotes or brackets
    SourcePosition contentEnd;
    SourcePosition keyBegin; // the key token, for a value read as a dictionary entry
    SourcePosition keyEnd;
};

class Value {
public:
    // Kind tags; messages of other subsystems name them through getValueKindName().
    enum Kind : int32_t {
        KIND_NULL = 0,
        KIND_BOOLEAN = 1,
        KIND_INTEGER = 2,
        KIND_REAL = 3,
        KIND_STRING = 4,
        KIND_REGEXP = 5,
        KIND_LIST = 6,
        KIND_DICTIONARY = 7,
    };

    Value() : m_kind(KIND_NULL) {}
    virtual ~Value() = default;
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    // Each stores the payload and returns true only when the node is exactly of that
    // kind; there is no conversion (getInt on a real is false). out must not be null.
    virtual bool getBool(bool* out) const;
    virtual bool getInt(int* out) const;
    virtual bool getDouble(double* out) const;
    virtual bool getString(std::wstring* out) const;
    // A new independent tree that the caller owns, source locations included.
    virtual Value* clone() const;
    // Structural equality; string styles, insertion order and locations play no part.
    // A null other is never equal.
    virtual bool equals(const Value* other) const;

    int32_t kind() const { return m_kind; }
    bool isNull() const { return m_kind == KIND_NULL; }
    bool isContainer() const { return m_kind == KIND_LIST || m_kind == KIND_DICTIONARY; }

    SourceLocation& location() { return m_location; }
    const SourceLocation& location() const { return m_location; }

protected:
    explicit Value(int32_t kind) : m_kind(kind) {}

private:
    const int32_t m_kind; // fixed at construction
    SourceLocation m_location;
};

// "Null", "Boolean", "Integer", "Real", "String", "RegExp", "List", "Dictionary";
// "Unknown" for any other tag.
const wchar_t* getValueKindName(int32_t kind);

// A new null node owned by the caller.
Value* createNullValue();

} // namespace zem
