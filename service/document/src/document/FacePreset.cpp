#include "corvel/document/FacePreset.h"

#include "corvel/jasmine/JasmineValue.h"

namespace corvel {

FacePreset::FacePreset() {
    FacePreset::reset();
}

void FacePreset::reset() {
    wordWrap = false;
    boundaryShow = true;
    boundaryBreak = false;
    boundary = 78;
    sublinesAlign = true;
    sublinesAlignShow = true;
    showIndentGuides = true;
    showWhitespaceBefore = false;
    showWhitespaceInside = false;
    showWhitespaceAfter = false;
    center = true;
    breakWhitespace = false;
    themeId = DEFAULT_THEME;
    gutterLineNumbers = true;
}

void FacePreset::assign(const FacePreset& other) {
    id.assign(other.id);
    title = other.title;
    wordWrap = other.wordWrap;
    boundaryShow = other.boundaryShow;
    boundaryBreak = other.boundaryBreak;
    boundary = other.boundary;
    sublinesAlign = other.sublinesAlign;
    sublinesAlignShow = other.sublinesAlignShow;
    showIndentGuides = other.showIndentGuides;
    showWhitespaceBefore = other.showWhitespaceBefore;
    showWhitespaceInside = other.showWhitespaceInside;
    showWhitespaceAfter = other.showWhitespaceAfter;
    center = other.center;
    breakWhitespace = other.breakWhitespace;
    themeId = other.themeId;
    gutterLineNumbers = other.gutterLineNumbers;
}

bool FacePreset::operator==(const FacePreset& other) const {
    return id == other.id && title == other.title && wordWrap == other.wordWrap &&
           boundaryShow == other.boundaryShow && boundaryBreak == other.boundaryBreak && boundary == other.boundary &&
           sublinesAlign == other.sublinesAlign && sublinesAlignShow == other.sublinesAlignShow &&
           showIndentGuides == other.showIndentGuides && showWhitespaceBefore == other.showWhitespaceBefore &&
           showWhitespaceInside == other.showWhitespaceInside && showWhitespaceAfter == other.showWhitespaceAfter &&
           center == other.center && breakWhitespace == other.breakWhitespace && themeId == other.themeId &&
           gutterLineNumbers == other.gutterLineNumbers;
}

// Missing keys take the reset values: a preset that lost a key must still look like the
// default editor, and the theme id must stay a UUID the theme lookup understands.
void FacePreset::read(const JasmineValue& d) {
    FacePreset defaults;
    const wchar_t* text = d.find(L"title").asString(L"");
    title = text && text[0] ? text : UNNAMED_TITLE;
    wordWrap = d.find(L"word_wrap").asBool(defaults.wordWrap);
    sublinesAlign = d.find(L"sublines_align").asBool(defaults.sublinesAlign);
    sublinesAlignShow = d.find(L"sublines_align_show").asBool(defaults.sublinesAlignShow);
    boundary = d.find(L"boundary").asInt(defaults.boundary);
    if (boundary <= 16)
        boundary = 16;
    else if (boundary > 998)
        boundary = 999;
    boundaryBreak = d.find(L"boundary_break").asBool(defaults.boundaryBreak);
    boundaryShow = d.find(L"boundary_show").asBool(defaults.boundaryShow);
    center = d.find(L"center").asBool(defaults.center);
    showIndentGuides = d.find(L"show_indent_guides").asBool(defaults.showIndentGuides);
    showWhitespaceBefore = d.find(L"show_whitespace_before").asBool(defaults.showWhitespaceBefore);
    showWhitespaceInside = d.find(L"show_whitespace_inside").asBool(defaults.showWhitespaceInside);
    showWhitespaceAfter = d.find(L"show_whitespace_after").asBool(defaults.showWhitespaceAfter);
    breakWhitespace = d.find(L"break_whitespace").asBool(defaults.breakWhitespace);
    gutterLineNumbers = d.find(L"gutter_line_numbers").asBool(defaults.gutterLineNumbers);
    const wchar_t* theme = d.find(L"theme").asString(defaults.themeId.c_str());
    themeId = theme ? theme : defaults.themeId;
}

void FacePreset::write(JasmineValue& d) const {
    d.getOrAddEntry(L"title").setString(title);
    d.getOrAddEntry(L"word_wrap").setBool(wordWrap);
    d.getOrAddEntry(L"sublines_align").setBool(sublinesAlign);
    d.getOrAddEntry(L"sublines_align_show").setBool(sublinesAlignShow);
    d.getOrAddEntry(L"boundary").setInt(boundary);
    d.getOrAddEntry(L"boundary_break").setBool(boundaryBreak);
    d.getOrAddEntry(L"boundary_show").setBool(boundaryShow);
    d.getOrAddEntry(L"center").setBool(center);
    d.getOrAddEntry(L"show_indent_guides").setBool(showIndentGuides);
    d.getOrAddEntry(L"show_whitespace_before").setBool(showWhitespaceBefore);
    d.getOrAddEntry(L"show_whitespace_inside").setBool(showWhitespaceInside);
    d.getOrAddEntry(L"show_whitespace_after").setBool(showWhitespaceAfter);
    d.getOrAddEntry(L"break_whitespace").setBool(breakWhitespace);
    d.getOrAddEntry(L"gutter_line_numbers").setBool(gutterLineNumbers);
    d.getOrAddEntry(L"theme").setString(themeId);
}

} // namespace corvel
