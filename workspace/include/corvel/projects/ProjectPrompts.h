// The question boxes and one-line dialogs of the project commands, run modally and freed
// when they end. A null owner gives an ownerless window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class afView;

namespace projectprompts {

constexpr uint32_t RESULT_YES = 0x79dcdd47u;
constexpr uint32_t RESULT_NO = 0x67aa281fu;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;

struct Line {
    std::wstring text;
    int style;
};

struct Button {
    const wchar_t* text;
    uint32_t result;
    bool isDefault;
    int key; // a virtual key that also clicks it, or 0
};

// The result of the button the box closed with (Cancel when closed without one).
uint32_t ask(afView* owner, const std::wstring& title, const std::vector<Line>& lines,
             const std::vector<Button>& buttons);

// A one-line dialog with OK and Cancel filled with value (all selected). Empty text is
// refused in the dialog when emptyMessage is given; with checkNames, names no file may
// have are refused too. True on OK, with the text in value.
bool askString(afView* owner, const std::wstring& title, const std::wstring& prompt, std::wstring& value,
               const wchar_t* emptyMessage, bool checkNames = false);

} // namespace projectprompts
} // namespace corvel
