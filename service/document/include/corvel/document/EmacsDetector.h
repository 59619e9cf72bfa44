// Reads the indentation from an editor mode line ("-*- indent-tabs-mode: nil; tab-width: 4 -*-")
// in the first line of a document, or else in its last line.
#pragma once
#include "corvel/document/FormatDetector.h"

#include <string>

namespace corvel {

class EmacsDetector : public FormatDetector {
public:
    bool detect(Document* document, FormatDetection& result) override;

    // The settings of a mode line in the text; false when it holds neither setting.
    static bool readModeLine(const std::wstring& text, FormatDetection& result);
};

} // namespace corvel
