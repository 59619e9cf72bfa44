// Scope preferences (".cvPreferences") as the loader reads them: the scope selector and
// the character pairs, written back and read again.
#include "EntryFuzz.h"

#include "corvel/bundles/ScopePreferencesBundleItem.h"

namespace {

fuzz::Verdict run(const std::string& input) {
    static const corvel::BundleEntryTypeInfo kind = fuzz::standardKind(corvel::SCOPE_PREFERENCES_TYPE_ID);
    return fuzz::readAndRoundTrip<corvel::ScopePreferencesBundleItem>(kind, input, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_preferences",
                        {"{", "}", "[", "]", "scope", "settings", "pairs", "block", "['(' ')']", "['{' '}' block]",
                         "'\"'", ":", "'", "\"", ",", "source.python", "null", "12"},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
