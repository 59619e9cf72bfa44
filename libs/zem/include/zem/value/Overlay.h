// Dictionary overlays: a derived dictionary stored as its difference from a base. An
// entry equal to the base's becomes the symbol inherit, a base key the derived one drops
// is listed with the symbol removed. Each operation exists for value trees and for
// Jasmine source text, where token ranges are copied so the user's layout and comments
// survive.
#pragma once
#include <string>

namespace zem {

class DictionaryValue;
class JasmineTokenStore;

extern const wchar_t OVERLAY_INHERIT[]; // "inherit"
extern const wchar_t OVERLAY_REMOVED[]; // "removed"

// Every argument is required: a null one throws NullPointerException "Null reference.".
// out must be a dictionary of its own (not base, derived or overlay).

// Sets into out: for each derived entry, the symbol inherit when base holds an equal
// value, else a copy of it; then each base key that derived lacks with the symbol removed.
void makeOverlay(const DictionaryValue* base, const DictionaryValue* derived, DictionaryValue* out);

// Sets into out: the overlay's entries with inherit resolved from base (dropped when base
// lacks the key) and removed entries dropped; then the base entries the overlay does not name.
void applyOverlay(const DictionaryValue* base, const DictionaryValue* overlay, DictionaryValue* out);

// The source forms take each dictionary together with the token store it was parsed from
// (parseJasmineTokens). out is cleared first.

// Rewrites derived's source text as overlay text.
void writeOverlaySource(std::wstring& out, const DictionaryValue* base, const JasmineTokenStore* baseStore,
                        const DictionaryValue* derived, const JasmineTokenStore* derivedStore);

// Rewrites an overlay's source text as the full text, taking inherited values' text from base.
void applyOverlaySource(const DictionaryValue* base, const JasmineTokenStore* baseStore, const DictionaryValue* overlay,
                        const JasmineTokenStore* overlayStore, std::wstring& out);

} // namespace zem
