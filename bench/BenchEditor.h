// What the editor benchmarks share: pumping an editor's window until it has painted, and
// putting the caret at a line's start without timing it.
#pragma once
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"

#include <windows.h>

namespace bench {

// Dispatches until the queue is empty and the window has nothing left to paint.
inline void pumpUntilPainted(HWND hwnd) {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!GetUpdateRect(hwnd, nullptr, FALSE))
            return;
        UpdateWindow(hwnd);
    }
}

inline void placeCaret(corvel::DocumentController& controller, int32_t line) {
    corvel::EditBracket read(controller, corvel::DocumentController::EDIT_READ);
    const corvel::TextPosition at(line, 0);
    controller.getSelection()->select(at, at, 1, corvel::Selection::ID_START_OVER);
}

} // namespace bench
