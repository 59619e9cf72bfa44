#include "corvel/text/CodePages.h"

#include <cwchar>

namespace corvel {

namespace {

struct CodePageNames {
    uint32_t codePage;
    const wchar_t* displayName;
    const wchar_t* settingName;
};

const CodePageNames NAMES[] = {
    {CP_ANSI, L"ANSI", L"ANSI"},
    {CP_UTF8_MARK, L"UTF-8", L"UTF-8"},
    {CP_UTF8_PLAIN, L"UTF-8 Plain", L"UTF-8-PLAIN"},
    {CP_UTF16_LE, L"UTF-16 LE", L"UTF-16-LE"},
    {CP_UTF16_BE, L"UTF-16 BE", L"UTF-16-BE"},
    {CP_UTF32_LE, L"UTF-32 LE", L"UTF-32-LE"},
    {CP_UTF32_BE, L"UTF-32 BE", L"UTF-32-BE"},
};

const CodePageNames* findNames(uint32_t codePage) {
    for (const CodePageNames& names : NAMES) {
        if (names.codePage == codePage)
            return &names;
    }
    return nullptr;
}

} // namespace

const wchar_t* getEncodingDisplayName(uint32_t codePage) {
    const CodePageNames* names = findNames(codePage);
    return names ? names->displayName : L"Unknown";
}

uint32_t encodingFromSettingName(const wchar_t* name) {
    if (name == nullptr || *name == 0)
        return CP_UTF8_PLAIN;
    for (const CodePageNames& names : NAMES) {
        if (_wcsicmp(names.settingName, name) == 0)
            return names.codePage;
    }
    return CP_UTF8_PLAIN;
}

const wchar_t* encodingSettingName(uint32_t codePage) {
    const CodePageNames* names = findNames(codePage);
    return names ? names->settingName : L"UTF-8-PLAIN";
}

} // namespace corvel
