// The editor's case and word-form commands: every selected range's text goes through one
// transform, all ranges in one undo group.
#pragma once
#include <string>

namespace corvel {

class DocumentController;

class InflectionCommands {
public:
    enum Kind { UPPERCASE, LOWERCASE, CAPITALIZE, HYPHENIZE, UNDERSCORE, CAMELCASE_UPPER, CAMELCASE_LOWER, SPLIT, SYSTEMIZE };

    // False when nothing was selected.
    static bool apply(DocumentController& controller, Kind kind);
    // The replacement of one range's text; false leaves it as it is.
    static bool transform(Kind kind, const std::wstring& text, std::wstring& out);
};

} // namespace corvel
