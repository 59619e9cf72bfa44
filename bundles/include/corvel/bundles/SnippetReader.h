// Reads a snippet's content ("if (${1:cond}) {\n\t$0\n}") into a SnippetModel. Faults
// are zem::ParserExceptions with positions; problems it can step over are warnings.
#pragma once
#include "corvel/bundles/SnippetModel.h"

#include "zem/base/ParserException.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

struct SnippetWarning {
    enum Kind : int32_t { PLACEHOLDER_IGNORED = 0, DOLLAR_NOT_ESCAPED = 1 };
    Kind kind;
    std::wstring message;
    zem::SourcePosition position;
};

class SnippetReader {
public:
    // Placeholders nested deeper than this are refused with a zem::ParserException.
    static const int MAX_NESTING = 512;

    explicit SnippetReader(const std::wstring& text);
    virtual ~SnippetReader() = default;

    std::unique_ptr<SnippetModel> read();
    const std::vector<SnippetWarning>& getWarnings() const { return m_warnings; }

    // Lines and columns from 1; CR LF is one break.
    zem::SourcePosition positionAt(size_t offset) const;

private:
    enum Token { END, SLASH, COLON, CLOSE, NUMBER, NAME };

    void readContent(bool inPlaceholder);
    void readText(bool inPlaceholder);
    void readDollar();
    void readPlaceholder(size_t start);
    void readCommand();
    Token readToken(std::wstring& text);
    std::wstring readPatternPart();
    SnippetActiveNode* appendActive();
    void finishActive(SnippetActiveNode* node, const std::wstring& name);
    void warn(SnippetWarning::Kind kind, const wchar_t* message, size_t offset);
    [[noreturn]] void unexpected(const wchar_t* found, const wchar_t* expected, size_t begin);
    [[noreturn]] void terminated();

    std::wstring m_text;
    size_t m_at = 0;
    std::deque<SnippetActiveNode*> m_stack; // the root at the bottom, the placeholder being read on top
    std::unique_ptr<SnippetModel> m_model;
    std::vector<SnippetWarning> m_warnings;
};

// The model, or a zem::ParserException.
std::unique_ptr<SnippetModel> parseSnippet(const std::wstring& text);

// "\$", "\\", "\`" and "\}" become the second character; other pairs stay; a backslash
// at the very end is dropped.
std::wstring unescapeSnippetText(const std::wstring& text);

} // namespace corvel
