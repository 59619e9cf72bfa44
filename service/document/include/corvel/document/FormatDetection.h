// A guess at how a file is indented: TABs or spaces, and the tab width, each with its
// confidence (0 when nothing was found).
#pragma once
#include <cstdint>

namespace corvel {

struct FormatDetection {
    float tabsConfidence = 0;
    int32_t usesSpaces = 0; // 0 TABs, 1 spaces
    float widthConfidence = 0;
    int32_t tabWidth = 0;
};

} // namespace corvel
