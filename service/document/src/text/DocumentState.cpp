#include "corvel/document/DocumentState.h"

#include <cwchar>

namespace corvel {

void DocumentState::assign(const DocumentState& other) {
    if (this == &other)
        return;
    modified = other.modified;
    untitled = other.untitled;
    loadConfidence = other.loadConfidence;
    detectedCodePage = other.detectedCodePage;
    detection = other.detection;
    lineEndingVote = other.lineEndingVote;
    codePage = other.codePage;
    lineEnding = other.lineEnding;
    indentation = other.indentation;
    path.assign(other.path);
    formatDetected = other.formatDetected;
    formatConfidence = other.formatConfidence;
}

uint32_t DocumentState::diff(const DocumentState& other) const {
    uint32_t mask = 0;
    if (modified != other.modified)
        mask |= CHANGED_MODIFIED;
    if (untitled != other.untitled)
        mask |= CHANGED_UNTITLED;
    if (codePage != other.codePage || lineEnding != other.lineEnding || indentation != other.indentation)
        mask |= CHANGED_FORMAT;
    if (path.length() != other.path.length() || std::wmemcmp(path.c_str(), other.path.c_str(), path.length()) != 0)
        mask |= CHANGED_PATH;
    if (formatDetected != other.formatDetected || formatConfidence != other.formatConfidence)
        mask |= CHANGED_DETECTION;
    return mask;
}

} // namespace corvel
