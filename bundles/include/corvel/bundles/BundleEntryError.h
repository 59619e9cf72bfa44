// A problem with a bundle entry: a message, the location text of the file concerned and,
// when tagged TAG_POSITIONED, where in the source text it stands.
#pragma once
#include "corvel/config/ValidationError.h"
#include "zem/base/ParserException.h"

#include <string>

namespace zem {
class Value;
}

namespace corvel {

class BundleEntryError : public ValidationError {
public:
    // Tags (symbol ids, used as signed ints).
    static const int TAG_POSITIONED = 0x5f8a7f73; // start and end are set
    static const int TAG_VALUE = 0x1d775834;      // about a value: key missing, wrong type
    static const int TAG_FILE = 0x8c9f3610;       // reading or writing a file
    static const int TAG_TITLE = 0x2b36786b;      // the "title", and every empty-string error
    static const int TAG_SCOPE = 0x00af55d3;      // the "scope"
    static const int TAG_PATTERN = 0x5e237e06;    // a value did not match its pattern

    explicit BundleEntryError(uint32_t severity, std::wstring message = std::wstring(),
                              std::wstring location = std::wstring());

    // The message; one space and the location when there is one; " (Line %d, Char %d)"
    // with the 1-based start when positioned.
    void getMessage(std::wstring& out) const override;
    using ValidationError::getMessage;
    ValidationError* clone() const override { return new BundleEntryError(*this); }

    // The composed text, as getMessage gives it.
    std::wstring getText() const { return getMessage(); }
    // The message alone.
    const std::wstring& message() const { return m_message; }
    const std::wstring& getLocation() const { return m_location; }
    void setLocation(const std::wstring& location) { m_location = location; }
    bool isPositioned() const { return hasTag(TAG_POSITIONED); }
    const zem::SourcePosition& getStart() const { return m_start; }
    const zem::SourcePosition& getEnd() const { return m_end; }
    void setRange(const zem::SourcePosition& start, const zem::SourcePosition& end);
    // The value's begin and end; nothing for a value without a source location.
    void setRange(const zem::Value* value);

private:
    std::wstring m_message;
    std::wstring m_location;
    zem::SourcePosition m_start; // zero until positioned
    zem::SourcePosition m_end;
};

// Name of a value kind in messages; "Null" for a code outside 0-7.
const wchar_t* valueTypeName(int32_t kind);

} // namespace corvel
