// Bundle descriptions (".cvInfo") as the loader reads them, through the bundle's validator
// and properties, and back through its writer.
#include "EntryFuzz.h"

#include "corvel/bundles/Bundle.h"

namespace {

fuzz::Verdict run(const std::string& input) {
    static const corvel::BundleEntryTypeInfo kind = fuzz::standardKind(corvel::BUNDLE_TYPE_ID);
    return fuzz::readAndRoundTrip<corvel::Bundle>(kind, input,
                                                  [](corvel::Bundle& bundle) { bundle.getDisplayTitle(); });
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_info",
                        {"{", "}", "[", "]", "title", "description", "contact_name", "contact_email", ":", "'", "\"",
                         "//", "+", "\xEF\xBB\xBF", "\xFF\xFE", "null", "12"},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
