// What replace writes over a match: a literal text, or a replacement format run with the
// match's group texts read from the document.
#pragma once
#include "corvel/document/FormatProgram.h"
#include "zem/text/MatchResults.h"

#include <string>

namespace corvel {

class Document;

class Replacer {
public:
    virtual ~Replacer() = default;
    // The replacement of match into out.
    virtual void replace(const zem::MatchResults& match, const Document& document, std::wstring& out) = 0;
};

class ReplacerSimple : public Replacer {
public:
    explicit ReplacerSimple(const std::wstring& text) : m_text(text) {}
    void replace(const zem::MatchResults& match, const Document& document, std::wstring& out) override;

private:
    std::wstring m_text;
};

class ReplacerFormat : public Replacer {
public:
    explicit ReplacerFormat(const std::wstring& format) : m_program(format) {}
    void replace(const zem::MatchResults& match, const Document& document, std::wstring& out) override;

private:
    FormatProgram m_program;
};

} // namespace corvel
