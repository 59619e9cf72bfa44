// Guesses TABs or spaces and the indentation width from the leading blanks of the first
// 2048 lines.
#pragma once
#include "corvel/document/FormatDetector.h"

#include <cstdint>

namespace corvel {

class SoftTabsDetector : public FormatDetector {
public:
    static constexpr int COUNTERS = 64;

    bool detect(Document* document, FormatDetection& result) override;

    // Counter 0: lines starting with a TAB; counter n: lines indented by n blanks.
    static bool decide(const int32_t (&counters)[COUNTERS], FormatDetection& result);
};

} // namespace corvel
