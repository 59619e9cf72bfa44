// A bounded history of copied texts, newest last, each with a one-line summary. Texts
// that cannot be kept leave an error entry, so the history shows that a copy happened.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

struct afClipboardRingEntry {
    enum Status { STORED = 0, OUT_OF_MEMORY = 1, TOO_LONG = 2, EMPTY = 3 };

    int status = STORED;
    std::wstring summary;            // or the error text
    uint32_t length = 0;             // code units of text
    std::unique_ptr<wchar_t[]> text; // zero-ended; null unless stored
};

class afClipboardRing {
public:
    static const size_t CAPACITY = 10;
    static const size_t MAX_TEXT_LENGTH = 0x80000;
    static const size_t SUMMARY_LENGTH = 32;

    // False for a null or empty text (nothing recorded) and for texts recorded as errors.
    bool putText(const wchar_t* text, size_t length);

    size_t getCount() const { return m_entries.size(); }
    // Oldest first.
    const afClipboardRingEntry& getEntry(size_t index) const { return *m_entries[index]; }

    // The one-line form of a text: from its first visible character, blanks folded into
    // single spaces, other control characters dropped, cut after 29 units with "...".
    static std::wstring summarize(const wchar_t* text, size_t length);

private:
    std::vector<std::unique_ptr<afClipboardRingEntry>> m_entries; // at most CAPACITY, oldest first
};

} // namespace corvel
