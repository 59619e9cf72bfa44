#include "corvel/widgets/afFileDialogText.h"

#include "zem/files/Path.h"
#include "zem/files/WorkString.h"

#include <windows.h>

namespace corvel {
namespace afFileDialogText {

namespace {

bool equalIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring firstPattern(const afFileFilter* type) {
    return type && !type->patterns.empty() ? type->patterns.front() : std::wstring();
}

} // namespace

std::wstring extensionOf(const std::wstring& fileName) {
    zem::WorkString name(fileName.c_str(), fileName.size());
    return name.getExtension();
}

afFileFilter* findTypeForName(const afFileFilters& types, const std::wstring& fileName) {
    std::wstring extension = extensionOf(fileName);
    if (extension.empty())
        return nullptr;
    for (int i = 0; i < types.size(); ++i) {
        afFileFilter* type = types.at(i);
        for (const std::wstring& pattern : type->patterns) {
            if (equalIgnoringCase(pattern, extension))
                return type;
        }
    }
    return nullptr;
}

std::wstring buildFilterText(const afFileFilters& types) {
    std::wstring text;
    for (int i = 0; i < types.size(); ++i) {
        const afFileFilter* type = types.at(i);
        std::wstring patterns;
        for (const std::wstring& pattern : type->patterns) {
            if (!patterns.empty())
                patterns += L"; ";
            patterns += L"*." + pattern;
        }
        text += type->title + L" (" + patterns + L")";
        text += L'\0';
        text += patterns;
        text += L'\0';
    }
    return text;
}

std::vector<std::wstring> splitSelection(const wchar_t* buffer, size_t size) {
    std::vector<std::wstring> parts;
    size_t position = 0;
    while (position < size && buffer[position] != L'\0') {
        size_t end = position;
        while (end < size && buffer[end] != L'\0')
            ++end;
        parts.emplace_back(buffer + position, end - position);
        position = end + 1;
    }
    if (parts.size() <= 1)
        return parts;
    std::vector<std::wstring> paths;
    const std::wstring& folder = parts.front();
    if (folder.empty())
        return paths;
    for (size_t i = 1; i < parts.size(); ++i) {
        // A drive root ("C:\") already ends in its separator.
        zem::WorkString path(folder.c_str(), folder.size());
        zem::appendPathSeparator(path);
        path.append(parts[i]);
        paths.push_back(path.str());
    }
    return paths;
}

std::wstring chooseSaveExtension(const std::wstring& initialFileName, const afFileFilter* initialType,
                                 const afFileFilter* currentType) {
    std::wstring extension;
    if (!initialFileName.empty() && initialType && firstPattern(initialType) != L"*" && currentType == initialType)
        extension = extensionOf(initialFileName);
    if (extension.empty()) {
        std::wstring pattern = firstPattern(currentType);
        if (pattern != L"*")
            extension = pattern;
    }
    return extension;
}

} // namespace afFileDialogText
} // namespace corvel
