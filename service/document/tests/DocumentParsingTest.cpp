// The manager's parser with real workers: a document's job follows its editor, and a
// document may close while its job is being parsed.
#include "corvel/config/Config.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/ParserJob.h"
#include "support/ControllerFixture.h"
#include "support/TestGrammar.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvel::ParserJob;

class DocumentParsingTest : public documenttest::ControllerFixture {
protected:
    void startParser(bool parseInactive) {
        corvel::Config config;
        config.declareValue(L"app.parser.threads_count", corvel::ConfigValue::TYPE_INT)->setInt(1);
        config.declareValue(L"app.parser.parse_inactive_documents", corvel::ConfigValue::TYPE_BOOL)
            ->setBool(parseInactive);
        documents->onSettingsChanged(config);
        documenttest::TestGrammar grammar(L"source.test");
        grammar.match(grammar.root(), L"\\bif\\b", L"keyword");
        grammar.block(grammar.root(), L"/\\*", L"\\*/", L"comment");
        grammars->setRepository(grammar.release().release());
        // Enough lines that the parse is still running when the test acts on it.
        std::wstring text;
        for (int32_t line = 0; line < 20000; ++line)
            text += L"line " + std::to_wstring(line) + L" if /* x */ y\n";
        controller->setText(text);
        controller->setLanguage(L"source.test");
    }
    ParserJob* job() const { return document()->getParseJob(); }

    documenttest::FakeEditor editor;
};

TEST_F(DocumentParsingTest, TheJobFollowsItsEditor) {
    struct Case {
        bool parseInactive;
        int32_t detachedPriority; // -1: taken out of the queue
    };
    for (const Case c : {Case{false, -1}, Case{true, ParserJob::PRIORITY_INACTIVE}}) {
        startParser(c.parseInactive);
        ASSERT_NE(nullptr, job());
        controller->setEditor(&editor);
        EXPECT_EQ(ParserJob::PRIORITY_ACTIVE, job()->priority());
        controller->setEditor(nullptr);
        if (c.detachedPriority < 0)
            EXPECT_NE(corvel::BgJob::STATE_QUEUED, job()->state()) << "an inactive document is not parsed";
        else
            EXPECT_EQ(c.detachedPriority, job()->priority());
    }
}

TEST_F(DocumentParsingTest, ADocumentClosesWhileItsJobIsParsed) {
    startParser(false);
    controller->setEditor(&editor);
    ASSERT_NE(nullptr, job());
    EXPECT_FALSE(job()->isDone()) << "the parse should still be running";
    // The last controller closes the document; the worker must let go of it safely.
    controllers->destroyController(controller);
    controller = controllers->createUntitledDocument();
    EXPECT_EQ(1u, documents->getDocuments().size());
    controller->setText(L"after");
    EXPECT_EQ(L"after", text());
}

} // namespace
