// The text an empty list or tree shows in its place, painted alike by every such control.
#pragma once
#include <string>
#include <windows.h>

namespace corvel {

class afCanvas;

// Fills client with the window colour and draws text in grey, centred and word-wrapped,
// inset on every side and lowered by a share of what is left.
void paintEmptyText(afCanvas& canvas, const RECT& client, const std::wstring& text);

} // namespace corvel
