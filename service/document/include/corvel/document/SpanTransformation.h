// A span whose text is computed from other text by a regular expression and a
// replacement format: the snippet mirrors written ${n/regex/format/options}.
#pragma once
#include "corvel/document/FormatProgram.h"
#include "corvel/document/Span.h"
#include "corvel/text/RegEx.h"

#include <memory>
#include <string>

namespace corvel {

class SpanTransformation : public Span {
public:
    static const uint32_t CLASS_TAG; // "SpanTransformation"

    SpanTransformation();
    SpanTransformation(const std::wstring& format, const std::wstring& pattern, const std::wstring& options,
                       const std::wstring& name = std::wstring());

    uint32_t getCreator() const override { return CLASS_TAG; }
    void write(Stream& stream, const SpanTable& table) const override;
    bool read(Stream& stream, const SpanTable& table) override;
    const wchar_t* getClassName() const override { return L"SpanTransformation"; }
    // The text is transformed first; the span's text becomes the result.
    void replaceText(DocumentController* controller, int32_t length, const wchar_t* text) override;

    // Compiles the pattern (a failure is logged and leaves no regex) and parses the
    // format; true when both exist.
    bool transformElement();
    // False, out untouched, when nothing matched.
    bool transform(const std::wstring& text, std::wstring& out) const;

    // Makes the class known to journal reads.
    static void registerClass();

private:
    RegExPtr m_regex; // null when the pattern did not compile
    std::unique_ptr<FormatProgram> m_program;
    std::wstring m_pattern;
    std::wstring m_options;
    std::wstring m_format;
};

// Runs program over every match of regex in text (every match with the global flag,
// else the first), keeping the text between matches. False, out untouched, when the text
// is empty, the regex or the program is missing, or nothing matched.
bool substitute(const FormatProgram* program, std::wstring& out, const std::wstring& text, const RegEx* regex);

} // namespace corvel
