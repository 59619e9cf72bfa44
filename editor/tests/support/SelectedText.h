// The text a controller's selection holds, its ranges joined as a copy joins them.
#pragma once
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"

#include <string>

namespace edtest {

inline std::wstring selectedText(corvel::DocumentController& controller) {
    std::wstring out;
    corvel::EditBracket read(controller, corvel::DocumentController::EDIT_READ);
    controller.getSelectedText(controller.getSelection()->getRanges(), out);
    return out;
}

} // namespace edtest
