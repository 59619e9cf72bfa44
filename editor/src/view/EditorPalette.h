// The widget palette's colours the editor's gutter reads, by palette index.
#pragma once
#include <windows.h>

namespace corvel {

COLORREF editorPaletteColor(int index);

} // namespace corvel
