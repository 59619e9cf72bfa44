// Reading entry files and parsing their Jasmine text. Every problem becomes a
// BundleEntryError in the given list; nothing here throws for bad input.
#pragma once
#include "corvel/config/ValidationErrorList.h"

#include <string>

namespace zem {
class DictionaryValue;
class JasmineTokenStore;
} // namespace zem

namespace corvel {

// Reads and decodes the whole file (line breaks become LF). False, with an error naming
// the path, when it cannot be opened (severity 1), is empty, is cut short or does not decode.
bool readSourceFile(const std::wstring& path, std::wstring& text, ValidationErrorList& errors);

// Parses text, recording its tokens into tokens when given. The root dictionary, which
// the caller owns, or null with an error (located with locationText) when the text is
// no Jasmine or its root is not a dictionary.
zem::DictionaryValue* parseBundleSource(zem::JasmineTokenStore* tokens, const std::wstring& text,
                                        const std::wstring& locationText, ValidationErrorList& errors);

// Writes an entry file: the byte-order mark FF FE and the text as UTF-16LE, into a
// temporary file beside path that then replaces it, so a failed write leaves the old file
// as it was. Throws the file layer's exception on failure.
void writeEntryFile(const std::wstring& path, const std::wstring& text);

} // namespace corvel
