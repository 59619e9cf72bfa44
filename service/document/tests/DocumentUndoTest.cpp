#include "corvel/document/Document.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoRegistry.h"
#include "support/StandardDevices.h"
#include "zem/files/File.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using corvel::Document;
using corvel::UndoContext;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A document with its undo journal, edited and undone through write brackets as the
// controller does.
class DocumentUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        documenttest::StandardDevices::ensure();
        m_registry.reset(new corvel::UndoRegistry());
        m_document.reset(new Document(nullptr));
        m_undo = m_registry->createContext(m_document.get());
        m_document->setUndoContext(m_undo.get());
    }
    void TearDown() override {
        m_document->setUndoContext(nullptr);
        m_undo.reset();
        m_document.reset();
        m_registry.reset();
    }

    void edit(const std::function<void()>& body, int32_t controller = 1) {
        m_document->lockEdit();
        m_document->beginEdit(nullptr, false, controller);
        body();
        m_document->endEdit();
        m_document->unlockEdit();
    }
    void type(int32_t offset, const std::wstring& units) {
        edit([&] { m_document->insertText(offset, static_cast<int32_t>(units.size()), units.data(), 0); });
    }
    void remove(int32_t offset, int32_t count) {
        edit([&] { m_document->removeText(count, offset, 0); });
    }
    std::string replay(bool undoing) {
        m_document->lockEdit();
        m_document->beginEdit(nullptr, true);
        if (undoing)
            m_undo->undo(*m_registry);
        else
            m_undo->redo(*m_registry);
        m_document->endEdit();
        m_document->unlockEdit();
        return text();
    }
    std::string undo() { return replay(true); }
    std::string redo() { return replay(false); }
    std::string text() { return narrow(m_document->getText(0, m_document->getLength())); }
    bool modified() { return m_document->getPublishedState().modified; }

    std::unique_ptr<corvel::UndoRegistry> m_registry;
    std::unique_ptr<Document> m_document;
    std::unique_ptr<UndoContext> m_undo;
};

TEST_F(DocumentUndoTest, EditsAreUndoneAndRedoneThroughTheDocument) {
    type(0, L"a");
    type(1, L"b");
    type(2, L"c");
    type(3, L"\nsecond line");
    remove(1, 2);
    EXPECT_EQ("a\nsecond line", text());
    EXPECT_EQ("abc\nsecond line", undo());
    EXPECT_EQ("abc", undo());
    EXPECT_EQ("", undo()) << "the three typed letters are one group";
    EXPECT_EQ(1, m_document->getLineCount());
    EXPECT_EQ("abc", redo());
    EXPECT_EQ("abc\nsecond line", redo());
    EXPECT_EQ(2, m_document->getLineCount());
    EXPECT_EQ("a\nsecond line", redo());
}

TEST_F(DocumentUndoTest, ModifiedComesFromTheSavedJournalPosition) {
    type(0, L"hello");
    EXPECT_TRUE(modified());
    m_undo->markSaved(); // as a save does
    type(5, L" world");
    EXPECT_TRUE(modified());
    undo();
    EXPECT_FALSE(modified()) << "back at the saved text";
    undo();
    EXPECT_TRUE(modified());
    redo();
    EXPECT_FALSE(modified());

    m_document->clearUndoHistory();
    EXPECT_FALSE(modified());
    EXPECT_FALSE(m_undo->canUndo());
    EXPECT_EQ("hello", text());
}

TEST_F(DocumentUndoTest, ReopeningForALoadStartsAnEmptyJournal) {
    type(0, L"text");
    std::wstring before = m_undo->journalPath();
    m_document->resetForLoad();
    EXPECT_FALSE(m_undo->canUndo());
    EXPECT_NE(before, m_undo->journalPath());
}

TEST_F(DocumentUndoTest, DumpShowsOffsetsCountsAndText) {
    type(0, L"x");
    type(1, std::wstring(70, L'y'));
    std::wstring out;
    m_undo->dumpJournal(L"> ", out);
    EXPECT_NE(std::wstring::npos, out.find(L"> [0, 1] \"x\"\n"));
    EXPECT_NE(std::wstring::npos, out.find(L"> [1, 70] \"" + std::wstring(63, L'y') + L"\"...\n"));
}

struct DamageCase {
    const char* name;
    uint32_t at; // byte of the long record's payload, from the journal's start
    int32_t value;
};

// The journal holds the begin marker (12 bytes), the long record of "hello" (offset at
// byte 15, count at byte 19) and the end marker.
TEST_F(DocumentUndoTest, ARecordThatCannotBeWhatItSaysIsNotReplayed) {
    const DamageCase cases[] = {
        {"count beyond the payload", 19, 1000},
        {"negative count", 19, -1},
        {"offset beyond the text", 15, 50},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        type(0, L"hello");
        zem::File* journal = m_undo->cursor()->file();
        ASSERT_EQ(c.at, journal->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(c.at)));
        ASSERT_EQ(4u, journal->write(&c.value, 4));
        EXPECT_EQ("hello", undo());
        EXPECT_FALSE(m_undo->canUndo());
        EXPECT_TRUE(modified());
    }
}

} // namespace
