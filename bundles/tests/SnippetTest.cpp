#include "corvel/bundles/Snippet.h"

#include "corvel/bundles/BundleEntryError.h"
#include "corvel/bundles/SnippetValidator.h"
#include "support/TestKinds.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using bundletest::Ref;
using corvel::Snippet;

std::unique_ptr<zem::DictionaryValue> dictionaryOf(const std::wstring& text) {
    return std::unique_ptr<zem::DictionaryValue>(static_cast<zem::DictionaryValue*>(zem::parseJasmine(text)));
}

TEST(SnippetTest, ReadingTheContentAgainDropsTheParsedModel) {
    bundletest::TestKinds kinds;
    Ref<Snippet> snippet(new Snippet(&kinds.snippet, bundletest::newUuid()));
    snippet->readProperties(dictionaryOf(L"{title: \"If\", content: \"if ($1)\"}").get());
    corvel::SnippetModel* first = snippet->getParsedContent();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, snippet->getParsedContent());
    EXPECT_EQ(1u, first->masters.size());
    snippet->readProperties(dictionaryOf(L"{title: \"If\", content: \"${1:a} $2\"}").get());
    EXPECT_EQ(2u, snippet->getParsedContent()->masters.size());
    snippet->readProperties(dictionaryOf(L"{title: \"If\", content: \"${1:a\"}").get());
    EXPECT_THROW(snippet->getParsedContent(), zem::UnexpectedlyTerminatedException);
}

TEST(SnippetTest, TheTemplateQuotesTheTitle) {
    std::wstring text = Snippet::templateText(L"Say \"hi\"");
    EXPECT_EQ(
        0u, text.find(L"{\n\ttitle: \"Say \\\"hi\\\"\"\n\t\n\t// Snippet template to be inserted.\n\tcontent: \"\"\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"\t// A word shortcut that will expand in editor when TAB is pressed.\n"
                                            L"\ttab_trigger: \"\"\n}\n"));
    std::unique_ptr<zem::Value> parsed(zem::parseJasmine(text));
    ASSERT_NE(nullptr, parsed);
}

TEST(SnippetTest, TheValidatorPlacesContentErrorsInTheFile) {
    corvel::SnippetValidator validator;
    corvel::ValidationErrorList errors;
    EXPECT_TRUE(validator.validateSource(&errors, L"{title: 'a', scope: 'source', content: '${1:x}'}", L"user:a"));
    EXPECT_FALSE(validator.validateSource(&errors, L"{title: 'a', scope: 'source',\n content: 'ab${:x}'}", L"user:a"));
    ASSERT_EQ(1u, errors.size());
    const corvel::BundleEntryError* error = dynamic_cast<const corvel::BundleEntryError*>(*errors.begin());
    ASSERT_NE(nullptr, error);
    EXPECT_NE(std::wstring::npos,
              error->getMessage().find(L"Unexpected token `unknown`, expected `variable or number`."));
    EXPECT_TRUE(error->isPositioned());
    // Counted from 0: line 2, column 16.
    EXPECT_EQ(1, error->getStart().line);
    EXPECT_EQ(15, error->getStart().column);
}

} // namespace
