// Themes (".cvTheme") as the loader reads them: the item's properties and the theme's
// colours and rules, which then style a few scope paths.
#include "EntryFuzz.h"

#include "corvel/bundles/ThemeBundleItem.h"
#include "corvel/document/DocumentTheme.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/TextStyle.h"

namespace {

void styleSomePaths(corvel::ThemeBundleItem& item) {
    static const wchar_t* const atoms[] = {L"source.python", L"string.quoted.double.python", L"comment.line",
                                           L"keyword.control", L"meta.function"};
    std::shared_ptr<corvel::DocumentTheme> theme = item.getTheme();
    corvel::ScopePath path;
    for (const wchar_t* atom : atoms) {
        path.push(atom);
        path.buildIndex();
        corvel::TextStyle style;
        theme->computeStyle(path, style, nullptr);
    }
}

fuzz::Verdict run(const std::string& input) {
    static const corvel::BundleEntryTypeInfo kind = fuzz::standardKind(corvel::THEME_TYPE_ID);
    return fuzz::readAndRoundTrip<corvel::ThemeBundleItem>(kind, input, &styleSomePaths);
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_theme",
                        {"{",
                         "}",
                         "[",
                         "]",
                         "settings",
                         "scope",
                         "foreground",
                         "background",
                         "font_style",
                         "'#FF0000'",
                         "'#80808080'",
                         "'#fff'",
                         "bold italic underline",
                         ":",
                         "'",
                         "\"",
                         ",",
                         "-",
                         "source",
                         "null"},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
