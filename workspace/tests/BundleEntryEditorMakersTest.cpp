#include "corvel/workspace/registerBundleEntryEditors.h"

#include "BundleEditorFixture.h"
#include "corvel/ui/afApp.h"
#include "corvel/widgets/afStandardWidgetKit.h"
#include "corvel/workspace/BundleEntrySourceEditor.h"
#include "corvel/workspace/SnippetEditor.h"

#include <gtest/gtest.h>

namespace {

class BundleEntryEditorMakersTest : public workspacetest::BundleEditorFixture {
protected:
    void SetUp() override {
        corvel::afApp::setWidgetKit(&kit);
        BundleEditorFixture::SetUp();
    }
    void TearDown() override {
        corvel::unregisterBundleEntryEditors();
        BundleEditorFixture::TearDown();
        corvel::afApp::setWidgetKit(nullptr);
    }

    corvel::afStandardWidgetKit kit;
};

} // namespace

TEST_F(BundleEntryEditorMakersTest, SnippetsGetTheFormAndOtherKindsTheSource) {
    corvel::Snippet* snippet = loadSnippet();
    ASSERT_NE(nullptr, snippet);
    corvel::BundleEntry* bundle = m_manager->getBundle(uuid(1));
    EXPECT_EQ(nullptr, snippet->getEditorFactory());
    EXPECT_EQ(nullptr, bundle->getEditorFactory());

    corvel::registerBundleEntryEditors(managers);
    ASSERT_NE(nullptr, snippet->getEditorFactory());
    ASSERT_NE(nullptr, bundle->getEditorFactory());
    corvel::afView* form = snippet->getEditorFactory()(&host, snippet);
    corvel::afView* source = bundle->getEditorFactory()(&host, bundle);
    EXPECT_NE(nullptr, dynamic_cast<corvel::SnippetEditor*>(form));
    EXPECT_NE(nullptr, dynamic_cast<corvel::BundleEntrySourceEditor*>(source));
    EXPECT_EQ(&host, form->getOwner());

    corvel::unregisterBundleEntryEditors();
    EXPECT_EQ(nullptr, snippet->getEditorFactory());
}
