#include "corvel/document/SpanBinding.h"
#include "corvel/document/DocumentControllerSearchSession.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/SpanHighlighter.h"
#include "support/ControllerFixture.h"

#include "support/BytesStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using corvel::DocumentController;
using corvel::Span;
using corvel::SpanContext;

using BytesStream = documenttest::BytesStream;

// A snippet-like context: "for (i) { i }" with placeholder 1 at "i" and its mirror, and
// the final stop 0 at the end.
class SpanBindingTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        setText(L"<>");
        controller->beginEdit(DocumentController::EDIT_WRITE);
        corvel::SpanBinding* binding = controller->getSpanBinding();
        snippet = new SpanContext(L"snippet.test", binding, 0);
        Span::attachWithText(controller, snippet, binding->getRoot(), 1, nullptr);
        addField(L"for (", -1);
        master = addField(L"i", 1);
        addField(L") { ", -1);
        mirror = addField(L"i", -2);
        addField(L" }", -1);
        finalStop = addField(L"", 0);
        binding->setSpan(master);
        controller->endChangeBatch();
        controller->endEdit();
    }
    Span* addField(const wchar_t* text, int32_t number) {
        Span* span = new Span(L"", static_cast<int32_t>(std::wcslen(text)));
        Span::attachWithText(controller, span, snippet, -1, text);
        if (number >= 0)
            snippet->setMaster(number, span);
        else if (number == -2)
            snippet->addMirror(1, span);
        return span;
    }

    SpanContext* snippet = nullptr;
    Span* master = nullptr;
    Span* mirror = nullptr;
    Span* finalStop = nullptr;
};

TEST_F(SpanBindingTest, TypingIntoAMasterRewritesItsMirror) {
    EXPECT_EQ(L"<for (i) { i }>", text());
    EXPECT_EQ(14, snippet->getEnd());
    selectOffsets(6, 7);
    type(L"index");
    EXPECT_EQ(L"<for (index) { index }>", text());
    EXPECT_EQ(22, snippet->getEnd()) << "the context stretched over both";
    corvel::ScopePath path;
    controller->getContextScopePath(path);
    EXPECT_NE(nullptr, path.find(L"snippet.test"));
}

TEST_F(SpanBindingTest, TabbingPastTheLastPlaceholderLeavesTheContext) {
    controller->beginEdit(DocumentController::EDIT_READ);
    corvel::SpanBinding* binding = controller->spans();
    EXPECT_TRUE(binding->gotoNextSpan(false)) << "to the final stop";
    EXPECT_EQ(binding->getRoot(), binding->getCurrent()) << "the final stop leaves the context";
    EXPECT_FALSE(binding->gotoNextSpan(false));
    controller->endEdit();
    EXPECT_EQ(14, caret());
}

TEST_F(SpanBindingTest, AnInsertionOutsideThePlaceholdersClosesTheirContext) {
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->insertAt(0, 1, L"x");
    controller->endEdit();
    EXPECT_EQ(L"x<for (i) { i }>", text());
    EXPECT_EQ(0, controller->spans()->getRoot()->getChildCount());
    EXPECT_EQ(16, controller->spans()->getRoot()->getLength());
}

TEST_F(SpanBindingTest, ASpansRecordReadBackGivesTheSameTree) {
    corvel::SpanBinding* binding = controller->spans();
    BytesStream record;
    binding->writeState(record);
    std::wstring dump;
    record.at = 0;
    corvel::SpanBinding::dumpState(record, L"", dump);
    EXPECT_EQ(0u,
              dump.find(L"Span count = 8\n [0] PI=0 CI=0   [[ SpanContext ]]\n [1] PI=0 CI=0   [[ SpanContext ]]\n"));
    record.at = 0;
    controller->beginEdit(DocumentController::EDIT_READ);
    ASSERT_TRUE(binding->readState(record));
    controller->endEdit();
    SpanContext* root = binding->getRoot();
    ASSERT_EQ(1, root->getChildCount());
    SpanContext* copy = dynamic_cast<SpanContext*>(root->getFirstChild());
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(6, copy->getChildCount());
    Span* copyMaster = copy->getIndexedChild(1);
    ASSERT_NE(nullptr, copyMaster);
    EXPECT_EQ(6, copyMaster->getStart());
    EXPECT_EQ(copyMaster, binding->getCurrent());
    EXPECT_EQ(copy, binding->getActiveContext());
    ASSERT_NE(nullptr, copy->findGroup(1, false));
    EXPECT_EQ(1u, copy->findGroup(1, false)->mirrors.size());
}

TEST_F(SpanBindingTest, ADamagedSpansRecordChangesNothing) {
    corvel::SpanBinding* binding = controller->spans();
    BytesStream record;
    binding->writeState(record);
    SpanContext* root = binding->getRoot();
    BytesStream badParent = record;
    badParent.data[4 + 12 + 4] = 9; // span 1 names itself a later parent
    BytesStream badCreator = record;
    badCreator.data[4 + 12] ^= 0xFF;
    BytesStream cut = record;
    cut.data.resize(cut.data.size() - 2);
    controller->beginEdit(DocumentController::EDIT_READ);
    for (BytesStream* bad : {&badParent, &badCreator, &cut}) {
        EXPECT_FALSE(binding->readState(*bad));
        EXPECT_EQ(root, binding->getRoot());
        EXPECT_EQ(master, binding->getCurrent());
    }
    controller->endEdit();
}

TEST_F(SpanBindingTest, UndoRestoresTheSpans) {
    selectOffsets(6, 7);
    type(L"k");
    EXPECT_EQ(L"<for (k) { k }>", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"<for (i) { i }>", text());
    ASSERT_EQ(1, controller->spans()->getRoot()->getChildCount()) << "the snippet context is back";
    type(L"j");
    EXPECT_EQ(L"<for (j) { j }>", text()) << "and its mirror works again";
}

// "<i = i + i>": the master between two mirrors that are its siblings.
class MirrorsAroundAMasterTest : public SpanBindingTest {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        setText(L"<>");
        controller->beginEdit(DocumentController::EDIT_WRITE);
        corvel::SpanBinding* binding = controller->getSpanBinding();
        snippet = new SpanContext(L"snippet.test", binding, 0);
        Span::attachWithText(controller, snippet, binding->getRoot(), 1, nullptr);
        fields.push_back(addField(L"i", -2));
        fields.push_back(addField(L" = ", -1));
        master = addField(L"i", 1);
        fields.push_back(master);
        fields.push_back(addField(L" + ", -1));
        fields.push_back(addField(L"i", -2));
        binding->setSpan(master);
        controller->endChangeBatch();
        controller->endEdit();
    }
    std::string layout() const {
        std::string out;
        for (const Span* field : fields)
            out += "[" + std::to_string(field->getStart()) + "," + std::to_string(field->getEnd()) + ")";
        return out;
    }
    std::vector<Span*> fields;
};

TEST_F(MirrorsAroundAMasterTest, TypingRewritesTheMirrorsOnBothSides) {
    EXPECT_EQ(L"<i = i + i>", text());
    selectOffsets(5, 6);
    type(L"jk");
    EXPECT_EQ(L"<jk = jk + jk>", text());
    EXPECT_EQ("[1,3)[3,6)[6,8)[8,11)[11,13)", layout());
    EXPECT_EQ(13, snippet->getEnd());
    EXPECT_EQ(14, controller->spans()->getRoot()->getLength());
    EXPECT_EQ(8, caret());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"<i = i + i>", text());
}

TEST(LineMarksTest, MarksRangesAndPoints) {
    corvel::CellMarks marks;
    marks.mark(5, 5, 0x4);
    EXPECT_EQ(0, marks.rangeBits(5));
    EXPECT_EQ(0x4, marks.pointBits(5));
    marks.mark(2, 4, 0x1);
    EXPECT_EQ(0x1, marks.rangeBits(2));
    EXPECT_EQ(0x1, marks.rangeBits(3));
    EXPECT_EQ(0, marks.rangeBits(4));
    EXPECT_EQ(15u, marks.size());
    marks.mark(-1, 3, 0x2);
    marks.mark(6, 4, 0x2);
    EXPECT_EQ(0, marks.rangeBits(0) & 0x2) << "negative and inverted ranges mark nothing";
    marks.clear();
    EXPECT_EQ(0, marks.pointBits(5));
    EXPECT_FALSE(marks.isChanged());
}

TEST_F(SpanBindingTest, SearchMatchesBecomeSpans) {
    corvel::DocumentControllerSearchSession* session = controller->getSearchSession();
    EXPECT_EQ(corvel::DocumentControllerSearchSession::MODE_NONE, session->getMode());
    controller->beginEdit(DocumentController::EDIT_READ);
    SpanContext* empty = session->showMatches({{3, 3}});
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0, empty->getChildCount()) << "empty ranges make no spans";
    SpanContext* matches = session->showMatches({{1, 4}, {8, 6}});
    ASSERT_NE(nullptr, matches);
    EXPECT_EQ(2, matches->getChildCount());
    ASSERT_NE(nullptr, matches->getIndexedChild(2));
    EXPECT_EQ(6, matches->getIndexedChild(2)->getStart());
    EXPECT_EQ(matches, session->showMatches({}));
    session->setMode(0x1234);
    EXPECT_EQ(nullptr, session->getMatchContext());
    EXPECT_EQ(corvel::DocumentControllerSearchSession::ANCHOR_UNSET, session->getAnchorOffset());
    controller->endEdit();
    EXPECT_EQ(0, controller->spans()->getRoot()->getChildCount());
}

TEST_F(SpanBindingTest, TheHighlighterPaintsTheFieldsWhileTheContextIsActive) {
    corvel::SpanHighlighter* highlighter = controller->spans()->getHighlighter();
    EXPECT_EQ(2u, highlighter->getSpans().size()) << "the masters of groups 0 and 1";
    highlighter->setMarkBit(2);
    corvel::CellMarks cells;
    highlighter->highlight(0, 0, 15, cells);
    EXPECT_EQ(2, cells.rangeBits(6));
    EXPECT_EQ(0, cells.rangeBits(7));
    EXPECT_EQ(2, cells.pointBits(14)) << "the empty final stop";
    corvel::CellMarks inside;
    highlighter->highlight(0, 6, 15, inside);
    EXPECT_EQ(2, inside.rangeBits(0)) << "a line range that starts inside a span paints from 0";
}

} // namespace
