#include "corvel/ui/afKey.h"

namespace corvel {

// The punctuation keys carry the character of a US layout; 0xBB (plus/equals) is "+".
const wchar_t* const afKeyNames[256] = {
    nullptr,
    L"Lbutton",
    L"Rbutton",
    L"Cancel", // 0x00
    L"Mbutton",
    L"Xbutton1",
    L"Xbutton2",
    nullptr, // 0x04
    L"Backspace",
    L"Tab",
    nullptr,
    nullptr, // 0x08
    L"Clear",
    L"Enter",
    nullptr,
    nullptr, // 0x0C
    L"Shift",
    L"Ctrl",
    L"Alt",
    L"Pause", // 0x10
    L"Caps-Lock",
    L"Hangul",
    nullptr,
    L"Junja", // 0x14
    L"Final",
    L"Kanji",
    nullptr,
    L"Esc", // 0x18
    L"Convert",
    L"Nonconvert",
    L"Accept",
    L"Modechange", // 0x1C
    L"Space",
    L"Page-Up",
    L"Page-Down",
    L"End", // 0x20
    L"Home",
    L"Left",
    L"Up",
    L"Right", // 0x24
    L"Down",
    L"Select",
    L"Print",
    L"Execute", // 0x28
    L"Print-Screen",
    L"Ins",
    L"Del",
    L"Help", // 0x2C
    L"0",
    L"1",
    L"2",
    L"3", // 0x30
    L"4",
    L"5",
    L"6",
    L"7", // 0x34
    L"8",
    L"9",
    nullptr,
    nullptr, // 0x38
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0x3C
    nullptr,
    L"A",
    L"B",
    L"C", // 0x40
    L"D",
    L"E",
    L"F",
    L"G", // 0x44
    L"H",
    L"I",
    L"J",
    L"K", // 0x48
    L"L",
    L"M",
    L"N",
    L"O", // 0x4C
    L"P",
    L"Q",
    L"R",
    L"S", // 0x50
    L"T",
    L"U",
    L"V",
    L"W", // 0x54
    L"X",
    L"Y",
    L"Z",
    L"L-Win", // 0x58
    L"R-Win",
    L"Apps",
    nullptr,
    L"Sleep", // 0x5C
    L"Num-0",
    L"Num-1",
    L"Num-2",
    L"Num-3", // 0x60
    L"Num-4",
    L"Num-5",
    L"Num-6",
    L"Num-7", // 0x64
    L"Num-8",
    L"Num-9",
    L"Multiply",
    L"Add", // 0x68
    L"Separator",
    L"Subtract",
    L"Decimal",
    L"Divide", // 0x6C
    L"F1",
    L"F2",
    L"F3",
    L"F4", // 0x70
    L"F5",
    L"F6",
    L"F7",
    L"F8", // 0x74
    L"F9",
    L"F10",
    L"F11",
    L"F12", // 0x78
    L"F13",
    L"F14",
    L"F15",
    L"F16", // 0x7C
    L"F17",
    L"F18",
    L"F19",
    L"F20", // 0x80
    L"F21",
    L"F22",
    L"F23",
    L"F24", // 0x84
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0x88
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0x8C
    L"Num-Lock",
    L"Scroll-Lock",
    L"Oem-fj-jisho",
    L"Unregister", // 0x90
    L"Register-Word",
    L"Left-OYAYUBI",
    L"Right-OYAYUBI",
    nullptr, // 0x94
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0x98
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0x9C
    L"L-Shift",
    L"R-Shift",
    L"L-Ctrl",
    L"R-Ctrl", // 0xA0
    L"L-Alt",
    L"R-Alt",
    L"Browser-Back",
    L"Browser-Forward", // 0xA4
    L"Browser-Refresh",
    L"Browser-Stop",
    L"Browser-Search",
    L"Browser-Favorites", // 0xA8
    L"Browser-Home",
    L"Volume-Mute",
    L"Volume-Down",
    L"Volume-Up", // 0xAC
    L"Next-Track",
    L"Previous-Track",
    L"Stop-Media",
    L"Play-Pause-Media", // 0xB0
    L"Start-Mail",
    L"Select-Media",
    L"App-1",
    L"App-2", // 0xB4
    nullptr,
    nullptr,
    L";",
    L"+", // 0xB8
    L",",
    L"-",
    L".",
    L"/", // 0xBC
    L"`",
    nullptr,
    nullptr,
    nullptr, // 0xC0
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0xC4
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0xC8
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0xCC
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0xD0
    nullptr,
    nullptr,
    nullptr,
    nullptr, // 0xD4
    nullptr,
    nullptr,
    nullptr,
    L"[", // 0xD8
    L"\\",
    L"]",
    L"'",
    L"Oem-8", // 0xDC
    nullptr,
    nullptr,
    L"Oem-102",
    nullptr, // 0xE0
    nullptr,
    L"Process-Key",
    nullptr,
    L"Packet", // 0xE4
    nullptr,
    L"Oem-reset",
    L"Oem-jump",
    L"Oem-pa1", // 0xE8
    L"Oem-pa2",
    L"Oem-pa3",
    L"Oem-wsctrl",
    L"Oem-cusel", // 0xEC
    L"Oem-attn",
    L"Oem-finnish",
    L"Oem-copy",
    L"Oem-auto", // 0xF0
    L"Oem-enlw",
    L"Oem-backtab",
    L"Attn",
    L"CrSel", // 0xF4
    L"ExSel",
    L"Erase-EOF",
    L"Play",
    L"Zoom", // 0xF8
    L"Noname",
    L"PA1",
    L"Oem-clear",
    L"0xFF", // 0xFC
};

} // namespace corvel
