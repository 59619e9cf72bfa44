#include "zem/text/Inflector.h"

#include "zem/base/Assert.h"
#include "zem/base/CharClass.h"

#include <windows.h>

#include <map>

namespace zem {

namespace {

struct TransliterationRow {
    wchar_t unit;
    const char* text;
};

const TransliterationRow kTransliterationRows[] = {
#include "TransliterationTable.inc"
};

const std::map<wchar_t, const char*>& transliterationTable() {
    static const std::map<wchar_t, const char*> table = [] {
        std::map<wchar_t, const char*> rows;
        for (const TransliterationRow& row : kTransliterationRows)
            rows.emplace(row.unit, row.text);
        return rows;
    }();
    return table;
}

bool isVowel(wchar_t unit) {
    switch (unit | 0x20) {
    case L'a':
    case L'e':
    case L'i':
    case L'o':
    case L'u':
        return true;
    default:
        return false;
    }
}

bool endsWith(const std::wstring& word, const wchar_t* tail) {
    size_t length = wcslen(tail);
    if (word.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if ((word[word.size() - length + i] | 0x20) != tail[i])
            return false;
    return true;
}

bool alreadyPlural(const std::wstring& word) {
    return word.size() > 3 && endsWith(word, L"s") && !endsWith(word, L"ss") && !endsWith(word, L"us") &&
           !endsWith(word, L"is");
}

} // namespace

int Inflector::classify(wchar_t unit) {
    if (unit == L' ' || unit == L'-' || unit == L'_')
        return CLASS_SEPARATOR;
    uint16_t flags = getCharFlags(unit);
    if (flags & CHAR_UPPER)
        return CLASS_UPPER;
    if (flags & CHAR_LOWER)
        return CLASS_LOWER;
    if (flags & CHAR_WORD)
        return CLASS_WORD;
    if (flags & CHAR_DIGIT)
        return CLASS_DIGIT;
    if (!(flags & (CHAR_BLANK | CHAR_PUNCTUATION | CHAR_SPACE)))
        return CLASS_OTHER;
    return CLASS_SEPARATOR;
}

void Inflector::splitWords(const wchar_t* text, size_t length, std::vector<WordRun>* runs) {
    throwIfNull(runs);
    runs->clear();
    if (length == 0)
        return;
    throwIfNull(text);
    WordRun current{text, 0, classify(text[0])};
    int previous = current.wordClass;
    for (size_t i = 0; i < length; ++i) {
        int wordClass = classify(text[i]);
        bool continues = wordClass == previous || (previous == CLASS_UPPER && wordClass == CLASS_LOWER);
        if (i > 0 && !continues) {
            runs->push_back(current);
            current = WordRun{text + i, 0, wordClass};
        }
        ++current.length;
        previous = wordClass;
    }
    if (current.length > 0)
        runs->push_back(current);
}

void Inflector::formatWords(std::wstring* out, const wchar_t* text, size_t length, unsigned caseFormat,
                            wchar_t separator) {
    throwIfNull(out);
    out->clear();
    std::vector<WordRun> runs;
    splitWords(text, length, &runs);
    for (size_t i = 0; i < runs.size(); ++i) {
        const WordRun& run = runs[i];
        if (run.wordClass == CLASS_SEPARATOR || run.length == 0)
            continue;
        std::wstring word(run.start, run.length);
        if (caseFormat == CASE_CAMEL) {
            applyCase(CASE_LOWER, word);
            caseFormat = CASE_CAPITALIZE;
        } else {
            applyCase(caseFormat, word);
        }
        if (i > 0 && !out->empty() && separator != 0)
            out->push_back(separator);
        out->append(word);
    }
}

void Inflector::underscore(const std::wstring& text, std::wstring* out) {
    formatWords(out, text.data(), text.size(), CASE_LOWER, L'_');
}

void Inflector::applyCase(unsigned caseFormat, std::wstring& text) {
    switch (caseFormat) {
    case CASE_KEEP:
        return;
    case CASE_LOWER:
    case CASE_CAMEL:
        toLower(text);
        return;
    case CASE_UPPER:
        toUpper(text);
        return;
    case CASE_CAPITALIZE:
        capitalize(text);
        return;
    default:
        ZEM_ASSERT_MSG(false, L"0 && \"Unknown case format.\"");
    }
}

void Inflector::toLower(std::wstring& text) {
    if (text.empty())
        return;
    DWORD ret = CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    ZEM_ASSERT_MSG(ret == text.size(), L"ret == io_symbol.length()");
}

void Inflector::toUpper(std::wstring& text) {
    if (text.empty())
        return;
    DWORD ret = CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    ZEM_ASSERT_MSG(ret == text.size(), L"ret == io_symbol.length()");
}

bool Inflector::capitalize(std::wstring& text) {
    if (text.empty())
        return true;
    DWORD ret = CharUpperBuffW(&text[0], 1);
    ZEM_ASSERT_MSG(ret == 1, L"ret == 1");
    if (text.size() > 1) {
        ret = CharLowerBuffW(&text[1], static_cast<DWORD>(text.size() - 1));
        ZEM_ASSERT_MSG(ret == text.size() - 1, L"ret == ( io_symbol.length() - 1 )");
    }
    return true;
}

const char* Inflector::findTransliteration(wchar_t unit) {
    const auto& table = transliterationTable();
    auto row = table.find(unit);
    return row == table.end() ? nullptr : row->second;
}

bool Inflector::transliterate(std::wstring& text) {
    std::wstring ascii;
    ascii.reserve(text.size());
    for (wchar_t unit : text) {
        if (unit <= 126) {
            ascii.push_back(unit);
            continue;
        }
        if (const char* replacement = findTransliteration(unit))
            for (; *replacement; ++replacement)
                ascii.push_back(static_cast<wchar_t>(*replacement));
    }
    text.swap(ascii);
    return true;
}

void Inflector::filter(std::wstring& text, bool (*predicate)(wchar_t)) {
    throwIfNull(reinterpret_cast<const void*>(predicate));
    std::wstring kept;
    kept.reserve(text.size());
    for (wchar_t unit : text)
        if (predicate(unit))
            kept.push_back(unit);
    text.swap(kept);
}

bool Inflector::isAsciiWordOrSeparator(wchar_t unit) {
    return (unit >= L'a' && unit <= L'z') || (unit >= L'A' && unit <= L'Z') || (unit >= L'0' && unit <= L'9') ||
           unit == L' ' || unit == L'-' || unit == L'_';
}

bool Inflector::isWordCharacter(wchar_t unit) {
    return (getCharFlags(unit) & CHAR_WORD) != 0;
}

std::wstring Inflector::pluralize(const std::wstring& word) {
    if (word.empty())
        return word;
    wchar_t last = word.back();
    bool upper = (getCharFlags(last) & CHAR_UPPER) != 0;
    if (word.size() >= 2 && (last | 0x20) == L'y' && !isVowel(word[word.size() - 2]) &&
        (getCharFlags(word[word.size() - 2]) & CHAR_LETTER))
        return word.substr(0, word.size() - 1) + (upper ? L"IES" : L"ies");
    // A word of some length ending in a lone "s" ("preferences", "settings") is plural
    // already; "class", "bus" and "basis" are not.
    if (alreadyPlural(word))
        return word;
    if (endsWith(word, L"s") || endsWith(word, L"x") || endsWith(word, L"z") || endsWith(word, L"ch") ||
        endsWith(word, L"sh"))
        return word + (upper ? L"ES" : L"es");
    return word + (upper ? L"S" : L"s");
}

} // namespace zem
