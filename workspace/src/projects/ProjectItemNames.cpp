#include "corvel/projects/ProjectItemNames.h"

#include <cwchar>

namespace corvel {

const wchar_t* const ProjectItemNames::UNSAFE_NAME_MESSAGE =
    L"Names cannot hold \\ / : * ? < > | or quotes, end in a dot or a space, or be a device name such as CON.";
const wchar_t* const ProjectItemNames::EMPTY_TITLE_MESSAGE = L"Title should not be empty.";

bool ProjectItemNames::isDeviceName(const std::wstring& name) {
    // The device is named by what stands before the first dot: "con.txt" is CON too.
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    for (wchar_t& ch : base) {
        if (ch >= L'a' && ch <= L'z')
            ch = static_cast<wchar_t>(ch - L'a' + L'A');
    }
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL")
        return true;
    return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

bool ProjectItemNames::isSafe(const std::wstring& name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ')
        return false;
    for (wchar_t ch : name) {
        if (ch < 0x20 || std::wcschr(L"\\/:*?<>|\"", ch))
            return false;
    }
    return !isDeviceName(name);
}

} // namespace corvel
