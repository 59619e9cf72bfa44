// Line parser throughput over a C file of about 6.4 MB (the path given as the first
// argument, else generated C text): a C grammar built in code (comments, strings and
// characters with escapes, preprocessor lines with continuations, keywords, numbers,
// nested braces and parentheses), every line parsed from line 0 by one LineParser on one
// thread. Baseline in the same run: every match of the top-level combined pattern found
// by repeated search over every line. Then one character is inserted mid-file and the
// lines are re-parsed the way a parse job does, until a line's start state holds. Each
// pass runs three times and the best time counts: other work on the machine only slows.
#include "corvel/document/Document.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using corvel::ParserRule;
using corvel::RegExLiteral;

const size_t GENERATED_UNITS = 6400000;
const int ROUNDS = 3;

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class CGrammar {
public:
    CGrammar() : m_repository(new corvel::ParserRuleRepository()) {
        root = rule(L"source.c");
        ParserRule* block = begin(L"\\}", L"meta.block.c");
        ParserRule* paren = begin(L"\\)", L"meta.parens.c");
        ParserRule* comment = begin(L"\\*/", L"comment.block.c");
        ParserRule* lineComment = rule(L"comment.line.double-slash.c");
        ParserRule* string = begin(L"\"", L"string.quoted.double.c");
        ParserRule* character = begin(L"'", L"string.quoted.single.c");
        ParserRule* escape = rule(L"constant.character.escape.c");
        ParserRule* preprocessor = begin(L"(?<!\\\\)$", L"meta.preprocessor.c");
        preprocessor->setCapture(1, rule(L"keyword.control.directive.c"));
        ParserRule* keyword = rule(L"keyword.control.c");
        ParserRule* number = rule(L"constant.numeric.c");
        string->addChild(RegExLiteral(L"\\\\.", L""), escape);
        character->addChild(RegExLiteral(L"\\\\.", L""), escape);
        for (ParserRule* parent : {root, block, paren, preprocessor}) {
            parent->addChild(RegExLiteral(L"/\\*", L""), comment);
            parent->addChild(RegExLiteral(L"//.*", L""), lineComment);
            parent->addChild(RegExLiteral(L"\"", L""), string);
            parent->addChild(RegExLiteral(L"'", L""), character);
            if (parent != preprocessor)
                parent->addChild(RegExLiteral(L"^\\s*#\\s*(\\w+)", L""), preprocessor);
            parent->addChild(RegExLiteral(L"\\b(?:auto|break|case|char|const|continue|default|do|double|else|enum|"
                                          L"extern|float|for|goto|if|int|long|register|return|short|signed|"
                                          L"sizeof|static|struct|switch|typedef|union|unsigned|void|volatile|"
                                          L"while)\\b",
                                          L""),
                             keyword);
            parent->addChild(RegExLiteral(L"\\b(?:0[xX][0-9a-fA-F]+|[0-9]+(?:\\.[0-9]*)?(?:[eE][-+]?[0-9]+)?)"
                                          L"[uUlLfF]*\\b",
                                          L""),
                             number);
            if (parent != preprocessor) {
                parent->addChild(RegExLiteral(L"\\{", L""), block);
                parent->addChild(RegExLiteral(L"\\(", L""), paren);
            }
        }
    }

    ParserRule* root;

private:
    ParserRule* rule(const wchar_t* name) {
        ParserRule* made = new ParserRule();
        made->setScopeName(name);
        m_repository->appendRule(made);
        m_repository->addRule(made);
        return made;
    }
    // A begin/end rule; its begin pattern is given where it is added as a child.
    ParserRule* begin(const wchar_t* endPattern, const wchar_t* name) {
        ParserRule* made = rule(name);
        made->setEndPattern(RegExLiteral(endPattern, L""));
        return made;
    }

    std::unique_ptr<corvel::ParserRuleRepository> m_repository;
};

std::wstring generateC() {
    std::wstring text;
    text.reserve(GENERATED_UNITS + 4096);
    for (unsigned n = 0; text.size() < GENERATED_UNITS; ++n) {
        std::wstring id = std::to_wstring(n);
        text += L"/* Block " + id + L": a comment that runs\n   over two lines with { braces } and \"quotes\" */\n";
        text += L"#define MACRO_" + id + L"(a, b) \\\n    ((a) * (b) + 0x" + id + L"F)\n";
        text += L"#include <header_" + id + L".h>\n";
        text += L"static const char* name_" + id + L" = \"value \\\"" + id + L"\\\" with \\n escapes\";\n";
        text += L"static int table_" + id + L"[] = { 1, 2, 3.5e10, 0777, '\\'', 'x' };\n\n";
        text += L"int function_" + id + L"(int count, const char* text) {\n";
        text += L"    int total = 0; // running total\n";
        text += L"    for (int i = 0; i < count; ++i) {\n";
        text += L"        if (text[i] == '\\n' && (i % 2) == 0) {\n";
        text += L"            total += helper_" + id + L"(text + i, (count - i) * 4UL);\n";
        text += L"        } else {\n";
        text += L"            total -= MACRO_" + id + L"(i, total);\n";
        text += L"        }\n    }\n    return total;\n}\n\n";
    }
    return text;
}

bool readFile(const char* path, std::wstring& out) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, nullptr);
    std::string bytes(size, '\0');
    DWORD got = 0;
    bool ok = size == 0 || ReadFile(file, &bytes[0], size, &got, nullptr);
    CloseHandle(file);
    if (!ok || got != size)
        return false;
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), &wide[0], units);
    out.clear();
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] != L'\r')
            out += wide[i];
        else if (i + 1 >= wide.size() || wide[i + 1] != L'\n')
            out += L'\n';
    }
    return true;
}

// Every match of the top-level combined pattern, line by line.
double baseline(corvel::Document& document, const corvel::RegEx* pattern, size_t& matches) {
    std::unique_ptr<zem::MatchResultsRegEx> results = zem::createMatchResultsRegEx();
    double start = now();
    for (int32_t line = 0; line < document.getLineCount(); ++line) {
        int32_t length = document.getLineLength(line);
        corvel::GapBuffer::View view = document.readText(document.getLineStart(line), length);
        const wchar_t* text = view.data();
        for (int32_t at = 0; at < length;) {
            zem::RegEx::search(results.get(), pattern, text, text + length, text + at, text + length);
            if (!results->isMatched())
                break;
            ++matches;
            int32_t end = results->getEnd(0);
            at = end > results->getBegin(0) ? end : end + 1;
        }
    }
    return now() - start;
}

void print(const char* what, double seconds, size_t units, int32_t lines) {
    std::printf("%-22s %8.3f s  %8.2f MB/s  %10.0f lines/s\n", what, seconds,
                static_cast<double>(units) / 1e6 / seconds, static_cast<double>(lines) / seconds);
}

} // namespace

int main(int argc, char** argv) {
    zem::recordMainThread();
    std::wstring text;
    if (argc > 1 && !readFile(argv[1], text)) {
        std::printf("cannot read %s\n", argv[1]);
        return 1;
    }
    if (argc <= 1)
        text = generateC();
    CGrammar grammar;
    corvel::Document document(nullptr);
    document.lockEdit();
    document.setGrammar(grammar.root, grammar.root->getId(), L"source.c", true);
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    int32_t lines = document.getLineCount();
    std::printf("%s: %zu units (1 MB = 10^6 units), %d lines\n", argc > 1 ? argv[1] : "generated C", text.size(), lines);

    corvel::EndPatternCache cache;
    corvel::LineParser parser;
    double parseSeconds = 0;
    double baseSeconds = 0;
    int32_t failed = 0;
    size_t matches = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        // From nothing again: no stored lines, no scopes, no end patterns.
        document.setGrammar(grammar.root, grammar.root->getId(), L"source.c", true);
        cache.clear();
        parser.bind(&document, &cache);
        double start = now();
        failed = 0;
        for (int32_t line = 0; line < lines; ++line)
            failed += parser.parseLine(line) ? 0 : 1;
        double seconds = now() - start;
        parseSeconds = round == 0 ? seconds : std::min(parseSeconds, seconds);
        matches = 0;
        seconds = baseline(document, grammar.root->getChildPattern(), matches);
        baseSeconds = round == 0 ? seconds : std::min(baseSeconds, seconds);
    }
    print("line parser", parseSeconds, text.size(), lines);
    print("baseline (search)", baseSeconds, text.size(), lines);
    std::printf("ratio (baseline time / parser time): %.2f   (%zu baseline matches, %d lines failed)\n",
                baseSeconds / parseSeconds, matches, failed);

    // One character typed mid-file, then re-parsed as a parse job would.
    int32_t middle = lines / 2;
    document.insertText(document.getLineStart(middle), 1, L"/", 0);
    double start = now();
    int32_t reparsed = 0;
    for (int32_t line = middle; line < lines; ++line) {
        if (line > middle && parser.isLineCurrent(line))
            break;
        parser.parseLine(line);
        ++reparsed;
    }
    double editSeconds = now() - start;
    std::printf("one-character edit at line %d: %d lines re-parsed in %.3f ms\n", middle, reparsed, editSeconds * 1e3);
    parser.unbind();
    document.unlockEdit();
    return 0;
}
