#include "corvel/ui/afKey.h"

#include <cwchar>

namespace corvel {

namespace {

// The modifier bit a key name sets when parsed, 0 for the other keys.
int modifierBitOf(int key) {
    switch (key) {
    case 0x11: // Ctrl
    case 0xA2: // L-Ctrl
    case 0xA3: // R-Ctrl
        return afKey::CTRL;
    case 0x10: // Shift
    case 0xA0: // L-Shift
    case 0xA1: // R-Shift
        return afKey::SHIFT;
    case 0x12: // Alt
    case 0xA4: // L-Alt
        return afKey::ALT;
    case 0xA5: // R-Alt
        return afKey::RIGHT_ALT;
    case 0x5B: // L-Win
        return afKey::LEFT_WIN;
    case 0x5C: // R-Win
        return afKey::RIGHT_WIN;
    default:
        return 0;
    }
}

const int PLUS_KEY = 0xBB;

// The key named by the segment at text (up to the next "+" or the end); 0 when no name
// matches. Entry 0xFF is never read: its name only stands for a key without one.
int lookUpSegment(const wchar_t* text, size_t length, size_t* nameLength) {
    if (text[0] == L'+') {
        *nameLength = 1;
        return PLUS_KEY;
    }
    size_t segment = 0;
    while (segment < length && text[segment] != L'+')
        ++segment;
    for (int key = 0; key < 0xFF; ++key) {
        const wchar_t* name = afKeyNames[key];
        if (name && wcslen(name) == segment && wmemcmp(name, text, segment) == 0) {
            *nameLength = segment;
            return key;
        }
    }
    return 0;
}

} // namespace

int afKey::parse(const wchar_t* text, size_t length) {
    int code = 0;
    size_t pos = 0;
    while (pos < length) {
        size_t nameLength = 0;
        int key = lookUpSegment(text + pos, length - pos, &nameLength);
        if (key == 0)
            return 0;
        code = (code & MODIFIERS) | key | modifierBitOf(key);
        pos += nameLength;
        if (pos == length)
            break;
        if (text[pos] != L'+')
            return 0;
        ++pos;
    }
    return code;
}

bool afKey::appendText(int code, std::wstring& out) {
    static const struct {
        int bit;
        const wchar_t* text;
    } modifiers[] = {{CTRL, L"Ctrl"},   {ALT, L"Alt"},        {RIGHT_ALT, L"R-Alt"},
                     {SHIFT, L"Shift"}, {LEFT_WIN, L"L-Win"}, {RIGHT_WIN, L"R-Win"}};
    out.clear();
    for (const auto& modifier : modifiers) {
        if (!(code & modifier.bit))
            continue;
        if (!out.empty())
            out += L'+';
        out += modifier.text;
    }
    int key = code & KEY;
    if (key == 0 || isModifier(code))
        return true;
    if (!out.empty())
        out += L'+';
    if (!afKeyNames[key])
        return false;
    out += afKeyNames[key];
    return true;
}

std::wstring afKey::toString(int code) {
    std::wstring text;
    appendText(code, text);
    return text;
}

bool afKey::isModifier(int code) {
    switch (code & KEY) {
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x5B:
    case 0x5C:
        return true;
    default:
        return false;
    }
}

} // namespace corvel
