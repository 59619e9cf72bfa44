#include "corvel/document/DocumentControllerSearchSession.h"

#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "support/ControllerFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvel::DocumentController;
using corvel::DocumentControllerSearchSession;
using corvel::Selection;

class SearchSessionTest : public documenttest::ControllerFixture {
protected:
    DocumentControllerSearchSession* session() { return controller->getSearchSession(); }
    std::pair<int32_t, int32_t> selected() {
        controller->beginEdit(DocumentController::EDIT_READ);
        const corvel::SelectionRange& range = selection()->getRanges().front();
        std::pair<int32_t, int32_t> out(range.start(), range.end());
        controller->endEdit();
        return out;
    }
    std::wstring replaceAll(const std::wstring& text, const wchar_t* pattern, bool regex, const wchar_t* with,
                            bool format, bool* replaced = nullptr) {
        setText(text);
        EXPECT_TRUE(session()->setFinder(pattern, regex, true, false));
        session()->setReplacer(with, format);
        bool any = session()->replaceAll();
        if (replaced)
            *replaced = any;
        return this->text();
    }
};

TEST_F(SearchSessionTest, FindsBothWaysAndAsksToWrapOnce) {
    setText(L"ab ab ab");
    ASSERT_TRUE(session()->setFinder(L"ab", false, true, false));
    selectOffsets(4, 4);
    EXPECT_TRUE(session()->find(false, nullptr));
    EXPECT_EQ(std::make_pair(6, 8), selected());
    int asked = 0;
    auto wrap = [&asked] { return ++asked > 0; };
    EXPECT_TRUE(session()->find(false, wrap));
    EXPECT_EQ(1, asked);
    EXPECT_EQ(std::make_pair(0, 2), selected());
    EXPECT_TRUE(session()->find(true, wrap));
    EXPECT_EQ(2, asked);
    EXPECT_EQ(std::make_pair(6, 8), selected());
    EXPECT_EQ(6, caret()) << "found backward, the caret stands at the start";
    // Without a wrap query the end of the text ends the search.
    EXPECT_FALSE(session()->find(false, nullptr));
}

TEST_F(SearchSessionTest, RefusesEmptyTextsAndBadPatterns) {
    EXPECT_FALSE(session()->setFinder(L"", false, true, false));
    EXPECT_FALSE(session()->setFinder(L"(a", true, true, false));
    EXPECT_FALSE(session()->find(false, nullptr));
    EXPECT_FALSE(session()->replaceAll());
}

TEST_F(SearchSessionTest, ReplaceAllEndsAfterEmptyMatchesAndSeesTheUnitBefore) {
    bool replaced = false;
    EXPECT_EQ(L"> a\n> b", replaceAll(L"a\nb", L"^", true, L"> ", false, &replaced));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(L"-a-b-", replaceAll(L"ab", L"x*", true, L"-", false));
    EXPECT_EQ(L"<one> <two>", replaceAll(L"one two", L"(\\w+)", true, L"<$1>", true));
    EXPECT_EQ(L"b b b", replaceAll(L"aa aa aa", L"aa", false, L"b", false));
    EXPECT_EQ(L"xyz", replaceAll(L"xyz", L"q", false, L"b", false, &replaced));
    EXPECT_FALSE(replaced);
}

TEST_F(SearchSessionTest, ReplaceNextWritesOnlyTheSelectedMatch) {
    setText(L"cat cat cat");
    ASSERT_TRUE(session()->setFinder(L"cat", false, true, false));
    session()->setReplacer(L"dog", false);
    selectOffsets(0, 0);
    ASSERT_TRUE(session()->find(false, nullptr));
    EXPECT_TRUE(session()->replace(0, 3, nullptr));
    EXPECT_EQ(L"dog cat cat", text());
    EXPECT_EQ(std::make_pair(4, 7), selected());
    // A range that is not a match is left alone; the search still moves on.
    EXPECT_TRUE(session()->replace(3, 6, nullptr));
    EXPECT_EQ(L"dog cat cat", text());
}

TEST_F(SearchSessionTest, SearchesStayInsideTheSelectionSpans) {
    setText(L"ab ab ab ab");
    controller->beginEdit(DocumentController::EDIT_READ);
    selection()->selectOffsets(3, 5, Selection::ID_NORMAL);
    selection()->addSelection(controller->offsetToPosition(9), controller->offsetToPosition(11), Selection::ID_NORMAL);
    corvel::Span* primary = controller->getSpanBinding()->createSelectionSpans(std::wstring());
    controller->endEdit();
    ASSERT_NE(nullptr, primary);
    session()->setSearchContext(primary->getContext());
    ASSERT_TRUE(session()->setFinder(L"ab", false, true, false));
    session()->setReplacer(L"X", false);
    EXPECT_TRUE(session()->replaceAll());
    EXPECT_EQ(L"ab X ab X", text());
}

} // namespace
