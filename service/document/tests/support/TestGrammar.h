// Grammars built in code for parser tests: rules made, numbered and linked the way the
// grammar compiler does it, and a document parsed line by line with them.
#pragma once
#include "corvel/document/Document.h"
#include "corvel/document/DocumentScope.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"

#include <memory>
#include <string>

namespace documenttest {

class TestGrammar {
public:
    explicit TestGrammar(const wchar_t* rootName) : m_repository(new corvel::ParserRuleRepository()) {
        m_root = rule(rootName);
    }

    corvel::ParserRule* root() const { return m_root; }
    corvel::ParserRuleRepository* repository() const { return m_repository.get(); }
    std::unique_ptr<corvel::ParserRuleRepository> release() { return std::move(m_repository); }

    corvel::ParserRule* rule(const wchar_t* name) {
        corvel::ParserRule* made = new corvel::ParserRule();
        made->setScopeName(name);
        m_repository->appendRule(made);
        m_repository->addRule(made);
        return made;
    }
    // A match rule under parent.
    corvel::ParserRule* match(corvel::ParserRule* parent, const wchar_t* pattern, const wchar_t* name,
                              const wchar_t* options = L"") {
        corvel::ParserRule* made = rule(name);
        parent->addChild(corvel::RegExLiteral(pattern, options), made);
        return made;
    }
    // A begin/end rule under parent.
    corvel::ParserRule* block(corvel::ParserRule* parent, const wchar_t* begin, const wchar_t* end, const wchar_t* name) {
        corvel::ParserRule* made = match(parent, begin, name);
        made->setEndPattern(corvel::RegExLiteral(end, L""));
        return made;
    }
    // Names the scope of a capture of rule (begin captures, or end captures).
    corvel::ParserRule* capture(corvel::ParserRule* of, uint16_t key, const wchar_t* name, bool end = false) {
        corvel::ParserRule* made = rule(name);
        if (end)
            of->setEndCapture(key, made);
        else
            of->setCapture(key, made);
        return made;
    }

private:
    std::unique_ptr<corvel::ParserRuleRepository> m_repository;
    corvel::ParserRule* m_root;
};

// Gives the document the grammar and the text, then parses every line in order with a
// parser of its own; false when a line did not parse.
inline bool loadAndParse(TestGrammar& grammar, corvel::Document& document, const std::wstring& text,
                         corvel::EndPatternCache& cache) {
    document.lockEdit();
    document.setGrammar(grammar.root(), grammar.root()->getId(), grammar.root()->getScopeName().c_str(), true);
    document.removeText(document.getLength(), 0, 0);
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    cache.clear();
    corvel::LineParser parser;
    parser.bind(&document, &cache);
    bool parsed = true;
    for (int32_t line = 0; line < document.getLineCount(); ++line)
        parsed = parser.parseLine(line) && parsed;
    parser.unbind();
    document.unlockEdit();
    return parsed;
}

// The runs of a parsed line as "column:scope name" words.
inline std::string describeRuns(corvel::Document& document, int32_t line) {
    const corvel::LineHeader* header = document.getLineHeader(line);
    if (!header->parserBlock)
        return "<none>";
    const corvel::ParserBlockHeader* block = header->blockHeader();
    const corvel::ScopeRun* runs = reinterpret_cast<const corvel::ScopeRun*>(header->parserBlock + block->runsOffset);
    size_t count = (block->endStateOffset - block->runsOffset) / sizeof(corvel::ScopeRun);
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const corvel::DocumentScope* scope = document.getScopeStore().getScope(runs[i].scope);
        std::wstring name = scope ? scope->getName() : L"?";
        out += (i ? " " : "") + std::to_string(runs[i].column) + ":" + std::string(name.begin(), name.end());
    }
    return out;
}

// Number of pairs on a parsed line's end stack.
inline size_t stackDepth(corvel::Document& document, int32_t line) {
    const corvel::LineHeader* header = document.getLineHeader(line);
    return header->parserBlock ? header->blockHeader()->endStateSize / 4 : 0;
}

} // namespace documenttest
