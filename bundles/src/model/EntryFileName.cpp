#include "corvel/bundles/EntryFileName.h"

#include "zem/base/Exception.h"
#include "zem/text/RegEx.h"
#include "zem/text/StringScanner.h"

namespace corvel {

namespace {

// Group 1 the name, group 3 the optional UUID (it must be followed by a dot), group 4 the
// extension. Matched at the start of a name only, so it need not reach the end.
const zem::RegExPtr& entryFileNamePattern() {
    static const zem::RegExPtr pattern = zem::RegEx::create(
        L"([^.]+)\\.(([a-zA-Z0-9]{8}-[a-zA-Z0-9]{4}-[a-zA-Z0-9]{4}-[a-zA-Z0-9]{4}-[a-zA-Z0-9]{12})\\.)?([a-zA-Z]+)");
    return pattern;
}

} // namespace

EntryFileName::EntryFileName(const std::wstring& name_, const zem::Uuid& uuid_, const std::wstring& extension_)
    : name(name_), extension(extension_) {
    uuid.assign(uuid_);
}

std::wstring EntryFileName::toString() const {
    std::wstring out = name;
    if (!uuid.isNil()) {
        out += L'.';
        out += uuid.toString();
    }
    if (!extension.empty()) {
        out += L'.';
        out += extension;
    }
    return out;
}

bool EntryFileName::equals(const EntryFileName& other) const {
    return uuid == other.uuid && name == other.name && extension == other.extension;
}

int EntryFileName::parse(const wchar_t* text, int length, EntryFileName& out) {
    // The scanner reads a length of 0 as "up to the terminating zero".
    if (!text || length <= 0)
        throw zem::InvalidArgumentException(L"File name was invalid.");
    zem::StringScanner scanner(text, length);
    if (!scanner.scan(entryFileNamePattern()))
        throw zem::InvalidArgumentException(L"File name was invalid.");
    out.name = scanner.getGroup(1);
    out.uuid = zem::Uuid();
    std::wstring uuidText = scanner.getGroup(3);
    if (!uuidText.empty())
        out.uuid.fromString(uuidText);
    out.extension = scanner.getGroup(4);
    return scanner.position();
}

} // namespace corvel
