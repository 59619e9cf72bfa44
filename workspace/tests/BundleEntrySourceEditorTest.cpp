#include "corvel/workspace/BundleEntrySourceEditor.h"

#include "BundleEditorFixture.h"
#include "corvel/bundles/markValidationErrors.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/widgets/afControlListView.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::BundleEntryEditorState;
using corvel::BundleEntrySourceEditor;
using corvel::BundleEntrySourceEditorState;
using corvel::DocumentController;

namespace {

class BundleEntrySourceEditorTest : public workspacetest::BundleEditorFixture {
protected:
    void SetUp() override {
        BundleEditorFixture::SetUp();
        snippet = loadSnippet();
        ASSERT_NE(nullptr, snippet);
        editor = BundleEntrySourceEditor::create(&host, managers);
        editor->modifiedCallback = {this, [](void* self, corvel::BundleEntryEditor*) {
                                        ++static_cast<BundleEntrySourceEditorTest*>(self)->editorModified;
                                    }};
    }
    void TearDown() override {
        for (auto& state : states) {
            if (state->getEditor())
                state->detach();
        }
        states.clear();
        BundleEditorFixture::TearDown();
    }

    BundleEntrySourceEditorState* open(corvel::BundleEntry* entry) {
        states.emplace_back(editor->createState(entry));
        auto* state = static_cast<BundleEntrySourceEditorState*>(states.back().get());
        state->setNotification(this, [](void* self, BundleEntryEditorState*) {
            ++static_cast<BundleEntrySourceEditorTest*>(self)->notifications;
        });
        state->attach(editor);
        return state;
    }
    static std::wstring text(DocumentController* controller) {
        controller->beginEdit(DocumentController::EDIT_READ);
        std::wstring all;
        controller->getAllText(all);
        controller->endEdit();
        return all;
    }
    static void replaceText(DocumentController* controller, const std::wstring& from, const std::wstring& to) {
        std::wstring all = text(controller);
        size_t at = all.find(from);
        ASSERT_NE(std::wstring::npos, at);
        controller->beginEdit(DocumentController::EDIT_WRITE);
        controller->getSelection()->selectOffsets(static_cast<int32_t>(at), static_cast<int32_t>(at + from.size()),
                                                  corvel::Selection::ID_NORMAL);
        controller->insertString(to);
        controller->endEdit();
    }

    corvel::Snippet* snippet = nullptr;
    BundleEntrySourceEditor* editor = nullptr; // owned by the host
    std::vector<std::unique_ptr<BundleEntryEditorState>> states;
    int notifications = 0;
    int editorModified = 0;
};

} // namespace

TEST_F(BundleEntrySourceEditorTest, ShowsTheEntrysSourceUnmodifiedInItsEditor) {
    BundleEntrySourceEditorState* state = open(snippet);
    EXPECT_EQ(snippet->getSource(), text(state->getController()));
    EXPECT_FALSE(state->getController()->isModified());
    EXPECT_FALSE(state->isModified());
    EXPECT_EQ(state->getController(), editor->getEditor()->getDocumentController());
    EXPECT_EQ(0u, state->getErrors().size());
    EXPECT_EQ(L"Source", editor->getCaption());
}

// Caught: the state's document had no path, so nothing could choose its grammar by name.
TEST_F(BundleEntrySourceEditorTest, TheDocumentIsNamedLikeAJasmineFileAndStaysUntitled) {
    BundleEntrySourceEditorState* state = open(snippet);
    DocumentController* controller = state->getController();
    EXPECT_EQ(L"source.jasmine", controller->getFilePath());
    EXPECT_EQ(L"Untitled", controller->getTitle()) << "nothing may save or watch that name";
    EXPECT_FALSE(controller->isModified());
}

TEST_F(BundleEntrySourceEditorTest, EditingMarksTheStateModifiedOnce) {
    BundleEntrySourceEditorState* state = open(snippet);
    replaceText(state->getController(), L"Table", L"Tabl");
    replaceText(state->getController(), L"Tabl", L"Tab");
    EXPECT_TRUE(state->isModified());
    EXPECT_TRUE(state->isChanged());
    EXPECT_EQ(1, notifications);
    EXPECT_EQ(1, editorModified);
}

TEST_F(BundleEntrySourceEditorTest, SavingValidTextRetitlesTheInstalledEntry) {
    ASSERT_TRUE(snippet->isInstalled());
    BundleEntrySourceEditorState* state = open(snippet);
    replaceText(state->getController(), L"Table", L"Grid");
    ASSERT_TRUE(state->save());
    // Outside an update bracket the installed entry would have kept its title.
    EXPECT_EQ(L"Grid", snippet->getTitle());
    EXPECT_FALSE(state->isModified());
    EXPECT_FALSE(state->getController()->isModified());
}

TEST_F(BundleEntrySourceEditorTest, SavingTextThatDoesNotParseFailsAndMarksTheProblem) {
    BundleEntrySourceEditorState* state = open(snippet);
    replaceText(state->getController(), L"'Table'", L"'Grid");
    EXPECT_FALSE(state->save());
    EXPECT_TRUE(state->isModified());
    EXPECT_EQ(L"Table", snippet->getTitle());
    ASSERT_GT(state->getErrors().size(), 0u);
    EXPECT_GT(editor->getValidationList()->getItemCount(), 0);
    bool marked = false;
    for (int32_t line = 0; line < state->getController()->getLineCount(); ++line) {
        if (const auto* markers = state->getController()->getLineMarkers(line))
            marked = marked || (!markers->empty() && markers->front().kind == corvel::VALIDATION_MARKER_KIND);
    }
    EXPECT_TRUE(marked);
}

TEST_F(BundleEntrySourceEditorTest, EditsSurviveSwitchingToAnotherEntryAndBack) {
    BundleEntrySourceEditorState* first = open(snippet);
    replaceText(first->getController(), L"Table", L"Grid");
    first->detach();
    corvel::Bundle* bundle = m_manager->getBundle(uuid(1));
    BundleEntrySourceEditorState* second = open(bundle);
    EXPECT_EQ(second->getController(), editor->getEditor()->getDocumentController());
    second->detach();
    first->attach(editor);
    EXPECT_NE(std::wstring::npos, text(editor->getEditor()->getDocumentController()).find(L"Grid"));
    EXPECT_TRUE(first->isModified());
}

namespace {

class OtherState : public BundleEntryEditorState {
public:
    using BundleEntryEditorState::BundleEntryEditorState;
};

} // namespace

TEST_F(BundleEntrySourceEditorTest, RefusesTheStatesOfOtherEditors) {
    OtherState other(snippet);
    try {
        editor->attach(&other);
        ADD_FAILURE() << "attached";
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"State is not for source.", e.message());
    }
    EXPECT_THROW(editor->detach(&other), zem::InvalidArgumentException);
    EXPECT_THROW(editor->checkState(&other), zem::InvalidArgumentException);
}
