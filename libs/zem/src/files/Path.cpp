#include "zem/files/Path.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/base/Format.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <windows.h>

namespace zem {

Path::Path() = default;

Path::Path(const wchar_t* text) {
    ZEM_ASSERT_MSG(text != nullptr, L"path");
    assign(text);
}

void Path::clear() {
    m_node.clear();
    m_device.clear();
    m_fileName.clear();
    m_text.clear();
    m_textValid = false;
    m_directories.clear();
    m_absolute = false;
}

void Path::assign(const wchar_t* text) {
    ZEM_ASSERT_MSG(text != nullptr, L"path");
    clear();
    const wchar_t* p = text;
    if (isPathSeparator(*p)) {
        m_absolute = true;
        ++p;
        if (isPathSeparator(*p)) {
            ++p;
            const wchar_t* start = p;
            while (*p && !isPathSeparator(*p))
                ++p;
            m_node.assign(start, p - start);
        }
    } else if (*p && p[1] == L':') {
        wchar_t letter = p[0];
        bool isLetter = (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
        if (!isLetter || !isPathSeparator(p[2]))
            throw PathSyntaxException(text);
        m_device.assign(1, letter);
        m_absolute = true;
        p += 2;
    }

    // Components: each one followed by a separator is a directory.
    for (;;) {
        const wchar_t* start = p;
        while (*p && !isPathSeparator(*p))
            ++p;
        std::wstring component(start, p - start);
        if (!*p) {
            m_fileName = component;
            return;
        }
        ++p;
        if (component.empty() || component == L".")
            continue;
        if (component == L"..") {
            if (!m_directories.empty() && m_directories.back() != L"..") {
                m_directories.pop_back();
                continue;
            }
            if (m_absolute)
                continue;
        }
        m_directories.push_back(component);
    }
}

const std::wstring& Path::toString() const {
    if (m_textValid)
        return m_text;
    m_text.clear();
    if (!m_node.empty()) {
        m_text = L"\\\\" + m_node + L"\\";
    } else if (!m_device.empty()) {
        m_text = m_device + L":\\";
    } else if (m_absolute) {
        m_text = L"\\";
    }
    for (const std::wstring& d : m_directories)
        m_text += d + L"\\";
    m_text += m_fileName;
    m_textValid = true;
    return m_text;
}

const wchar_t* getFileName(const wchar_t* text) {
    const wchar_t* name = text;
    for (const wchar_t* p = text; *p; ++p) {
        if (isPathSeparator(*p))
            name = p + 1;
    }
    return name;
}

void getDirectory(const wchar_t* text, WorkString& out) {
    const wchar_t* name = getFileName(text);
    out.assign(text, name - text);
}

void getBaseName(const wchar_t* text, WorkString& out) {
    const wchar_t* name = getFileName(text);
    const wchar_t* dot = std::wcsrchr(name, L'.');
    out.assign(name, dot ? static_cast<size_t>(dot - name) : std::wcslen(name));
}

void replaceFileName(WorkString& path, const wchar_t* name) {
    path.truncate(path.getFileName() - path.c_str());
    path.append(name);
}

void appendPathSeparator(WorkString& path) {
    if (path.empty() || isPathSeparator(path.back()))
        return;
    path.append(L'\\');
}

void removeTrailingSeparator(WorkString& path) {
    if (!path.empty() && isPathSeparator(path.back()))
        path.truncate(path.length() - 1);
}

void foldPathKey(WorkString& path, wchar_t separator) {
    for (size_t i = 0; i < path.length(); ++i) {
        if (isPathSeparator(path[i]))
            path[i] = separator;
    }
    if (!path.empty())
        CharLowerBuffW(path.data(), static_cast<DWORD>(path.length()));
}

void removeFileName(WorkString& path) {
    size_t cut = path.getFileName() - path.c_str();
    if (cut == 0) {
        path.assign(L".\\");
        return;
    }
    path.truncate(cut);
}

void quotePathIfNeeded(WorkString& path) {
    static const wchar_t kSpecial[] = L" !%'{}()[]&^~+=_;,";
    if (std::wcspbrk(path.c_str(), kSpecial) == nullptr)
        return;
    path.insert(0, L"\"", 1);
    path.append(L'"');
}

int lastSeparatorIndex(const wchar_t* text, int index) {
    for (int i = index - 1; i >= 0; --i) {
        if (isPathSeparator(text[i]))
            return i;
    }
    return -1;
}

wchar_t* strDup(const wchar_t* text) {
    if (!text)
        return nullptr;
    size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    wchar_t* copy = static_cast<wchar_t*>(std::malloc(bytes));
    if (!copy)
        throw OutOfMemoryException(L"strDup");
    std::memcpy(copy, text, bytes);
    return copy;
}

void strFree(wchar_t* text) {
    std::free(text);
}

std::wstring formatHex32(uint32_t value) {
    return format(L"%08X", value);
}

} // namespace zem
