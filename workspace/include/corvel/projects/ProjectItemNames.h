// The names the project's disk operations accept for new and renamed files and folders,
// and the texts the naming dialogs show when they refuse one. A name is one path
// component: nothing that would reach another folder or a device.
#pragma once
#include <string>

namespace corvel {

class ProjectItemNames {
public:
    static const wchar_t* const UNSAFE_NAME_MESSAGE;
    static const wchar_t* const EMPTY_TITLE_MESSAGE;

    // False for an empty name, a name holding \ / : * ? < > |, a double quote or a control
    // character, one ending in "." or " ", and device names (CON, PRN, AUX, NUL, COM1-9,
    // LPT1-9) with or without an extension.
    static bool isSafe(const std::wstring& name);
    static bool isDeviceName(const std::wstring& name);
};

} // namespace corvel
