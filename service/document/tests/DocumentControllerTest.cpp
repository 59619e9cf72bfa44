#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentState.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/FinderBoyerMoore.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SelectionRange.h"
#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/TextChunk.h"
#include "corvel/document/UndoContext.h"
#include "support/ControllerFixture.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvel::DocumentController;
using corvel::Selection;
using corvel::TextPosition;

class DocumentControllerTest : public documenttest::ControllerFixture {};

TEST_F(DocumentControllerTest, BracketsNestAndAWriteInsideAReadIsRefused) {
    controller->beginEdit(DocumentController::EDIT_READ);
    controller->beginEdit(DocumentController::EDIT_READ);
    EXPECT_EQ(2, controller->getEditDepth());
    EXPECT_THROW(controller->beginEdit(DocumentController::EDIT_WRITE), zem::IllegalStateException);
    EXPECT_EQ(2, controller->getEditDepth()) << "the depth is unchanged";
    controller->endEdit();
    controller->endEdit();
    EXPECT_EQ(0, controller->getEditDepth());
    EXPECT_EQ(DocumentController::EDIT_NONE, controller->getEditMode());
    EXPECT_NE(nullptr, controller->beginEdit(DocumentController::EDIT_WRITE));
    EXPECT_NE(nullptr, controller->beginEdit(DocumentController::EDIT_READ)) << "inner brackets only count";
    controller->endEdit();
    controller->endEdit();
}

struct ChangeCounter {
    int calls = 0;
    DocumentController::ChangeRecord last;
    static void changed(void* self, DocumentController*, const DocumentController::ChangeRecord* record) {
        ChangeCounter* counter = static_cast<ChangeCounter*>(self);
        ++counter->calls;
        counter->last = *record;
    }
};

TEST_F(DocumentControllerTest, NestedBatchesSendOneChangeCoveringAll) {
    setText(L"one\ntwo\nthree\n");
    ChangeCounter counter;
    controller->changed.add(&ChangeCounter::changed, &counter);
    controller->beginChangeBatch();
    controller->markChanged(9, 5);
    controller->beginChangeBatch();
    controller->markChanged(1, 2);
    controller->markChanged(-1, 3);
    controller->endChangeBatch();
    EXPECT_EQ(0, counter.calls);
    controller->endChangeBatch();
    ASSERT_EQ(1, counter.calls);
    EXPECT_EQ(TextPosition(0, 1), counter.last.from);
    EXPECT_EQ(TextPosition(2, 1), counter.last.to);
}

TEST_F(DocumentControllerTest, UndoRestoresTextAndSelectionRedoReplaysThem) {
    setText(L"hello world");
    selectOffsets(6, 11);
    type(L"there");
    EXPECT_EQ(L"hello there", text());
    EXPECT_EQ(11, caret());
    EXPECT_TRUE(controller->isModified());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"hello world", text());
    EXPECT_EQ(11, caret()) << "the selection as it was before the edit";
    EXPECT_EQ(6, controller->positionToOffset(selection()->getAnchor()));
    ASSERT_TRUE(controller->redo());
    EXPECT_EQ(L"hello there", text());
    EXPECT_EQ(11, caret());
    EXPECT_TRUE(selection()->isEmpty());
    EXPECT_FALSE(controller->redo()) << "nothing left to redo";
}

TEST_F(DocumentControllerTest, AWriteBracketThatChangesNoTextLeavesNoGroup) {
    setText(L"abc");
    selectOffsets(3, 3);
    type(L"d");
    ASSERT_TRUE(controller->undo());
    controller->clearModified();
    // Only the selection moves: view records alone are no undo group.
    controller->beginEdit(DocumentController::EDIT_WRITE);
    selection()->selectOffsets(0, 2, Selection::ID_NORMAL);
    controller->endEdit();
    EXPECT_FALSE(controller->isModified());
    ASSERT_TRUE(controller->redo()) << "the redo tail is kept";
    EXPECT_EQ(L"abcd", text());
}

TEST_F(DocumentControllerTest, CommitUndoGroupSplitsABracketOnlyInWriteMode) {
    setText(L"");
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->insertString(L"ab");
    controller->commitUndoGroup();
    controller->insertString(L"cd");
    controller->endEdit();
    controller->beginEdit(DocumentController::EDIT_WRITE_NO_UNDO);
    controller->commitUndoGroup();
    controller->endEdit();
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"ab", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"", text());
}

struct PositionCase {
    const char* what;
    TextPosition position;
    int32_t offset;
};

TEST_F(DocumentControllerTest, PositionsAndOffsetsClampToTheText) {
    setText(L"ab\ncdef\n\nxyz");
    const PositionCase cases[] = {
        {"start", {0, 0}, 0},      {"column past the line", {0, 9}, 2},    {"second line", {1, 3}, 6},
        {"empty line", {2, 4}, 8}, {"line far past the end", {99, 0}, 12}, {"negative line", {-3, 1}, 1},
    };
    controller->beginEdit(DocumentController::EDIT_READ);
    for (const PositionCase& c : cases)
        EXPECT_EQ(c.offset, controller->positionToOffset(c.position)) << c.what;
    EXPECT_EQ(TextPosition(3, 3), controller->offsetToPosition(99)) << "clamped to the end";
    EXPECT_EQ(TextPosition(0, 0), controller->offsetToPosition(-5));
    EXPECT_EQ(TextPosition(1, 4, 1), controller->clampPosition(TextPosition(1, 9)));
    EXPECT_EQ(TextPosition(3, 3, 1), controller->clampPosition(TextPosition(7, 0)));
    EXPECT_TRUE(controller->isVirtualPosition(TextPosition(0, 3)));
    EXPECT_FALSE(controller->isVirtualPosition(TextPosition(0, 2)));
    EXPECT_EQ(std::make_pair(0, 0), controller->getLineRange(1, 3)) << "a line start after the first line excludes it";
    EXPECT_EQ(std::make_pair(0, 1), controller->getLineRange(1, 4));
    EXPECT_EQ(TextPosition(3, 3, 1), controller->getEndPosition());
    controller->endEdit();
}

struct TextCase {
    int32_t offset;
    int32_t length;
    const wchar_t* expected;
};

TEST_F(DocumentControllerTest, GetTextNeverReadsOutsideTheText) {
    setText(L"abcdef");
    const TextCase cases[] = {
        {0, 6, L"abcdef"}, {2, 2, L"cd"}, {4, 3, L"ef"}, {6, 1, L""}, {-1, 2, L""}, {2, -1, L""}, {0, 0, L""},
    };
    controller->beginEdit(DocumentController::EDIT_READ);
    for (const TextCase& c : cases) {
        std::wstring out = L"stale";
        controller->getText(out, c.length, c.offset);
        EXPECT_EQ(c.expected, out) << c.offset << "," << c.length;
    }
    std::wstring line;
    EXPECT_TRUE(controller->getLineText(0, line));
    EXPECT_FALSE(controller->getLineText(1, line));
    EXPECT_FALSE(controller->getLineText(-1, line));
    std::wstring joined;
    controller->getSelectedText({{1, 1, 1}, {0, 2, 2}, {5, 3, 3}}, joined);
    EXPECT_EQ(L"ab\nde", joined) << "an empty first range adds no break";
    controller->endEdit();
}

TEST_F(DocumentControllerTest, IndentationCommands) {
    setText(L"\tone\n\n  two\n      three");
    controller->setIndentation(0, false);
    EXPECT_EQ(1, controller->getSettings().indentation.getWidth());
    controller->setIndentation(40, true);
    EXPECT_EQ(16, controller->getSettings().indentation.getWidth());
    EXPECT_EQ(L' ', controller->getSettings().indentation.getIndentChar());
    controller->setIndentation(4, true);
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->setLineIndent(8, 1);
    controller->shiftLineIndent(-1, {{2, 3}});
    controller->shiftLineIndent(1, {{0, 0}});
    controller->endEdit();
    EXPECT_EQ(L"        one\n\ntwo\n  three", text())
        << "an empty line keeps no indentation; less than a level goes to column 0";
    std::wstring tab;
    controller->beginEdit(DocumentController::EDIT_READ);
    controller->getTabInsertText(19, tab);
    EXPECT_EQ(L"  ", tab) << "to the next multiple of the width";
    EXPECT_EQ(-1, controller->getLineIndentWidth(1, -1, false));
    EXPECT_EQ(0, controller->getLineIndentWidth(99, -1, true)) << "a missing line counts as empty";
    controller->endEdit();
}

TEST_F(DocumentControllerTest, TransformSelectionNeedsADelegateAndReplacesEachRange) {
    setText(L"alpha beta");
    EXPECT_THROW(controller->transformSelection(nullptr, nullptr), zem::InvalidArgumentException);
    auto upper = [](void*, const corvel::TextChunk& in, std::wstring& out) {
        out = in.str();
        for (wchar_t& c : out)
            c = static_cast<wchar_t>(towupper(c));
        return true;
    };
    controller->beginEdit(DocumentController::EDIT_WRITE);
    EXPECT_FALSE(controller->transformSelection(nullptr, upper)) << "nothing selected";
    selection()->selectOffsets(0, 5, Selection::ID_NORMAL);
    selection()->addSelection(controller->offsetToPosition(6), controller->offsetToPosition(10), Selection::ID_NORMAL);
    EXPECT_TRUE(controller->transformSelection(nullptr, upper));
    controller->endEdit();
    EXPECT_EQ(L"ALPHA BETA", text());
    EXPECT_EQ(2u, selection()->getRanges().size()) << "the ranges stay selected";
}

TEST_F(DocumentControllerTest, DeletingWithSeveralCaretsTypesIntoEveryCaret) {
    setText(L"one two three");
    controller->beginEdit(DocumentController::EDIT_WRITE);
    selection()->selectOffsets(0, 3, Selection::ID_NORMAL);
    selection()->addSelection(controller->offsetToPosition(4), controller->offsetToPosition(7), Selection::ID_NORMAL);
    EXPECT_TRUE(controller->removeSelectedText());
    controller->endEdit();
    EXPECT_EQ(L"  three", text());
    corvel::ScopePath path;
    controller->getContextScopePath(path);
    EXPECT_NE(nullptr, path.find(L"app.document.context.reflect"));
    type(L"xy");
    EXPECT_EQ(L"xy xy three", text());
}

// The fields under the carets as [start,end) pairs, in text order.
std::string fieldLayout(const corvel::Span* context) {
    std::string out;
    for (const corvel::Span* child = context->getFirstChild(); child; child = child->getNextSibling())
        out += "[" + std::to_string(child->getStart()) + "," + std::to_string(child->getEnd()) + ")";
    return out;
}

TEST_F(DocumentControllerTest, TypingAtManyCaretsKeepsEachFieldOverItsText) {
    // Carets side by side, at a line's start and end and at the document's end: the
    // mirrors are rewritten from the last to the first and then moved in one pass.
    setText(L"ab\ncd\nef");
    controller->beginEdit(DocumentController::EDIT_WRITE);
    selection()->selectRanges({corvel::SelectionRange(0, 0, 1), corvel::SelectionRange(1, 1, 2),
                               corvel::SelectionRange(3, 3, 3), corvel::SelectionRange(5, 5, 4),
                               corvel::SelectionRange(8, 8, 5)});
    controller->insertText(1, L"x");
    controller->endEdit();
    EXPECT_EQ(L"xaxb\nxcdx\nefx", text());
    type(L"yz");
    EXPECT_EQ(L"xyzaxyzb\nxyzcdxyz\nefxyz", text());
    const corvel::Span* field = controller->spans()->getCurrent();
    ASSERT_NE(nullptr, field);
    ASSERT_NE(nullptr, field->getParent());
    EXPECT_EQ("[0,3)[4,7)[9,12)[14,17)[20,23)", fieldLayout(field->getParent()));
    EXPECT_EQ(23, field->getParent()->getEnd()) << "the context stretched over every field";
    EXPECT_EQ(23, controller->spans()->getRoot()->getLength());
    EXPECT_EQ(3, caret());
}

TEST_F(DocumentControllerTest, MovingAndDuplicatingLines) {
    setText(L"a\nb\nc\nd");
    DocumentController::LineRanges down{{0, 0}};
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->moveLines(2, down);
    controller->endEdit();
    EXPECT_EQ(L"b\nc\na\nd", text());
    EXPECT_EQ(std::make_pair(2, 2), down[0]);
    DocumentController::LineRanges up{{3, 3}};
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->moveLines(0, up);
    controller->endEdit();
    EXPECT_EQ(L"d\nb\nc\na", text()) << "a last line moving up takes the break before it";
    DocumentController::LineRanges twice{{0, 1}};
    controller->beginEdit(DocumentController::EDIT_WRITE);
    controller->duplicateLines(twice);
    controller->endEdit();
    EXPECT_EQ(L"d\nb\nd\nb\nc\na", text());
    EXPECT_EQ(std::make_pair(2, 3), twice[0]);
}

TEST_F(DocumentControllerTest, FileChangesReachTheListOnceUntilAReload) {
    int told = 0;
    controller->fileChangedOnDisk.add([](void* count, DocumentController*) { ++*static_cast<int*>(count); }, &told);
    document()->notifyFileChanged(1);
    EXPECT_EQ(0, told) << "only modifications count";
    document()->notifyFileChanged(3);
    document()->notifyFileChanged(3);
    EXPECT_EQ(1, told);
    document()->notifyListeners([this](corvel::DocumentListener* l) { l->onReloadBegin(document()); });
    document()->notifyListeners([this](corvel::DocumentListener* l) { l->onReloadEnd(document()); });
    EXPECT_EQ(2, told) << "the reload's end tells once more";
    EXPECT_FALSE(controller->isFileChangedPending());

    document()->notifyFileChanged(3);
    controller->clearFileChanged();
    EXPECT_EQ(4, told) << "clearing tells the list";
    EXPECT_FALSE(controller->isFileChangedPending());
    controller->clearFileChanged();
    EXPECT_EQ(4, told) << "nothing to clear, nothing told";
}

TEST_F(DocumentControllerTest, ParsedLinesAreClampedForTheEditor) {
    setText(L"a\nb\nc");
    documenttest::FakeEditor editor;
    controller->setEditor(&editor);
    EXPECT_EQ(controller, editor.controller);
    document()->notifyLinesParsed(1, 50);
    EXPECT_EQ(1, editor.invalidatedFirst);
    EXPECT_EQ(2, editor.invalidatedLast);
    document()->notifyLinesParsed(9, 4);
    EXPECT_EQ(2, editor.invalidatedFirst) << "an inverted range becomes one line";
    EXPECT_EQ(2, editor.invalidatedLast);
    corvel::DocumentController* other = controllers->createController(document());
    other->setEditor(&editor);
    EXPECT_EQ(other, editor.controller);
    EXPECT_EQ(nullptr, controller->getEditor()) << "the editor left its first controller";
    controllers->destroyController(other);
}

TEST_F(DocumentControllerTest, TheLastControllerClosesItsDocument) {
    corvel::Document* doc = document();
    corvel::DocumentController* second = controllers->createController(doc);
    EXPECT_EQ(2, second->getId() - controller->getId() + 1);
    controllers->destroyController(second);
    EXPECT_EQ(1u, documents->getDocuments().size());
    controllers->destroyController(second);
    controllers->destroyController(controller);
    controller = nullptr;
    EXPECT_TRUE(documents->getDocuments().empty());
}

} // namespace

namespace chunks {

using corvel::TextChunk;

struct ChunkCase {
    int32_t offset;
    int32_t length;
    const wchar_t* expected; // null: the chunk keeps what it held
};

TEST_F(DocumentControllerTest, ChunksReadWholeRangesOnEitherSideOfTheGapOrNothing) {
    setText(L"abcdef");
    // Typing in the middle leaves the buffer's gap after "abX", so some runs cross it.
    selectOffsets(2, 2);
    type(L"X");
    const ChunkCase cases[] = {
        {0, 7, L"abXcdef"}, {0, 3, L"abX"},  {3, 4, L"cdef"},  {2, 3, L"Xcd"},
        {7, 0, L""},        {6, 2, nullptr}, {-1, 2, nullptr}, {2, -1, nullptr},
    };
    controller->beginEdit(DocumentController::EDIT_READ);
    for (const ChunkCase& c : cases) {
        TextChunk chunk;
        controller->getTextChunk(chunk, 0, 1);
        controller->getTextChunk(chunk, c.offset, c.length);
        EXPECT_EQ(c.expected ? c.expected : L"a", chunk.str()) << c.offset << "," << c.length;
    }
    TextChunk line;
    EXPECT_TRUE(controller->getLineChunk(0, line, false));
    EXPECT_EQ(L"abXcdef", line.str());
    EXPECT_FALSE(controller->getLineChunk(1, line, true));
    EXPECT_FALSE(controller->getLineChunk(-1, line, true));
    EXPECT_EQ(L"abXcdef", line.str()) << "a refused line leaves the chunk alone";
    controller->endEdit();

    setText(L"one\ntwo");
    controller->beginEdit(DocumentController::EDIT_READ);
    EXPECT_TRUE(controller->getLineChunk(0, line, true));
    EXPECT_EQ(L"one\n", line.str());
    EXPECT_TRUE(controller->getLineChunk(0, line, false));
    EXPECT_EQ(L"one", line.str());
    controller->endEdit();
}

TEST_F(DocumentControllerTest, LineMarkersAreGivenOnlyForLinesThatHoldSome) {
    setText(L"one\ntwo\nthree");
    controller->beginEdit(DocumentController::EDIT_READ);
    document()->addLineMarker(1, L"bad token", 7, 2);
    EXPECT_EQ(nullptr, controller->getLineMarkers(0));
    ASSERT_NE(nullptr, controller->getLineMarkers(1));
    EXPECT_EQ(1u, controller->getLineMarkers(1)->size());
    EXPECT_EQ(nullptr, controller->getLineMarkers(3));
    EXPECT_EQ(nullptr, controller->getLineMarkers(-1));
    document()->removeLineMarkers(1, 2);
    EXPECT_EQ(nullptr, controller->getLineMarkers(1)) << "a line whose markers went holds none";
    controller->endEdit();
}

struct RangeSearch {
    bool backward;
    int32_t a, b, c;
    const char* expected;
};

TEST_F(DocumentControllerTest, FindInRangeSearchesBetweenTheClampedOffsets) {
    setText(L"ab ab ab");
    corvel::FinderBoyerMoore finder(L"ab", false, false);
    const RangeSearch cases[] = {
        {false, 1, 0, 8, "3-5"}, {false, -5, 0, 100, "0-2"}, {false, 0, 0, 4, "0-2"}, {false, 4, 0, 7, "none"},
        {true, 0, 8, 0, "6-8"},  {true, 0, 100, 0, "6-8"},   {true, 0, 7, 0, "3-5"},  {true, 4, 7, 0, "none"},
    };
    controller->beginEdit(DocumentController::EDIT_READ);
    for (const RangeSearch& s : cases) {
        const zem::MatchResults& found = controller->findInRange(finder, s.backward, s.a, s.b, s.c);
        const std::string actual =
            found.isMatched() ? std::to_string(found.getBegin(0)) + "-" + std::to_string(found.getEnd(0)) : "none";
        EXPECT_EQ(s.expected, actual) << s.backward << " " << s.a << "," << s.b << "," << s.c;
    }
    controller->endEdit();
}

TEST_F(DocumentControllerTest, EachControllerHasItsOwnFacePreset) {
    corvel::DocumentController* other = controllers->createController(document());
    corvel::FacePreset wrapped = controller->getFacePreset();
    wrapped.wordWrap = true;
    controller->setFacePreset(wrapped);
    EXPECT_TRUE(controller->getFacePreset().wordWrap);
    EXPECT_FALSE(other->getFacePreset().wordWrap);
    EXPECT_EQ(corvel::FacePreset::DEFAULT_THEME, other->getFacePreset().themeId);
    controllers->destroyController(other);
}

struct PresetNotices {
    std::vector<std::wstring> titles;
    static void changed(void* self, DocumentController* controller, const corvel::FacePreset* preset) {
        EXPECT_EQ(&controller->getFacePreset(), preset);
        static_cast<PresetNotices*>(self)->titles.push_back(preset->title);
    }
};

TEST_F(DocumentControllerTest, SetFacePresetTellsItsListenersOnlyOfChanges) {
    PresetNotices notices;
    controller->onFacePresetChanged.add(&PresetNotices::changed, &notices);
    corvel::FacePreset preset = controller->getFacePreset();
    controller->setFacePreset(preset);
    EXPECT_TRUE(notices.titles.empty()) << "the same settings again";
    const struct {
        const char* field;
        void (*change)(corvel::FacePreset&);
    } cases[] = {
        {"wrap", [](corvel::FacePreset& p) { p.wordWrap = true; }},
        {"margin", [](corvel::FacePreset& p) { p.boundary = 100; }},
        {"theme", [](corvel::FacePreset& p) { p.themeId = L"00000000-0000-0000-0000-000000000001"; }},
        {"numbers", [](corvel::FacePreset& p) { p.gutterLineNumbers = false; }},
        {"white space", [](corvel::FacePreset& p) { p.showWhitespaceInside = true; }},
        {"id", [](corvel::FacePreset& p) { p.id.create(); }},
        {"title", [](corvel::FacePreset& p) { p.title = L"Renamed"; }},
    };
    size_t told = 0;
    for (const auto& c : cases) {
        c.change(preset);
        controller->setFacePreset(preset);
        EXPECT_EQ(++told, notices.titles.size()) << c.field;
        controller->setFacePreset(preset);
        EXPECT_EQ(told, notices.titles.size()) << c.field << " set again";
    }
    EXPECT_EQ(preset, controller->getFacePreset());
    EXPECT_EQ(L"Renamed", notices.titles.back());
}

} // namespace chunks
