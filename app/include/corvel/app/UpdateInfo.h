// What one update check found: where the new build and its notes are, which build it is,
// or why the check failed.
#pragma once
#include <string>

namespace corvel {

struct UpdateInfo {
    std::wstring downloadUrl; // "url_download"
    std::wstring notesUrl;    // "url_notes"
    std::wstring version;     // "version"
    std::wstring build;       // "build"
    std::wstring branch;      // "branch"
    std::wstring error;       // empty on success, the failure's message otherwise
};

} // namespace corvel
