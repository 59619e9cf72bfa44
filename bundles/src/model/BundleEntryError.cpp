#include "corvel/bundles/BundleEntryError.h"

#include "zem/base/Format.h"
#include "zem/value/Value.h"

namespace corvel {

BundleEntryError::BundleEntryError(uint32_t severity, std::wstring message, std::wstring location)
    : ValidationError(severity), m_message(std::move(message)), m_location(std::move(location)) {}

void BundleEntryError::getMessage(std::wstring& out) const {
    out = m_message;
    if (!m_location.empty()) {
        out += L' ';
        out += m_location;
    }
    if (isPositioned()) {
        out += L" (Line ";
        out += std::to_wstring(m_start.line + 1);
        out += L", Char ";
        out += std::to_wstring(m_start.column + 1);
        out += L')';
    }
}

void BundleEntryError::setRange(const zem::SourcePosition& start, const zem::SourcePosition& end) {
    m_start = start;
    m_end = end;
    addTag(TAG_POSITIONED);
}

void BundleEntryError::setRange(const zem::Value* value) {
    if (value && value->location().hasLocation)
        setRange(value->location().begin, value->location().end);
}

const wchar_t* valueTypeName(int32_t kind) {
    if (kind < zem::Value::KIND_NULL || kind > zem::Value::KIND_DICTIONARY)
        return L"Null";
    return zem::getValueKindName(kind);
}

} // namespace corvel
