// Turns identifiers and titles into other forms: splits text into words by character class,
// re-cases and joins them, reduces non-ASCII text to ASCII, and makes English plurals.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace zem {

class Inflector {
public:
    enum WordClass {
        CLASS_OTHER = 1,
        CLASS_WORD = 2,
        CLASS_DIGIT = 3,
        CLASS_SEPARATOR = 4,
        CLASS_LOWER = 18,
        CLASS_UPPER = 34
    };
    enum CaseFormat : unsigned { CASE_KEEP = 0, CASE_LOWER = 1, CASE_UPPER = 2, CASE_CAPITALIZE = 3, CASE_CAMEL = 4 };

    struct WordRun {
        const wchar_t* start;
        size_t length;
        int wordClass;
    };

    static int classify(wchar_t unit);
    // The runs of the text in order, separators included; a unit joins the run before it when
    // it has the same class, or is lower case after upper case ("Abc", "HTMLParser").
    static void splitWords(const wchar_t* text, size_t length, std::vector<WordRun>* runs);
    // Clears out, then appends each word run re-cased, with the separator (0 for none)
    // between words.
    static void formatWords(std::wstring* out, const wchar_t* text, size_t length, unsigned caseFormat,
                            wchar_t separator);
    static void underscore(const std::wstring& text, std::wstring* out);

    // In place; CASE_CAMEL lower-cases a lone word.
    static void applyCase(unsigned caseFormat, std::wstring& text);
    static void toLower(std::wstring& text);
    static void toUpper(std::wstring& text);
    static bool capitalize(std::wstring& text);

    // Units up to 126 stay; others become their table text, or are dropped when it has none.
    static bool transliterate(std::wstring& text);
    // The table's text for one unit, or null.
    static const char* findTransliteration(wchar_t unit);

    static void filter(std::wstring& text, bool (*predicate)(wchar_t));
    static bool isAsciiWordOrSeparator(wchar_t unit);
    static bool isWordCharacter(wchar_t unit);

    // English plural of a noun: +s; +es after s, x, z, ch, sh; consonant + y gives ies.
    // The suffix follows the case of the word's last letter.
    static std::wstring pluralize(const std::wstring& word);
};

} // namespace zem
