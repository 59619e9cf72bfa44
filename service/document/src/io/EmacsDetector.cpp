#include "corvel/document/EmacsDetector.h"

#include "corvel/document/Document.h"

#include <cwchar>

namespace corvel {

namespace {

const wchar_t MARKER[] = L"-*-";
const size_t MARKER_LENGTH = 3;

bool isTrailingSpace(wchar_t unit) {
    return unit == L' ' || unit == L'\t' || unit == L'\n' || unit == 0x0B || unit == 0x0C || unit == L'\r';
}

bool isSpace(wchar_t unit) {
    return unit == L' ' || unit == L'\t' || unit == L'\n' || unit == L'\r';
}

// The settings between the two markers, ending in ";"; empty when there is no mode line.
std::wstring modeLineSettings(const std::wstring& text) {
    const size_t open = text.find(MARKER);
    if (open == std::wstring::npos)
        return std::wstring();
    const size_t from = open + MARKER_LENGTH;
    const size_t close = text.find(MARKER, from);
    if (close == std::wstring::npos || close == from)
        return std::wstring();
    std::wstring settings = text.substr(from, close - from);
    while (!settings.empty() && isTrailingSpace(settings.back()))
        settings.pop_back();
    if (settings.empty() || settings.back() != L';')
        settings += L';';
    return settings;
}

// The value after "key:" up to the next ";"; false when the key, its ":" or the ";" is missing.
bool findValue(const std::wstring& settings, const wchar_t* key, std::wstring& value) {
    size_t pos = settings.find(key);
    if (pos == std::wstring::npos)
        return false;
    pos += std::wcslen(key);
    while (pos < settings.size() && isSpace(settings[pos]))
        ++pos;
    if (pos >= settings.size() || settings[pos] != L':')
        return false;
    ++pos;
    while (pos < settings.size() && isSpace(settings[pos]))
        ++pos;
    const size_t end = settings.find(L';', pos);
    if (end == std::wstring::npos)
        return false;
    value = settings.substr(pos, end - pos);
    return true;
}

std::wstring lineText(Document* document, int32_t line) {
    return document->getText(document->getLineStart(line), document->getLineTextLength(line));
}

} // namespace

bool EmacsDetector::readModeLine(const std::wstring& text, FormatDetection& result) {
    // A key not found answers confidence 0, whatever the caller had in the record.
    result.tabsConfidence = 0;
    result.widthConfidence = 0;
    const std::wstring settings = modeLineSettings(text);
    if (settings.empty())
        return false;
    std::wstring value;
    bool found = false;
    if (findValue(settings, L"indent-tabs-mode", value) && !value.empty()) {
        result.tabsConfidence = 1.0f;
        result.usesSpaces = value[0] == L't' || value[0] == L'T' ? 0 : 1;
        found = true;
    }
    int width = 0;
    if (findValue(settings, L"tab-width", value) && swscanf(value.c_str(), L"%d", &width) == 1) {
        result.widthConfidence = 1.0f;
        result.tabWidth = width;
        found = true;
    }
    return found;
}

bool EmacsDetector::detect(Document* document, FormatDetection& result) {
    const int32_t lineCount = document->getLineCount();
    if (lineCount < 1)
        return false;
    if (readModeLine(lineText(document, 0), result))
        return true;
    return lineCount > 1 && readModeLine(lineText(document, lineCount - 1), result);
}

} // namespace corvel
