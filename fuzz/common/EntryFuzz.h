// The part every bundle-entry fuzzer shares: the bytes of an entry file are decoded and
// parsed as the loader does it, the kind's validator checks the dictionary, the entry
// reads it, and what the entry writes back must read and write again unchanged.
#pragma once
#include "FuzzHarness.h"

#include "corvel/bundles/BundleEntry.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleEntryValidator.h"
#include "corvel/bundles/BundleSource.h"
#include "corvel/text/StringUtils.h"
#include "zem/value/DictionaryValue.h"
#include "zem/writer/ValueWriter.h"

#include <functional>
#include <memory>
#include <string>

namespace fuzz {

// Drops the creator's reference.
struct EntryRelease {
    void operator()(corvel::BundleEntry* entry) const {
        if (entry)
            entry->release();
    }
};
template <class T> using EntryRef = std::unique_ptr<T, EntryRelease>;
typedef std::unique_ptr<zem::DictionaryValue> DictionaryPtr;

// The entry file's dictionary as the loader gets it; null when the bytes do not decode
// or the text is no Jasmine dictionary (the loader's own refusals).
inline DictionaryPtr readEntryFile(const std::string& input) {
    std::wstring text;
    if (input.empty() || !corvel::decodeText(reinterpret_cast<const uint8_t*>(input.data()), input.size(), text))
        return nullptr;
    corvel::ValidationErrorList errors;
    return DictionaryPtr(corvel::parseBundleSource(nullptr, text, L"fuzz:entry", errors));
}

// Reads the dictionary into a new entry of the kind and checks that what it writes reads
// back to the same: the entry is then handed to use for the kind's own work. REJECTED
// when the validator refused the dictionary.
template <class Entry>
Verdict readAndRoundTrip(const corvel::BundleEntryTypeInfo& kind, const std::string& input,
                         const std::function<void(Entry&)>& use) {
    DictionaryPtr dictionary = readEntryFile(input);
    if (!dictionary)
        return REJECTED;
    EntryRef<Entry> entry(new Entry(&kind, zem::Uuid()));
    corvel::ValidationErrorList errors;
    if (!entry->getValidator().validate(&errors, dictionary.get()))
        return REJECTED;
    entry->readProperties(dictionary.get());
    zem::DictionaryValue first;
    entry->writeProperties(&first);
    std::wstring written;
    zem::formatJasmine(&first, written);
    DictionaryPtr again(corvel::parseBundleSource(nullptr, written, L"fuzz:written", errors));
    if (!again)
        throw Changed{"what the entry wrote does not parse: " + printable(written)};
    EntryRef<Entry> second(new Entry(&kind, zem::Uuid()));
    second->readProperties(again.get());
    zem::DictionaryValue secondWritten;
    second->writeProperties(&secondWritten);
    if (!first.equals(&secondWritten)) {
        std::wstring text;
        zem::formatJasmine(&secondWritten, text);
        throw Changed{"wrote " + printable(written) + ", then " + printable(text)};
    }
    if (use)
        use(*entry);
    return ACCEPTED;
}

inline corvel::BundleEntryTypeInfo standardKind(uint32_t typeId) {
    corvel::BundleEntryTypeInfo kind;
    corvel::fillStandardEntryType(typeId, kind);
    return kind;
}

} // namespace fuzz
