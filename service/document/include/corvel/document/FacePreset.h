// A named set of display options for the editor (wrap, right margin, sub-line alignment,
// indent guides, white space, centring, line numbers, theme), and the presets-list entry
// that says which languages a preset is meant for.
#pragma once
#include "zem/base/Uuid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class JasmineValue;

class FacePreset {
public:
    static constexpr const wchar_t* DEFAULT_THEME = L"71D40D9D-AE48-11D9-920A-000D93589AF6";
    static constexpr const wchar_t* UNNAMED_TITLE = L"[Unnamed Preset]";

    FacePreset();
    virtual ~FacePreset() = default;
    FacePreset(const FacePreset& other) { assign(other); }
    FacePreset& operator=(const FacePreset& other) {
        assign(other);
        return *this;
    }

    // The display options to their defaults; id and title stay.
    virtual void reset();
    // Every field, id included.
    void assign(const FacePreset& other);
    bool operator==(const FacePreset& other) const;
    bool operator!=(const FacePreset& other) const { return !(*this == other); }
    // From a preset dictionary; missing keys and values of other types read as the
    // reset values. Never fails.
    void read(const JasmineValue& dictionary);
    // Into a dictionary (made one when null), keys in the file's order; the id is not stored.
    void write(JasmineValue& dictionary) const;

    zem::Uuid id;
    std::wstring title;
    bool wordWrap;
    bool boundaryShow;
    bool boundaryBreak;
    int32_t boundary; // column; read within 16..999
    bool sublinesAlign;
    bool sublinesAlignShow;
    bool showIndentGuides;
    bool showWhitespaceBefore;
    bool showWhitespaceInside;
    bool showWhitespaceAfter;
    bool center;
    bool breakWhitespace;
    std::wstring themeId; // a theme UUID or a theme entry name
    bool gutterLineNumbers;
};

struct FacePresetEntry {
    std::vector<std::wstring> languages; // scope names the preset is meant for
    FacePreset preset;
};

} // namespace corvel
