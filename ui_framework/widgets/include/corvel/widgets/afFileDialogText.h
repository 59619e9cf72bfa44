// The texts a file dialog is built from and gives back: the type matching a file name,
// the filter text, the split of a multi-select buffer and the extension a save dialog
// completes a bare name with.
#pragma once
#include "corvel/widgets/afFileFilter.h"

#include <cstddef>
#include <string>
#include <vector>

namespace corvel {
namespace afFileDialogText {

// The extension of a file name (after the last "." of its last part), empty for none.
std::wstring extensionOf(const std::wstring& fileName);
// The first type, in list order, with a pattern equal to the extension of fileName
// ignoring case; null when none has.
afFileFilter* findTypeForName(const afFileFilters& types, const std::wstring& fileName);
// Per type: title " (" patterns ")" NUL patterns NUL, where patterns are "*." + pattern
// joined by "; ". The string's own terminator ends the list.
std::wstring buildFilterText(const afFileFilters& types);
// The paths named by a NUL-separated buffer that ends with an empty string: a single
// string is a full path; otherwise the first is the folder and each later non-empty name
// is joined to it (nothing is joined when the folder is empty). Reading never passes
// size characters.
std::vector<std::wstring> splitSelection(const wchar_t* buffer, size_t size);
// The extension a save dialog adds to a name typed without one: the initial name's when
// it has one, the initial type's first pattern is not "*" and the type is still the
// initial one; else the current type's first pattern unless it is "*"; else empty.
std::wstring chooseSaveExtension(const std::wstring& initialFileName, const afFileFilter* initialType,
                                 const afFileFilter* currentType);

} // namespace afFileDialogText
} // namespace corvel
