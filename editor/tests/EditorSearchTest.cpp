// The editor as the search subscriber of the current document and selection: scopes,
// focus, finds both ways, find as you type, replace and replace all, and bad requests.
#include "corvel/document/FormatProgram.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "support/EditorFixture.h"
#include "support/LogCapture.h"

namespace {

using corvel::SearchRequest;

class EditorSearchTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        manager.reset(new corvel::SearchManager(nullptr, nullptr));
        editor->registerSearchScopes();
    }
    void TearDown() override {
        edtest::EditorFixture::TearDown();
        manager.reset();
    }
    bool run(const wchar_t* find, uint32_t action, bool backward = false,
             uint32_t scope = SearchRequest::SCOPE_CURRENT_DOCUMENT, const wchar_t* replace = L"") {
        SearchRequest request;
        request.findText = find;
        request.replaceText = replace;
        request.scopeId = scope;
        return editor->ssOnAction(&request, action, backward);
    }
    std::pair<int32_t, int32_t> selected() {
        const std::vector<corvel::SelectionRange>& ranges = selection()->getRanges();
        return {ranges.front().start(), ranges.back().end()};
    }

    std::unique_ptr<corvel::SearchManager> manager;
};

TEST_F(EditorSearchTest, RegistersBothScopesAndFollowsFocus) {
    ASSERT_NE(nullptr, manager->findScope(SearchRequest::SCOPE_CURRENT_DOCUMENT));
    ASSERT_NE(nullptr, manager->findScope(SearchRequest::SCOPE_CURRENT_SELECTION));
    EXPECT_EQ(L"Current selection", manager->findScope(SearchRequest::SCOPE_CURRENT_SELECTION)->title);
    editor->notifySearchFocus(true);
    EXPECT_EQ(editor, manager->findScope(SearchRequest::SCOPE_CURRENT_DOCUMENT)->subscriber);
    controller->setEditor(nullptr); // unbinding loses the focus for search
    EXPECT_EQ(nullptr, manager->findScope(SearchRequest::SCOPE_CURRENT_SELECTION)->subscriber);
}

TEST_F(EditorSearchTest, FindsForwardPastTheMatchAndBackwardFromItsStart) {
    setText(L"ab ab ab");
    setCaret(0, 0);
    ASSERT_TRUE(run(L"ab", corvel::SearchActionFind));
    EXPECT_EQ(std::make_pair(0, 2), selected());
    ASSERT_TRUE(run(L"ab", corvel::SearchActionFind));
    EXPECT_EQ(std::make_pair(3, 5), selected());
    ASSERT_TRUE(run(L"ab", corvel::SearchActionFind, true));
    EXPECT_EQ(std::make_pair(0, 2), selected());
}

TEST_F(EditorSearchTest, FindAsYouTypeExtendsTheMatchInPlace) {
    setText(L"a ab abc");
    setCaret(0, 0);
    ASSERT_TRUE(run(L"a", corvel::SearchActionFindAsYouType));
    EXPECT_EQ(std::make_pair(0, 1), selected());
    ASSERT_TRUE(run(L"ab", corvel::SearchActionFindAsYouType));
    EXPECT_EQ(std::make_pair(2, 4), selected());
    ASSERT_TRUE(run(L"abc", corvel::SearchActionFindAsYouType));
    EXPECT_EQ(std::make_pair(5, 8), selected());

    // Caught: the match of "a" at the start of the text was stepped over, so "ab" went on
    // to the next word instead of growing in place.
    setText(L"ab abc abcd");
    setCaret(0, 0);
    const wchar_t* typed[] = {L"a", L"ab", L"abc", L"abcd"};
    const std::pair<int32_t, int32_t> expected[] = {{0, 1}, {0, 2}, {3, 6}, {7, 11}};
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(run(typed[i], corvel::SearchActionFindAsYouType)) << typed[i];
        EXPECT_EQ(expected[i], selected()) << typed[i];
    }
}

TEST_F(EditorSearchTest, ReplaceAllIsOneUndoStep) {
    setText(L"x-x-x");
    ASSERT_TRUE(run(L"x", corvel::SearchActionReplaceAll, false, SearchRequest::SCOPE_CURRENT_DOCUMENT, L"yy"));
    EXPECT_EQ(L"yy-yy-yy", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"x-x-x", text());
}

TEST_F(EditorSearchTest, CurrentSelectionWithNothingSelectedSearchesTheDocument) {
    setText(L"one two");
    setCaret(0, 0);
    ASSERT_TRUE(run(L"two", corvel::SearchActionFind, false, SearchRequest::SCOPE_CURRENT_SELECTION));
    EXPECT_EQ(std::make_pair(4, 7), selected());
}

TEST_F(EditorSearchTest, BadRequestsChangeNothing) {
    setText(L"abc");
    EXPECT_FALSE(run(L"", corvel::SearchActionFind));
    SearchRequest request;
    request.findText = L"(";
    request.regularExpression = true;
    request.scopeId = SearchRequest::SCOPE_CURRENT_DOCUMENT;
    EXPECT_FALSE(editor->ssOnAction(&request, corvel::SearchActionFind, false));
    zemtest::LogCapture log;
    EXPECT_FALSE(run(L"a", 0x1234));
    bool logged = false;
    for (const auto& line : log.lines())
        logged =
            logged || (line.level == 1 && line.text.find(L"Editor::ssOnAction(): Invalid search action (1234).") == 0);
    EXPECT_TRUE(logged);
    EXPECT_EQ(L"abc", text());
    EXPECT_EQ(0, controller->getEditDepth()); // every bracket closed
    controller->setEditor(nullptr);
    EXPECT_FALSE(run(L"a", corvel::SearchActionFind));
}

// Found by fuzzing: a replacement format nested past the reader's limit threw out of the
// find action; it is refused and logged as a pattern that does not compile is.
TEST_F(EditorSearchTest, AFormatTheReaderRefusesIsLoggedAndReplacesNothing) {
    std::wstring nested;
    for (int i = 0; i <= corvel::FormatProgram::MAX_NESTING; ++i)
        nested += L"(?1:";
    const uint32_t actions[] = {corvel::SearchActionReplace, corvel::SearchActionReplaceAll};
    for (uint32_t action : actions) {
        setText(L"abc abc");
        setCaret(0, 0);
        SearchRequest request;
        request.findText = L"(b)";
        request.replaceText = nested;
        request.regularExpression = true;
        request.scopeId = SearchRequest::SCOPE_CURRENT_DOCUMENT;
        zemtest::LogCapture log;
        bool returned = true;
        EXPECT_NO_THROW(returned = editor->ssOnAction(&request, action, false)) << action;
        EXPECT_FALSE(returned) << action;
        bool logged = false;
        for (const auto& line : log.lines())
            logged =
                logged || (line.text.find(L"::setReplacer(): Cannot read replacement format: ") != std::wstring::npos &&
                           line.text.find(L"The format is nested too deeply.") != std::wstring::npos);
        EXPECT_TRUE(logged) << action;
        EXPECT_EQ(L"abc abc", text()) << action;
        EXPECT_EQ(0, controller->getEditDepth()) << action;
    }
}

TEST_F(EditorSearchTest, FillsTheFindTextFromTheSelectionForTheDocumentOnly) {
    setText(L"alpha beta");
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->selectOffsets(6, 10, corvel::Selection::ID_NORMAL);
    controller->endEdit();
    std::wstring find = L"old", replace = L"kept";
    editor->fillSearchText(find, replace, SearchRequest::SCOPE_CURRENT_SELECTION);
    EXPECT_EQ(L"old", find);
    editor->fillSearchText(find, replace, SearchRequest::SCOPE_CURRENT_DOCUMENT);
    EXPECT_EQ(L"beta", find);
    EXPECT_EQ(L"kept", replace);
}

} // namespace
