#include "zem/value/Overlay.h"

#include "zem/base/Assert.h"
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/jasmine/SymbolChar.h"
#include "zem/value/Values.h"

#include <algorithm>
#include <vector>

namespace zem {

const wchar_t OVERLAY_INHERIT[] = L"inherit";
const wchar_t OVERLAY_REMOVED[] = L"removed";

namespace {

Value* createMarker(const wchar_t* word) {
    return new StringValue(word, StringValue::STYLE_SYMBOL);
}

// Only a bare word is a marker: a quoted "inherit" is an ordinary string value, in the
// tree form and the text form alike.
bool isMarker(const Value* value, const wchar_t* word) {
    if (value->kind() != Value::KIND_STRING)
        return false;
    const StringValue* string = static_cast<const StringValue*>(value);
    return string->style() == StringValue::STYLE_SYMBOL && string->text() == word;
}

// The two trees are read while out is filled, so out must be neither of them.
void checkTreeArguments(const DictionaryValue* base, const DictionaryValue* other, const DictionaryValue* out) {
    throwIfNull(base);
    throwIfNull(other);
    throwIfNull(out);
    ZEM_ASSERT_MSG(out != base && out != other, L"the overlay output must be a dictionary of its own");
}

void checkSourceArguments(const DictionaryValue* base, const JasmineTokenStore* baseStore, const DictionaryValue* other,
                          const JasmineTokenStore* otherStore) {
    throwIfNull(base);
    throwIfNull(baseStore);
    throwIfNull(other);
    throwIfNull(otherStore);
}

// Two pieces of text glue into one token when a word meets a word, or a regular
// expression's closing slash meets a word (which would become its options).
bool wouldGlue(const std::wstring& out, const std::wstring& piece) {
    if (out.empty() || piece.empty())
        return false;
    wchar_t last = out.back();
    return isSymbolChar(piece.front()) && (isSymbolChar(last) || last == L'/');
}

// Writes the rewritten text. Pieces taken from different places are kept apart by one
// space where they would otherwise read back as one token; consecutive tokens of one
// text never need it, since the lexer already split them there.
class SourceWriter {
public:
    explicit SourceWriter(std::wstring& out) : m_out(out) { m_out.clear(); }

    void appendTokens(const JasmineTokenStore& store, int32_t first, int32_t last) {
        if (first > last)
            return;
        m_piece.clear();
        store.appendText(first, last, m_piece);
        append(m_piece);
    }

    void append(const std::wstring& piece) {
        if (wouldGlue(m_out, piece))
            m_out.push_back(L' ');
        m_out.append(piece);
    }

private:
    std::wstring& m_out;
    std::wstring m_piece;
};

// First token of an entry: its key, moved back over the comments and white space that
// lead up to it (never before floor).
int32_t entryStart(const JasmineTokenStore& store, int32_t keyToken, int32_t floor) {
    int32_t start = keyToken;
    while (start > floor && isJasmineTrivia(store.getToken(start - 1).kind))
        --start;
    return start;
}

// The entries in the order their values stand in the text. A repeated key keeps its
// first place in the dictionary but its value further on, so insertion order can differ
// from text order; walking in text order keeps the cursor moving forward.
std::vector<const DictionaryEntry*> entriesInTextOrder(const DictionaryValue& dictionary) {
    std::vector<const DictionaryEntry*> entries;
    entries.reserve(dictionary.size());
    for (const DictionaryEntry& entry : dictionary.inOrder())
        entries.push_back(&entry);
    std::stable_sort(entries.begin(), entries.end(), [](const DictionaryEntry* a, const DictionaryEntry* b) {
        return a->value->location().beginToken < b->value->location().beginToken;
    });
    return entries;
}

// Makes sure the opening brace is written before entries are added at the end; with no
// entries written yet the cursor still stands before it.
void passOpeningBrace(SourceWriter& writer, const JasmineTokenStore& store, const DictionaryValue& dictionary,
                      int32_t& cursor) {
    int32_t brace = dictionary.location().beginToken;
    if (cursor > brace)
        return;
    writer.appendTokens(store, cursor, brace);
    cursor = brace + 1;
}

// The rest of the text through the closing brace, and the comments and white space after it.
void appendTail(SourceWriter& writer, const JasmineTokenStore& store, const DictionaryValue& dictionary,
                int32_t cursor) {
    int32_t last = dictionary.location().endToken;
    while (last + 1 < store.size() && isJasmineTrivia(store.getToken(last + 1).kind))
        ++last;
    writer.appendTokens(store, cursor, last);
}

// The cursor after a dropped entry's value, past a comma that follows it, so that the
// entry before and the one after do not end up with two commas or a leading one between them.
int32_t skipDroppedEntry(const JasmineTokenStore& store, const Value& value) {
    int32_t next = value.location().endToken + 1;
    int32_t probe = next;
    while (probe < store.size() && isJasmineTrivia(store.getToken(probe).kind))
        ++probe;
    if (probe < store.size() && store.getToken(probe).kind == JASMINE_TOKEN_COMMA)
        return probe + 1;
    return next;
}

} // namespace

void makeOverlay(const DictionaryValue* base, const DictionaryValue* derived, DictionaryValue* out) {
    checkTreeArguments(base, derived, out);
    for (const DictionaryEntry& entry : derived->inOrder()) {
        const Value* baseValue = base->find(entry.key);
        if (baseValue && baseValue->equals(entry.value))
            out->set(entry.key, createMarker(OVERLAY_INHERIT), 0);
        else
            out->set(entry.key, entry.value->clone(), 0);
    }
    for (const DictionaryEntry& entry : base->inOrder()) {
        if (!derived->contains(entry.key))
            out->set(entry.key, createMarker(OVERLAY_REMOVED), 0);
    }
}

void applyOverlay(const DictionaryValue* base, const DictionaryValue* overlay, DictionaryValue* out) {
    checkTreeArguments(base, overlay, out);
    for (const DictionaryEntry& entry : overlay->inOrder()) {
        if (isMarker(entry.value, OVERLAY_INHERIT)) {
            if (const Value* baseValue = base->find(entry.key))
                out->set(entry.key, baseValue->clone(), 0);
        } else if (!isMarker(entry.value, OVERLAY_REMOVED)) {
            out->set(entry.key, entry.value->clone(), 0);
        }
    }
    for (const DictionaryEntry& entry : base->inOrder()) {
        if (!overlay->contains(entry.key))
            out->set(entry.key, entry.value->clone(), 0);
    }
}

void writeOverlaySource(std::wstring& out, const DictionaryValue* base, const JasmineTokenStore* baseStore,
                        const DictionaryValue* derived, const JasmineTokenStore* derivedStore) {
    checkSourceArguments(base, baseStore, derived, derivedStore);
    SourceWriter writer(out);
    int32_t cursor = 0;
    for (const DictionaryEntry* entry : entriesInTextOrder(*derived)) {
        const SourceLocation& location = entry->value->location();
        if (location.beginToken < cursor)
            continue;
        const Value* baseValue = base->find(entry->key);
        if (baseValue && baseValue->equals(entry->value)) {
            writer.appendTokens(*derivedStore, cursor, location.beginToken - 1);
            writer.append(OVERLAY_INHERIT);
        } else {
            writer.appendTokens(*derivedStore, cursor, location.endToken);
        }
        cursor = location.endToken + 1;
    }
    passOpeningBrace(writer, *derivedStore, *derived, cursor);
    std::wstring piece;
    for (const DictionaryEntry& entry : base->inOrder()) {
        if (derived->contains(entry.key))
            continue;
        int32_t start = entryStart(*baseStore, entry.keyToken, 0);
        piece.clear();
        baseStore->appendText(start, entry.value->location().beginToken - 1, piece);
        piece.append(OVERLAY_REMOVED);
        writer.append(piece);
    }
    appendTail(writer, *derivedStore, *derived, cursor);
}

void applyOverlaySource(const DictionaryValue* base, const JasmineTokenStore* baseStore, const DictionaryValue* overlay,
                        const JasmineTokenStore* overlayStore, std::wstring& out) {
    checkSourceArguments(base, baseStore, overlay, overlayStore);
    SourceWriter writer(out);
    int32_t cursor = 0;
    for (const DictionaryEntry* entry : entriesInTextOrder(*overlay)) {
        const Value& value = *entry->value;
        const SourceLocation& location = value.location();
        if (location.beginToken < cursor)
            continue;
        const Value* baseValue = isMarker(&value, OVERLAY_INHERIT) ? base->find(entry->key) : nullptr;
        if (baseValue) {
            writer.appendTokens(*overlayStore, cursor, location.beginToken - 1);
            writer.appendTokens(*baseStore, baseValue->location().beginToken, baseValue->location().endToken);
            cursor = location.endToken + 1;
        } else if (isMarker(&value, OVERLAY_INHERIT) || isMarker(&value, OVERLAY_REMOVED)) {
            // The entry goes with the comments that lead up to it; what came before stays.
            writer.appendTokens(*overlayStore, cursor, entryStart(*overlayStore, entry->keyToken, cursor) - 1);
            cursor = skipDroppedEntry(*overlayStore, value);
        } else {
            writer.appendTokens(*overlayStore, cursor, location.endToken);
            cursor = location.endToken + 1;
        }
    }
    passOpeningBrace(writer, *overlayStore, *overlay, cursor);
    for (const DictionaryEntry& entry : base->inOrder()) {
        if (overlay->contains(entry.key))
            continue;
        writer.appendTokens(*baseStore, entryStart(*baseStore, entry.keyToken, 0), entry.value->location().endToken);
    }
    appendTail(writer, *overlayStore, *overlay, cursor);
}

} // namespace zem
