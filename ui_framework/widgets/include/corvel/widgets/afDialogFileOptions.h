// What one run of a file dialog is given and gives back. It outlives the dialog and owns
// the file types and the results.
#pragma once
#include "corvel/widgets/afFileFilter.h"

#include <string>
#include <vector>

namespace corvel {

struct afDialogFileOptions {
    // Placed in the name box; its extension also picks the initial file type.
    std::wstring initialFileName;
    afFileFilters fileTypes;
    // Into fileTypes, or null.
    afFileFilter* preselectedType = nullptr;
    // Results: full paths, and the type chosen last (into fileTypes, or null).
    std::vector<std::wstring> selectedPaths;
    afFileFilter* chosenType = nullptr;
    bool mustExist = true;
    bool showHidden = true;
    bool overwritePrompt = false;
    bool noReadOnlyReturn = true;
    bool multiSelect = false;
};

} // namespace corvel
