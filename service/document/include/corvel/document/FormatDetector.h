// Guesses how a loaded document is indented. The document manager asks every registered
// detector after a load and keeps the most confident answers.
#pragma once
#include "corvel/document/FormatDetection.h"

#include <cstdint>

namespace corvel {

class Document;

class FormatDetector {
public:
    virtual ~FormatDetector() = default;
    // True when at least one of the two guesses was filled.
    virtual bool detect(Document* document, FormatDetection& result) = 0;
    // A further query no detector answers yet.
    virtual bool query(Document*, int32_t, void*) { return false; }
};

} // namespace corvel
