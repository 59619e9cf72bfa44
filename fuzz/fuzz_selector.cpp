// Scope selectors as bundle files and themes write them: compiled, then matched against a
// few paths, anchored and not. A refused text must fail with the selector's own syntax
// errors positioned inside it; an accepted one compiles to the same program every time.
#include "FuzzHarness.h"

#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"
#include "zem/base/ParserException.h"

#include <memory>

namespace {

const wchar_t* const PATHS[][4] = {
    {L"source.python", L"meta.function.python", L"string.quoted.double.python", nullptr},
    {L"text.html.basic", L"source.js.embedded.html", L"comment.line", L"punctuation.definition.comment"},
    {L"source.c++", L"meta.block.c++", nullptr, nullptr},
    {L"text.plain", nullptr, nullptr, nullptr},
};

struct Paths {
    std::unique_ptr<corvel::ScopePath> paths[4];
    Paths() {
        for (size_t i = 0; i < 4; ++i) {
            paths[i].reset(new corvel::ScopePath);
            // Atoms are pushed innermost first.
            for (int k = 3; k >= 0; --k) {
                if (PATHS[i][k])
                    paths[i]->push(PATHS[i][k]);
            }
            paths[i]->buildIndex();
        }
    }
};

fuzz::Verdict run(const std::string& input) {
    static Paths paths;
    std::wstring text = fuzz::bytesAsLatin1(input);
    corvel::ScopeSelector selector;
    try {
        selector.compile(text.data(), text.size());
    } catch (const zem::ParserException& e) {
        if (e.begin().offset < 0 || static_cast<size_t>(e.begin().offset) > text.size())
            throw fuzz::Changed{"error positioned outside the text"};
        if (!selector.isEmpty())
            throw fuzz::Changed{"a failed compile left a program behind"};
        return fuzz::REJECTED;
    }
    corvel::ScopeSelector again(text.data(), text.size());
    if (again.program() != selector.program())
        throw fuzz::Changed{"the same text compiled to another program"};
    for (auto& path : paths.paths) {
        corvel::ScopeSelectorMatcher matcher(*path);
        corvel::ScopeMatch anchored;
        corvel::ScopeMatch loose;
        bool anchoredHit = matcher.match(selector, anchored, true);
        bool looseHit = matcher.match(selector, loose, false);
        if (anchoredHit && anchored.operand)
            matcher.innermostAtomOf(anchored.operand, true);
        if (looseHit && loose.operand)
            matcher.innermostAtomOf(loose.operand, false);
    }
    return fuzz::ACCEPTED;
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{
        "fuzz_selector", {"source", ".", " ", ",", "&", "|", " - ", "(", ")", "text.html", "string.quoted"}, &run};
    return fuzz::runFuzzer(argc, argv, target);
}
