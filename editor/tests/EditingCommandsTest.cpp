// Editing, selection and clipboard commands on a real controller, with the system
// clipboard read back through plain Win32 calls.
#include "corvel/document/Document.h"
#include "corvel/editor/EditingCommands.h"
#include "corvel/widgets/afClipboard.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "support/ControllerFixture.h"
#include "support/SelectedText.h"

#include <memory>
#include <windows.h>

namespace {

using corvel::EditingCommands;

// What another program would read.
std::wstring systemClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<cannot open>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(data)))
            text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void putSystemText(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

class EditingCommandsTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        documenttest::ControllerFixture::SetUp();
        clipboard.reset(new corvel::afClipboard());
    }
    void TearDown() override {
        clipboard.reset();
        documenttest::ControllerFixture::TearDown();
    }
    void caretAt(int32_t offset) { controller->getSelection()->setCaretOffset(offset); }
    std::wstring selectedText() { return edtest::selectedText(*controller); }

    std::unique_ptr<corvel::afClipboard> clipboard;
};

TEST_F(EditingCommandsTest, NewLineTakesTheIndentationOfTheCaretLineOrTheNearestAbove) {
    struct Case {
        const wchar_t* text;
        int32_t caret;
        const wchar_t* expected;
    } const cases[] = {
        {L"\tab", 3, L"\tab\n\t"},
        {L"\tab", 2, L"\ta\n\tb"},
        {L"        x\n\n", 11, L"        x\n\n\n\t\t"}, // blank line: 8 columns above, hard tabs of 4
        {L"x\n  ", 4, L"x\n  \n"},                      // blank up to the caret, nothing above indented
        {L"", 0, L"\n"},
    };
    for (const Case& c : cases) {
        setText(c.text);
        caretAt(c.caret);
        EditingCommands::newLine(*controller);
        EXPECT_EQ(c.expected, text()) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(EditingCommandsTest, SelectAllLinesAndLinesText) {
    setText(L"  ab  \ncd\nef");
    EditingCommands::selectAll(*controller);
    EXPECT_EQ(L"  ab  \ncd\nef", selectedText());
    selectOffsets(3, 8);
    EditingCommands::selectLines(*controller);
    EXPECT_EQ(2u, selection()->getRanges().size());
    EXPECT_EQ(L"  ab  \ncd", selectedText());
    selectOffsets(3, 8);
    EditingCommands::selectLinesText(*controller);
    EXPECT_EQ(L"ab\ncd", selectedText());
}

TEST_F(EditingCommandsTest, CopyPutsCrLfTextAndTheSelectionType) {
    setText(L"ab\ncd");
    selectOffsets(0, 5);
    ASSERT_TRUE(EditingCommands::copy(*controller));
    EXPECT_EQ(L"ab\r\ncd", systemClipboardText());
    EXPECT_EQ(0, clipboard->getPutInProgress());
    corvel::afDataObjectScalar<unsigned int> type(EditingCommands::SELECTION_TYPE_FORMAT, 0);
    ASSERT_TRUE(clipboard->get(&type));
    EXPECT_EQ(0x218568E4u, type.getValue());
    const corvel::afClipboardRing* ring = clipboard->getRing();
    ASSERT_EQ(1u, ring->getCount());
    EXPECT_EQ(std::wstring(L"ab\r\ncd"), ring->getEntry(0).text.get());
}

TEST_F(EditingCommandsTest, CopyAndCutWithNothingSelectedLeaveTheClipboardAlone) {
    putSystemText(L"before");
    setText(L"ab");
    caretAt(1);
    EXPECT_FALSE(EditingCommands::copy(*controller));
    EXPECT_FALSE(EditingCommands::cut(*controller, false));
    EXPECT_EQ(L"ab", text());
    EXPECT_EQ(L"before", systemClipboardText());
}

// Another program holding the clipboard open: a thread of its own opens it and keeps it
// until released, so every put of this thread fails meanwhile.
class ClipboardHolder {
public:
    ClipboardHolder() {
        m_opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &ClipboardHolder::hold, this, 0, nullptr);
        m_held = m_thread && WaitForSingleObject(m_opened, 5000) == WAIT_OBJECT_0 && m_openedOk;
    }
    ~ClipboardHolder() {
        SetEvent(m_release);
        if (m_thread) {
            WaitForSingleObject(m_thread, 5000);
            CloseHandle(m_thread);
        }
        CloseHandle(m_opened);
        CloseHandle(m_release);
    }
    bool held() const { return m_held; }

private:
    static DWORD WINAPI hold(void* data) {
        auto* self = static_cast<ClipboardHolder*>(data);
        self->m_openedOk = OpenClipboard(nullptr) != FALSE;
        SetEvent(self->m_opened);
        WaitForSingleObject(self->m_release, 10000);
        if (self->m_openedOk)
            CloseClipboard();
        return 0;
    }

    HANDLE m_opened;
    HANDLE m_release;
    HANDLE m_thread;
    volatile bool m_openedOk = false;
    bool m_held = false;
};

TEST_F(EditingCommandsTest, ACutWhosePutFailsDeletesNothing) {
    putSystemText(L"before");
    const struct {
        const wchar_t* text;
        int32_t anchor; // -1: the caret alone, for the whole-line cut
        int32_t caret;
        bool wholeLine;
    } cases[] = {
        {L"ab\ncd\nef", 3, 5, false},
        {L"ab\ncd\nef", -1, 4, true},
    };
    for (const auto& c : cases) {
        setText(c.text);
        if (c.anchor < 0)
            caretAt(c.caret);
        else
            selectOffsets(c.anchor, c.caret);
        {
            ClipboardHolder holder;
            ASSERT_TRUE(holder.held());
            EXPECT_FALSE(EditingCommands::cut(*controller, c.wholeLine)) << c.wholeLine;
        }
        EXPECT_EQ(c.text, text());
        EXPECT_EQ(0, clipboard->getPutInProgress());
        EXPECT_FALSE(controller->undo()) << "no undo step either";
        EXPECT_EQ(L"before", systemClipboardText());
    }
    // Once the clipboard is free again the same cut works.
    selectOffsets(3, 5);
    EXPECT_TRUE(EditingCommands::cut(*controller, false));
    EXPECT_EQ(L"ab\n\nef", text());
    EXPECT_EQ(L"cd", systemClipboardText());
}

TEST_F(EditingCommandsTest, CutLineTakesTheWholeLineWithItsBreak) {
    setText(L"ab\ncd\nef");
    caretAt(4);
    ASSERT_TRUE(EditingCommands::cut(*controller, true));
    EXPECT_EQ(L"ab\nef", text());
    EXPECT_EQ(L"cd\r\n", systemClipboardText());
    ASSERT_TRUE(controller->undo()); // one step
    EXPECT_EQ(L"ab\ncd\nef", text());
}

TEST_F(EditingCommandsTest, PasteInsertsTheTextAndNothingWithoutText) {
    setText(L"ab");
    caretAt(1);
    putSystemText(L"x\r\ny");
    ASSERT_TRUE(EditingCommands::paste(*controller));
    EXPECT_EQ(L"ax\nyb", text());

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    EXPECT_FALSE(EditingCommands::paste(*controller));
    EXPECT_EQ(L"ax\nyb", text());
}

TEST_F(EditingCommandsTest, MarkedLinesAreFoundOnceAround) {
    setText(L"a\nb\nc\nd");
    EXPECT_EQ(-1, EditingCommands::gotoMarkedLine(*controller, true)); // no marked line
    caretAt(4);
    EditingCommands::toggleBookmark(*controller);
    caretAt(0);
    EXPECT_EQ(2, EditingCommands::gotoMarkedLine(*controller, true));
    EXPECT_EQ(4, caret());
    EXPECT_EQ(-1, EditingCommands::gotoMarkedLine(*controller, true)); // the caret's own line: stays
    caretAt(7);
    EXPECT_EQ(2, EditingCommands::gotoMarkedLine(*controller, false));
    EditingCommands::toggleBookmark(*controller); // the second toggle on the line takes it off
    EXPECT_EQ(nullptr, controller->getLineMarkers(2));
    EXPECT_EQ(-1, EditingCommands::gotoMarkedLine(*controller, true));
}

TEST_F(EditingCommandsTest, UndoThenRedo) {
    setText(L"a");
    type(L"b");
    ASSERT_TRUE(EditingCommands::undo(*controller));
    EXPECT_EQ(L"a", text());
    ASSERT_TRUE(EditingCommands::redo(*controller));
    EXPECT_EQ(L"ba", text());
    EXPECT_FALSE(EditingCommands::redo(*controller));
}

TEST_F(EditingCommandsTest, ARectangleCopiesItsRowsWithoutTheEmptyOnes) {
    documenttest::FakeEditor view; // columns of 10 units: the rectangle's geometry
    controller->setEditor(&view);
    setText(L"abc\nd\nefg");
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->select(corvel::TextPosition(0, 1), corvel::TextPosition(2, 3), 2, corvel::Selection::ID_RECTANGLE);
    controller->endEdit();
    ASSERT_TRUE(EditingCommands::copy(*controller));
    EXPECT_EQ(L"bc\r\nfg", systemClipboardText());
    corvel::afDataObjectScalar<unsigned int> type(EditingCommands::SELECTION_TYPE_FORMAT, 0);
    ASSERT_TRUE(clipboard->get(&type));
    EXPECT_EQ(0x4C19FA99u, type.getValue());
    controller->setEditor(nullptr);
}

} // namespace
