#include "corvel/workspace/SnippetEditor.h"

#include "BundleEditorFixture.h"
#include "corvel/bundles/BundleEntryError.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlShortcut.h"
#include "corvel/widgets/afStandardWidgetKit.h"
#include "corvel/workspace/BundleEntrySourceEditor.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::BundleEntryEditorState;
using corvel::DocumentController;
using corvel::SnippetEditor;
using corvel::SnippetEditorState;

namespace {

class SnippetEditorTest : public workspacetest::BundleEditorFixture {
protected:
    void SetUp() override {
        corvel::afApp::setWidgetKit(&kit);
        BundleEditorFixture::SetUp();
    }
    void TearDown() override {
        for (auto& state : states) {
            if (state->getEditor())
                state->detach();
        }
        states.clear();
        BundleEditorFixture::TearDown();
        corvel::afApp::setWidgetKit(nullptr);
    }

    // The snippet of the text loaded from its file, its state shown in a new editor.
    SnippetEditorState* open(const std::wstring& text) {
        snippet = loadSnippet(text);
        if (!snippet)
            return nullptr;
        editor = SnippetEditor::create(&host, managers);
        // Laid out as in its tab: fields without room take no typing.
        editor->setFrame(corvel::afRect(0, 0, 640, 480));
        editor->markLayoutNeeded();
        editor->measure(corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 640),
                        corvel::afMeasureSpec::make(corvel::afMeasureSpec::EXACTLY, 480));
        editor->layout();
        editor->modifiedCallback = {this, [](void* self, corvel::BundleEntryEditor*) {
                                        ++static_cast<SnippetEditorTest*>(self)->editorModified;
                                    }};
        states.emplace_back(editor->createState(snippet));
        auto* state = static_cast<SnippetEditorState*>(states.back().get());
        state->attach(editor);
        return state;
    }
    // Replaces a field's text as typing does (a plain WM_SETTEXT reports no change).
    static void retype(corvel::afControlEdit* edit, const std::wstring& text) {
        SendMessageW(edit->getHandle(), EM_SETSEL, 0, -1);
        SendMessageW(edit->getHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    static void type(DocumentController* controller, const std::wstring& text) {
        controller->beginEdit(DocumentController::EDIT_WRITE);
        controller->insertString(text);
        controller->endEdit();
    }
    std::wstring userFileOf(int n) {
        return savedText(L"user:bundles/web." + uuidText(1) + L".cvBundle/snippets/table." + uuidText(n) +
                         L".cvSnippet");
    }

    corvel::afStandardWidgetKit kit;
    corvel::Snippet* snippet = nullptr;
    SnippetEditor* editor = nullptr; // owned by the host
    std::vector<std::unique_ptr<BundleEntryEditorState>> states;
    int editorModified = 0;
};

const wchar_t* const TABLE = L"{title: 'Table', scope: 'text.html', tab_trigger: 'tab', content: 'a$1b', "
                             L"color: 'kept'}";

} // namespace

TEST_F(SnippetEditorTest, FillsTheFormFromTheSnippet) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(L"Table", editor->getTitleEdit()->getText());
    EXPECT_EQ(L"text.html", editor->getScopeEdit()->getText());
    EXPECT_EQ(L"tab", editor->getTabTriggerEdit()->getText());
    EXPECT_EQ(0, editor->getShortcut()->getKey());
    EXPECT_EQ(L"a$1b", state->getContent());
    EXPECT_EQ(state->getController(), editor->getContentView()->getDocumentController());
    EXPECT_EQ(L"Snippet", editor->getCaption());
    // Showing the values is no change.
    EXPECT_FALSE(state->isModified());
    EXPECT_EQ(0, editorModified);
}

TEST_F(SnippetEditorTest, AppliesTheFormThroughItsFileKeepingKeysItDoesNotShow) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    retype(editor->getTitleEdit(), L"Grid");
    editor->getShortcut()->setKey(0x0341); // Ctrl+Shift+A
    type(state->getController(), L"x");
    EXPECT_TRUE(state->isModified());
    EXPECT_EQ(1, editorModified);
    ASSERT_TRUE(state->save());
    EXPECT_EQ(L"Grid", snippet->getTitle());
    EXPECT_EQ(corvel::afKey::toString(0x0341), snippet->getShortcut());
    EXPECT_EQ(L"xa$1b", snippet->getContent());
    ASSERT_TRUE(snippet->save());
    std::wstring file = userFileOf(2);
    EXPECT_NE(std::wstring::npos, file.find(L"Grid")) << file;
    EXPECT_NE(std::wstring::npos, file.find(L"kept")) << file;
}

struct CheckCase {
    const char* name;
    const wchar_t* title;
    const wchar_t* scope;
    const wchar_t* content;
    const wchar_t* firstError; // null: valid
};

TEST_F(SnippetEditorTest, ChecksTitleScopeAndContent) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    const CheckCase cases[] = {
        {"valid", L"Table", L"text.html", L"a$1b", nullptr},
        {"empty title", L"", L"text.html", L"a$1b", L"Value is empty."},
        {"bad scope", L"Table", L"text.html (", L"a$1b", L""},
        {"bad content", L"Table", L"text.html", L"a${1:b", L""},
    };
    for (const CheckCase& c : cases) {
        state->title = c.title;
        state->scope = c.scope;
        state->getController()->setText(c.content);
        bool valid = state->check();
        EXPECT_EQ(c.firstError == nullptr, valid) << c.name;
        if (!c.firstError)
            continue;
        ASSERT_GT(state->getErrors().size(), 0u) << c.name;
        if (*c.firstError) {
            EXPECT_EQ(c.firstError, state->getErrors().at(0)->getMessage()) << c.name;
        }
    }
}

TEST_F(SnippetEditorTest, ContentThatDoesNotParseIsListedAndMarked) {
    SnippetEditorState* state = open(L"{title: 'Table', content: \"one\\ntwo ${1:x\"}");
    ASSERT_NE(nullptr, state);
    ASSERT_GT(state->getErrors().size(), 0u);
    // The form shows what the file holds, though the snippet did not take it.
    EXPECT_EQ(L"Table", editor->getTitleEdit()->getText());
    EXPECT_EQ(L"one\ntwo ${1:x", state->getContent());
    bool marked = false;
    for (int32_t line = 0; line < state->getController()->getLineCount(); ++line) {
        if (const auto* markers = state->getController()->getLineMarkers(line))
            marked = marked || !markers->empty();
    }
    EXPECT_TRUE(marked);
}

TEST_F(SnippetEditorTest, AnInvalidScopeFailsTheApplyAndKeepsTheEdits) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    retype(editor->getScopeEdit(), L"text.html (");
    EXPECT_FALSE(state->save());
    EXPECT_TRUE(state->isModified());
    EXPECT_EQ(L"text.html (", editor->getScopeEdit()->getText());
}

TEST_F(SnippetEditorTest, AnEditAfterASaveMarksTheStateModifiedAgain) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    retype(editor->getTitleEdit(), L"Grid");
    ASSERT_TRUE(state->save());
    EXPECT_FALSE(state->isModified());
    // Once caught: the changed flag, still set, kept a second edit from counting.
    retype(editor->getTitleEdit(), L"Grid 2");
    EXPECT_TRUE(state->isModified());
}

TEST_F(SnippetEditorTest, RefusesOtherEntriesAndStates) {
    SnippetEditorState* state = open(TABLE);
    ASSERT_NE(nullptr, state);
    try {
        editor->createState(m_manager->getBundle(uuid(1)));
        ADD_FAILURE() << "made";
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"Entry is not a snippet.", e.message());
    }
    corvel::BundleEntrySourceEditorState other(snippet, nullptr, nullptr);
    try {
        editor->attach(&other);
        ADD_FAILURE() << "attached";
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"State is not for snippet.", e.message());
    }
    EXPECT_FALSE(SnippetEditor::acceptsState(&other));
    EXPECT_TRUE(SnippetEditor::acceptsState(state));
}
