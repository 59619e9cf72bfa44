// Find and replace as the find dialog runs them on user text: the pattern (the input up
// to its first zero byte) is compiled, searched for through 1 KB of text forward and once
// backward, and every match is run through the replacement format (the rest of the
// input). A pattern may be refused only by the engine's compile error and a format only
// by its own syntax error; nothing may throw once both are accepted.
#include "FuzzHarness.h"

#include "corvel/document/Document.h"
#include "corvel/document/FinderRegEx.h"
#include "corvel/document/Replacer.h"
#include "zem/base/ParserException.h"

#include <exception>
#include <memory>

namespace {

std::wstring makeText() {
    static const wchar_t* const words[] = {L"alpha",
                                           L"Beta",
                                           L"gamma_1",
                                           L"\u00E9t\u00E9",
                                           L"\u0416\u0443\u043A",
                                           L"42",
                                           L"3.14",
                                           L"(x)",
                                           L"[y]",
                                           L"a\u0301",
                                           L"\U0001F600",
                                           L"foo.bar",
                                           L"  ",
                                           L"\t",
                                           L"$1",
                                           L"\\n"};
    std::wstring text;
    uint32_t state = 12345;
    while (text.size() < 1024) {
        state = state * 1664525u + 1013904223u;
        text += words[(state >> 8) % 16];
        text += ((state >> 20) % 7 == 0) ? L"\n" : L" ";
    }
    text.resize(1024);
    return text;
}

struct Text {
    corvel::Document document{nullptr};
    Text() {
        std::wstring text = makeText();
        document.lockEdit();
        document.beginEdit(nullptr, true);
        document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
        document.endEdit();
    }
};

fuzz::Verdict run(const std::string& input) {
    static Text text;
    const corvel::Document& document = text.document;
    size_t split = input.find('\0');
    std::wstring pattern = fuzz::bytesAsLatin1(input.substr(0, split));
    std::wstring format = split == std::string::npos ? std::wstring() : fuzz::bytesAsLatin1(input.substr(split + 1));
    if (pattern.empty())
        return fuzz::REJECTED;
    std::unique_ptr<corvel::FinderRegEx> finder;
    try {
        finder.reset(new corvel::FinderRegEx(pattern, (input.size() & 1) != 0));
    } catch (const std::exception&) {
        return fuzz::REJECTED; // what the find dialog reports as a bad expression
    }
    std::unique_ptr<corvel::ReplacerFormat> replacer;
    try {
        replacer.reset(new corvel::ReplacerFormat(format));
    } catch (const zem::ParserException&) {
        return fuzz::REJECTED;
    }
    const int32_t length = document.getLength();
    std::wstring out;
    int matches = 0;
    for (int32_t at = 0; at <= length && matches < 2000; ++matches) {
        const zem::MatchResults& found = finder->find(document, at, length, false);
        if (!found.isMatched())
            break;
        if (found.getBegin(0) < at || found.getEnd(0) > length || found.getBegin(0) > found.getEnd(0))
            throw fuzz::Changed{"a match outside the searched range"};
        out.clear();
        replacer->replace(found, document, out);
        at = found.getEnd(0) > found.getBegin(0) ? found.getEnd(0) : found.getEnd(0) + 1;
    }
    const zem::MatchResults& last = finder->find(document, 0, length, true);
    if (last.isMatched() && (last.getBegin(0) < 0 || last.getEnd(0) > length))
        throw fuzz::Changed{"a backward match outside the searched range"};
    return fuzz::ACCEPTED;
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{
        "fuzz_regex",
        {"(",   ")",    "(?:",  "(?=", "(?!", "(?<=", "*",   "+?",  "{2,3}",     "[a-z]",  "[^",
         "\\b", "\\w+", "\\d",  "\\1", "^",   "$",    ".*",  "|",   "\\x{263A}", "\\p{L}", std::string("\0", 1),
         "$1",  "$0",   "(?1:", ":",   "\\u", "\\U",  "\\L", "\\E", "\\n",       "\\t",    "${1:/upcase}"},
        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
