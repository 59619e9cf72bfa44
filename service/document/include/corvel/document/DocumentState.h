// A document's status record: modified and untitled flags, what the last load detected,
// and how the document is saved and indented. Listeners hear of changes as a mask.
#pragma once
#include "corvel/document/FormatDetection.h"
#include "corvel/text/CodePages.h"
#include "zem/files/WorkString.h"
#include "zem/text/Indentation.h"

#include <cstdint>

namespace corvel {

struct LineEndingVote {
    float fraction = 0;
    int32_t kind = 0; // LineEnding
};

class DocumentState {
public:
    // Bits of diff().
    enum : uint32_t {
        CHANGED_MODIFIED = 1,
        CHANGED_UNTITLED = 2,
        CHANGED_FORMAT = 16, // code page, line ending or indentation
        CHANGED_PATH = 32,
        CHANGED_DETECTION = 64, // the format-detected flag or its confidence
    };

    DocumentState() = default;
    DocumentState(const DocumentState& other) { assign(other); }
    DocumentState& operator=(const DocumentState& other) {
        assign(other);
        return *this;
    }

    void assign(const DocumentState& other);
    // What differs from other; what the last load detected takes no part.
    uint32_t diff(const DocumentState& other) const;

    bool modified = false;
    bool untitled = true;
    float loadConfidence = 0;
    int32_t detectedCodePage = 0;
    FormatDetection detection;
    LineEndingVote lineEndingVote;
    uint32_t codePage = CP_UTF8_PLAIN;
    int32_t lineEnding = LINE_ENDING_CRLF;
    // Soft tabs, tab width (1..16) and the column mode (the rounding mode).
    zem::Indentation indentation;
    zem::WorkString path;
    bool formatDetected = false;
    float formatConfidence = 0;
};

} // namespace corvel
