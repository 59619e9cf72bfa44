// Writes the inflector's transliteration table (src/text/TransliterationTable.inc).
// Each unit of the covered ranges gets, in this order: a hand-written text, the ASCII of its
// compatibility decomposition with the marks dropped (superscripts as "^x", subscripts as "_x",
// circled forms as "(x)", vulgar fractions of the number forms led by a space), or the base
// letter its character name gives. Units none of these reach stay out of the table.
//
// The packaged ICU data holds converters only, so the full data file that ships with ICU's
// sources is loaded first. Build with `ninja gen_translit`, run it under Wine:
//   gen_translit.exe Z:/path/to/icu/source/data/in/icudt72l.dat > TransliterationTable.inc
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/udata.h>
#include <unicode/unistr.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Range {
    unsigned first;
    unsigned last;
};

// The covered ranges; units outside them never reach the table.
const Range kRanges[] = {
    {0x00A0, 0x00A3}, {0x00A5, 0x02AF}, {0x02B0, 0x02FF}, {0x0363, 0x036F}, {0x037E, 0x037E}, {0x0387, 0x0387},
    {0x0401, 0x045F}, {0x0462, 0x0475}, {0x0490, 0x0491}, {0x1D00, 0x1DE6}, {0x1E00, 0x1EFF}, {0x2000, 0x204A},
    {0x2070, 0x209C}, {0x20AC, 0x20AC}, {0x2100, 0x214F}, {0x2153, 0x2184}, {0x2190, 0x21FF}, {0x2200, 0x22FF},
    {0x2400, 0x2426}, {0x2460, 0x24EA}, {0x2500, 0x257F}, {0x25A0, 0x25FF}, {0x2600, 0x27BF}, {0x2C60, 0x2C7C},
    {0xA722, 0xA7FF}, {0xFB00, 0xFB06}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A},
};

// What neither decomposes nor has a plain letter name, and the conventions the table keeps.
const std::map<unsigned, const char*> kHand = {
    {0x00A1, "!"}, {0x00A2, "c"}, {0x00A3, "GBP"}, {0x00A5, "JPY"}, {0x00A6, "|"}, {0x00A7, "SS"},
    {0x00A9, "(C)"}, {0x00AB, "<<"}, {0x00AC, "!"}, {0x00AD, "-"}, {0x00AE, "(R)"}, {0x00B0, "^o"},
    {0x00B1, "+-"}, {0x00B5, "u"}, {0x00B6, "P"}, {0x00B7, "."}, {0x00BB, ">>"}, {0x00BF, "?"}, {0x00C6, "A"},
    {0x00D0, "D"}, {0x00D7, "x"}, {0x00D8, "O"}, {0x00DE, "Th"}, {0x00DF, "ss"}, {0x00E6, "ae"}, {0x00F0, "d"},
    {0x00F7, "/"}, {0x00F8, "o"}, {0x00FE, "th"}, {0x0110, "D"}, {0x0111, "d"}, {0x0126, "H"}, {0x0127, "h"},
    {0x0131, "i"}, {0x0138, "q"}, {0x0141, "L"}, {0x0142, "l"}, {0x014A, "Ng"}, {0x014B, "ng"}, {0x0152, "Oe"},
    {0x0153, "oe"}, {0x0166, "T"}, {0x0167, "t"}, {0x017F, "s"}, {0x01E2, "Ae"}, {0x01E3, "ae"},
    {0x01FC, "Ae"}, {0x01FD, "ae"}, {0x0184, "b"}, {0x0185, "b"}, {0x0189, "D"}, {0x01A7, "2"}, {0x01A8, "2"},
    {0x01BB, "2"}, {0x01BC, "5"}, {0x01BD, "5"}, {0x01BE, "ts"}, {0x01C0, "|"}, {0x01C1, "||"}, {0x01C2, "+"},
    {0x01C3, "!"}, {0x0241, "?"}, {0x0242, "?"}, {0x0264, "o"}, {0x026E, "lz"}, {0x0294, "?"}, {0x0295, "?"},
    {0x0296, "?"}, {0x0298, "O"}, {0x02A1, "?"}, {0x02A2, "?"}, {0x02A4, "dzh"}, {0x02A7, "tsh"},
    {0x02A9, "fn"}, {0x02AC, "w"}, {0x02AD, "|"}, {0x02B9, "'"}, {0x02BA, "\""}, {0x02BB, "'"}, {0x02BD, "'"},
    {0x02C7, "^"}, {0x02C9, "-"}, {0x02CA, "'"}, {0x02CB, "`"}, {0x02D7, "-"}, {0x02BC, "'"}, {0x02C6, "^"}, {0x02C8, "'"}, {0x02CC, ","},
    {0x02D0, ":"}, {0x02DC, "~"}, {0x037E, "?"}, {0x1E9E, "SS"}, {0x2010, "-"}, {0x2011, "-"},
    {0x2012, "-"}, {0x2013, "-"}, {0x2014, "--"}, {0x2015, "--"}, {0x2016, "||"}, {0x2018, "'"},
    {0x2019, "'"}, {0x201A, ","}, {0x201B, "'"}, {0x201C, "\""}, {0x201D, "\""}, {0x201E, ",,"},
    {0x201F, "\""}, {0x2020, "+"}, {0x2021, "++"}, {0x2022, "*"}, {0x2023, ">"}, {0x2027, "-"},
    {0x2030, "%0"}, {0x2031, "%00"}, {0x2032, "'"}, {0x2035, "`"}, {0x2039, "<"}, {0x203A, ">"},
    {0x203B, "*"}, {0x203D, "?!"}, {0x2041, "^"}, {0x2043, "-"}, {0x2044, "/"}, {0x2045, "["},
    {0x2046, "]"}, {0x204A, "&"}, {0x20AC, "EUR"}, {0x2103, "^oC"}, {0x2109, "^oF"}, {0x2116, "No"},
    {0x2117, "(P)"}, {0x2120, "[SM]"}, {0x2122, "[TM]"}, {0x2126, "Ohm"}, {0x212E, "e"},
    // Arrows.
    {0x2190, "<-"}, {0x2191, "^"}, {0x2192, "->"}, {0x2193, "v"}, {0x2194, "<->"}, {0x2195, "^v"},
    {0x2196, "\\"}, {0x2197, "/"}, {0x2198, "\\"}, {0x2199, "/"}, {0x21D0, "<="}, {0x21D2, "=>"},
    {0x21D4, "<=>"}, {0x21E6, "<-"}, {0x21E8, "->"},
    // Operators.
    {0x2200, "A"}, {0x2203, "E"}, {0x2205, "{}"}, {0x2208, "in"}, {0x2209, "!in"}, {0x2211, "SUM"},
    {0x2212, "-"}, {0x2213, "-+"}, {0x2215, "/"}, {0x2216, "\\"}, {0x2217, "*"}, {0x2218, "o"},
    {0x2219, "."}, {0x221A, "sqrt"}, {0x221D, "~"}, {0x221E, "inf"}, {0x2223, "|"}, {0x2225, "||"},
    {0x2227, "&"}, {0x2228, "|"}, {0x2229, "^"}, {0x222A, "U"}, {0x222B, "S"}, {0x2234, ":."},
    {0x2235, ".:"}, {0x2236, ":"}, {0x2237, "::"}, {0x223C, "~"}, {0x2243, "~="}, {0x2245, "~="},
    {0x2248, "~~"}, {0x2260, "!="}, {0x2261, "=="}, {0x2262, "!=="}, {0x2264, "<="}, {0x2265, ">="},
    {0x226A, "<<"}, {0x226B, ">>"}, {0x2282, "(_"}, {0x2283, "_)"}, {0x2295, "(+)"}, {0x2296, "(-)"},
    {0x2297, "(x)"}, {0x2298, "(/)"}, {0x2299, "(.)"}, {0x22C5, "."}, {0x22EF, "..."},
    // Shapes, dingbats and symbols.
    {0x25A0, "#"}, {0x25A1, "[]"}, {0x25B2, "^"}, {0x25B6, ">"}, {0x25BA, ">"}, {0x25BC, "v"},
    {0x25C0, "<"}, {0x25C4, "<"}, {0x25CB, "o"}, {0x25CF, "*"}, {0x2605, "*"}, {0x2606, "*"},
    {0x2610, "[ ]"}, {0x2611, "[v]"}, {0x2612, "[x]"}, {0x263A, ":-)"}, {0x2639, ":-("}, {0x2713, "v"},
    {0x2714, "V"}, {0x2717, "x"}, {0x2718, "X"}, {0x2731, "*"}, {0x2744, "*"}, {0x2794, "->"},
    {0x279C, "->"},
    // Control pictures.
    {0x2420, "SP"}, {0x2421, "DEL"}, {0x2422, "b/"}, {0x2423, "_"}, {0x2424, "NL"}, {0x2425, "///"},
    {0x2426, "?"},
};

// Russian and its neighbours, capitals only; the small letters take the lower-cased text.
const std::map<unsigned, const char*> kCyrillic = {
    {0x0401, "Yo"}, {0x0402, "Dj"}, {0x0404, "Ye"}, {0x0405, "Dz"}, {0x0406, "I"}, {0x0408, "J"},
    {0x0409, "Lj"}, {0x040A, "Nj"}, {0x040B, "C"}, {0x040F, "Dzh"}, {0x0410, "A"}, {0x0411, "B"},
    {0x0412, "V"}, {0x0413, "G"}, {0x0414, "D"}, {0x0415, "E"}, {0x0416, "Zh"}, {0x0417, "Z"},
    {0x0418, "I"}, {0x0419, "J"}, {0x041A, "K"}, {0x041B, "L"}, {0x041C, "M"}, {0x041D, "N"},
    {0x041E, "O"}, {0x041F, "P"}, {0x0420, "R"}, {0x0421, "S"}, {0x0422, "T"}, {0x0423, "U"},
    {0x0424, "F"}, {0x0425, "X"}, {0x0426, "Cz"}, {0x0427, "Ch"}, {0x0428, "Sh"}, {0x0429, "Shh"},
    {0x042A, "\""}, {0x042B, "Y"}, {0x042C, "'"}, {0x042D, "E"}, {0x042E, "Yu"}, {0x042F, "Ya"},
    {0x0462, "Ye"}, {0x0464, "Ye"}, {0x0466, "Ya"}, {0x0468, "Ya"}, {0x046A, "U"}, {0x046C, "Yu"},
    {0x046E, "Ks"}, {0x0470, "Ps"}, {0x0472, "F"}, {0x0474, "Y"}, {0x0490, "G"},
};

// Control pictures U+2400-U+241F name the C0 controls.
const char* const kControls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF",
                                 "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                 "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

// Letters that character names spell out rather than give as a single letter.
const std::map<std::string, const char*> kNamedLetters = {
    {"ETH", "d"},     {"THORN", "th"}, {"SCHWA", "e"},  {"ESH", "sh"},   {"EZH", "zh"},   {"ENG", "ng"},
    {"YOGH", "gh"},   {"WYNN", "w"},   {"ALPHA", "a"},  {"GAMMA", "g"},  {"IOTA", "i"},   {"UPSILON", "u"},
    {"OMEGA", "o"},   {"PHI", "f"},    {"CHI", "x"},    {"BETA", "b"},   {"KRA", "q"},    {"HENG", "h"},
    {"DELTA", "d"},   {"THETA", "th"}, {"LAMBDA", "l"}, {"TRESILLO", "3"}, {"CUATRILLO", "4"}, {"AIN", "a"},
    {"HWAIR", "hw"},  {"VEND", "v"},   {"ET", "et"},    {"CON", "con"},  {"US", "us"},    {"DUM", "dum"},
    {"LUM", "lum"},   {"MUM", "mum"},  {"NUM", "num"},  {"RUM", "rum"},  {"TUM", "tum"},  {"UM", "um"},
    {"INSULAR", ""},  {"BROKEN", ""},  {"TAILLESS", ""}, {"SALTILLO", "'"},
};

// Words of a letter's name that describe its shape, not which letter it is.
const char* const kShapeWords[] = {"TURNED", "REVERSED", "INVERTED", "SCRIPT", "CLOSED", "OPEN",  "BARRED",
                                   "DOTLESS", "SIDEWAYS", "SMALL",   "CAPITAL", "LONG",  "MIDDLE", "BOTTOM",
                                   "TOP",     "HALF",     "SQUAT",   "RAMS",    "STRETCHED", "OLD", "ENGLISH"};

bool isShapeWord(const std::string& word) {
    for (const char* shape : kShapeWords)
        if (word == shape)
            return true;
    return false;
}

bool inRanges(unsigned c) {
    for (const Range& range : kRanges)
        if (c >= range.first && c <= range.last)
            return true;
    return false;
}

std::string lowered(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// Base letter from a name such as "LATIN SMALL LETTER B WITH STROKE" or
// "LATIN LETTER SMALL CAPITAL A"; empty when the name gives none.
std::string fromName(unsigned c) {
    char buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    u_charName(static_cast<UChar32>(c), U_UNICODE_CHAR_NAME, buffer, sizeof buffer, &status);
    if (U_FAILURE(status))
        return {};
    std::string name = buffer;
    std::size_t latin = name.find("LATIN ");
    if (latin == std::string::npos)
        return {};
    std::istringstream words(name.substr(latin + 6));
    std::string word;
    bool small = false;
    bool sawLetter = false;
    while (words >> word) {
        if (word == "WITH")
            break;
        if (!sawLetter) {
            if (word == "LETTER" || word == "LIGATURE")
                sawLetter = true;
            else if (word == "SMALL")
                small = true;
            continue;
        }
        if (isShapeWord(word))
            continue;
        if (word.size() == 1 && std::isalpha(static_cast<unsigned char>(word[0])))
            return small ? lowered(word) : word;
        auto named = kNamedLetters.find(word);
        if (named != kNamedLetters.end()) {
            std::string text = named->second;
            if (!small && !text.empty())
                text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
            return text;
        }
        // Digraph names ("AE", "OE", "IJ", "DZ"): capitals keep the first letter only upper.
        bool allLetters = word.size() <= 3;
        for (char ch : word)
            allLetters = allLetters && std::isupper(static_cast<unsigned char>(ch));
        if (allLetters)
            return small ? lowered(word) : word.substr(0, 1) + lowered(word.substr(1));
        return {};
    }
    return {};
}

std::string translit(unsigned c, int depth);

bool isMark(UChar32 c) {
    int8_t type = u_charType(c);
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK;
}

std::string fromDecomposition(unsigned c, int depth) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "no NFKD data: %s\n", u_errorName(status));
        std::exit(1);
    }
    icu::UnicodeString source(static_cast<UChar32>(c));
    icu::UnicodeString result = nfkd->normalize(source, status);
    if (U_FAILURE(status) || result == source)
        return {};
    std::string text;
    for (int32_t i = 0; i < result.length(); ++i) {
        UChar unit = result.charAt(i);
        if (unit >= 0x20 && unit <= 0x7E)
            text += static_cast<char>(unit);
        else if (isMark(unit))
            continue;
        else if (unit != c && depth < 3)
            text += translit(unit, depth + 1);
    }
    if (text.empty())
        return {};
    switch (u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_DECOMPOSITION_TYPE)) {
    case U_DT_SUPER:
        return "^" + text;
    case U_DT_SUB:
        return "_" + text;
    case U_DT_CIRCLE:
        return "(" + text + ")";
    case U_DT_FRACTION:
        return c >= 0x2150 ? " " + text : text;
    default:
        return text;
    }
}

std::string fromBoxName(unsigned c) {
    if (c < 0x2500 || c > 0x257F)
        return {};
    char buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    u_charName(static_cast<UChar32>(c), U_UNICODE_CHAR_NAME, buffer, sizeof buffer, &status);
    std::string name = buffer;
    if (name.find("DIAGONAL CROSS") != std::string::npos)
        return "X";
    if (name.find("DIAGONAL UPPER RIGHT") != std::string::npos)
        return "/";
    if (name.find("DIAGONAL UPPER LEFT") != std::string::npos)
        return "\\";
    if (name.find(" AND ") != std::string::npos || name.find("ARC") != std::string::npos)
        return "+";
    if (name.find("HORIZONTAL") != std::string::npos || name.find("LEFT") != std::string::npos ||
        name.find("RIGHT") != std::string::npos)
        return "-";
    if (name.find("VERTICAL") != std::string::npos || name.find("UP") != std::string::npos ||
        name.find("DOWN") != std::string::npos)
        return "|";
    return {};
}

std::string translit(unsigned c, int depth) {
    if (c < 0x7F)
        return std::string(1, static_cast<char>(c));
    auto hand = kHand.find(c);
    if (hand != kHand.end())
        return hand->second;
    if (c >= 0x0400 && c <= 0x04FF) {
        UChar32 upper = u_toupper(static_cast<UChar32>(c));
        auto row = kCyrillic.find(static_cast<unsigned>(upper));
        if (row != kCyrillic.end())
            return upper == static_cast<UChar32>(c) ? row->second : lowered(row->second);
    }
    if (c >= 0x2400 && c < 0x2420)
        return kControls[c - 0x2400];
    std::string text = fromDecomposition(c, depth);
    if (!text.empty())
        return text;
    text = fromBoxName(c);
    if (!text.empty())
        return text;
    return fromName(c);
}

std::vector<char> readFile(const char* path) {
    std::vector<char> bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    char chunk[65536];
    std::size_t read;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + read);
    std::fclose(file);
    return bytes;
}

void printQuoted(const std::string& text) {
    std::putchar('"');
    for (char ch : text) {
        if (ch == '"' || ch == '\\')
            std::putchar('\\');
        std::putchar(ch);
    }
    std::putchar('"');
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_translit <icudt72l.dat from ICU's sources>\n");
        return 2;
    }
    static std::vector<char> data = readFile(argv[1]);
    if (data.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    UErrorCode status = U_ZERO_ERROR;
    udata_setCommonData(data.data(), &status);
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "udata_setCommonData: %s\n", u_errorName(status));
        return 1;
    }
    std::printf("// Generated by tools/gen_translit.cpp from ICU %s; do not edit.\n", U_ICU_VERSION);
    unsigned entries = 0, runs = 0, previous = 0;
    for (unsigned c = 0xA0; c <= 0xFFFF; ++c) {
        if (!inRanges(c))
            continue;
        std::string text = translit(c, 0);
        if (text.empty()) {
            std::fprintf(stderr, "no text: U+%04X\n", c);
            continue;
        }
        std::printf("{0x%04X, ", c);
        printQuoted(text);
        std::printf("},\n");
        runs += c != previous + 1;
        previous = c;
        ++entries;
    }
    std::fprintf(stderr, "%u entries in %u runs\n", entries, runs);
    return 0;
}
