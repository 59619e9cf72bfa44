// One file or folder name of a bundle entry: 'name.<uuid>.extension', the UUID optional.
// Example: 'html_table.1234abcd-12ab-34cd-56ef-1234567890ab.cvSnippet'.
#pragma once
#include "zem/base/Uuid.h"

#include <string>

namespace corvel {

class EntryFileName {
public:
    zem::Uuid uuid;         // nil when the name carries none
    std::wstring name;      // the part before the first dot
    std::wstring extension; // the kind extension ("cvGrammar" ...) or "cvInfo"

    EntryFileName() = default;
    EntryFileName(const std::wstring& name, const zem::Uuid& uuid, const std::wstring& extension);

    bool isEmpty() const { return name.empty() && extension.empty() && uuid.isNil(); }
    // name, then "." and the UUID when it is not nil, then "." and the extension when there is one.
    std::wstring toString() const;
    bool equals(const EntryFileName& other) const;

    // Matches a name at the start of text (within length units; the rest is ignored) and
    // returns the number of units it took. A UUID-shaped part that is no UUID reads as nil.
    // No match throws InvalidArgumentException "File name was invalid.".
    static int parse(const wchar_t* text, int length, EntryFileName& out);
    static int parse(const std::wstring& text, EntryFileName& out) {
        return parse(text.c_str(), static_cast<int>(text.size()), out);
    }
};

} // namespace corvel
