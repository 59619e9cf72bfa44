#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoListener.h"
#include "corvel/document/UndoRegistry.h"
#include "support/LogCapture.h"
#include "support/ShortFile.h"
#include "support/StandardDevices.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::JournalCursor;
using corvel::UndoContext;
using corvel::UndoRegistry;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c == L'\t' ? '>' : c < 128 ? static_cast<char>(c) : '?';
    return out;
}

uint32_t getU32(const uint8_t* in) {
    return in[0] | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
}

// Stands in for the document: replays the four document records on a plain string, and
// counts how often replay entered and left a transaction.
class TextModel : public corvel::UndoListener {
public:
    explicit TextModel(UndoRegistry& registry) : m_registry(registry) {}

    bool apply(UndoContext& context, int type) override {
        uint32_t id = static_cast<uint32_t>(type);
        bool insertRecord = id == m_registry.insertId() || id == m_registry.shortInsertId();
        bool insertion = insertRecord != (context.state() == UndoContext::UNDOING);
        uint8_t head[8];
        if (id == m_registry.shortInsertId() || id == m_registry.shortRemoveId()) {
            if (context.read(head, 4) != 4)
                return false;
            uint32_t offset = head[0] | (head[1] << 8);
            wchar_t unit = static_cast<wchar_t>(head[2] | (head[3] << 8));
            return change(insertion, offset, std::wstring(1, unit));
        }
        if (context.read(head, 8) != 8)
            return false;
        uint32_t count = getU32(head + 4);
        std::wstring units(count, L'\0');
        if (count && context.read(&units[0], count * 2) != count * 2)
            return false;
        return change(insertion, getU32(head), units);
    }
    void onTransactionBegin(UndoContext&) override { ++begins; }
    void onTransactionEnd(UndoContext&) override { ++ends; }

    std::wstring text;
    int begins = 0;
    int ends = 0;

private:
    bool change(bool insertion, uint32_t offset, const std::wstring& units) {
        if (offset > text.size())
            return false;
        if (insertion)
            text.insert(offset, units);
        else
            text.erase(offset, units.size());
        return true;
    }

    UndoRegistry& m_registry;
};

struct Edit {
    int32_t offset;
    const wchar_t* units; // null: remove one unit at offset
    int32_t controller;
};

struct GroupCase {
    const char* name;
    std::vector<Edit> edits;
    std::vector<const wchar_t*> afterUndos; // text after each undo until nothing is left
};

class UndoContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        documenttest::StandardDevices::ensure();
        m_registry.reset(new UndoRegistry());
        m_context = m_registry->createContext(nullptr);
        m_model.reset(new TextModel(*m_registry));
        attach(*m_context, *m_model);
    }
    void TearDown() override {
        m_context.reset();
        m_registry.reset();
    }

    void attach(UndoContext& context, TextModel& model) {
        for (uint32_t id = m_registry->insertId(); id <= m_registry->shortRemoveId(); ++id)
            context.setHandler(id, &model);
        context.addListener(&model);
    }

    // One write bracket: the edit on the model, recorded as the document would.
    void insert(int32_t offset, const std::wstring& units, int32_t controller = 1, uint8_t flag = 0) {
        insertIn(*m_context, *m_model, offset, units, controller, flag);
    }
    void insertIn(UndoContext& context, TextModel& model, int32_t offset, const std::wstring& units,
                  int32_t controller = 1, uint8_t flag = 0) {
        context.beginTransaction(*m_registry, controller);
        model.text.insert(offset, units);
        context.recordChange(true, offset, static_cast<int32_t>(units.size()), units.c_str(), flag);
        context.endTransaction(*m_registry);
    }
    void remove(int32_t offset, int32_t count) {
        m_context->beginTransaction(*m_registry, 1);
        std::wstring units = m_model->text.substr(offset, count);
        m_model->text.erase(offset, count);
        m_context->recordChange(false, offset, count, units.c_str(), 0);
        m_context->endTransaction(*m_registry);
    }
    std::wstring undo() {
        m_context->undo(*m_registry);
        return m_model->text;
    }
    std::wstring redo() {
        m_context->redo(*m_registry);
        return m_model->text;
    }

    static ::testing::AssertionResult gives(const char* what, const std::wstring& got, const std::wstring& expected) {
        if (got == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << what << " gave \"" << narrow(got) << "\", expected \"" << narrow(expected)
                                             << "\"";
    }

    // Makes the edits, then undoes group by group down to the empty text and redoes back.
    ::testing::AssertionResult undoesInGroups(const GroupCase& c) {
        for (const Edit& e : c.edits) {
            if (e.units)
                insert(e.offset, e.units, e.controller);
            else
                remove(e.offset, 1);
        }
        std::wstring typed = m_model->text;
        for (const wchar_t* expected : c.afterUndos) {
            if (!gives("undo", undo(), expected))
                return gives("undo", m_model->text, expected);
        }
        if (m_context->canUndo())
            return ::testing::AssertionFailure() << "history left after the last group";
        for (size_t i = c.afterUndos.size(); i-- > 0;) {
            std::wstring expected = i > 0 ? c.afterUndos[i - 1] : typed;
            if (!gives("redo", redo(), expected))
                return gives("redo", m_model->text, expected);
        }
        if (m_context->canRedo())
            return ::testing::AssertionFailure() << "redo tail left after the last group";
        return ::testing::AssertionSuccess();
    }

    // Header classes and types of the journal's records, first to last.
    std::vector<std::pair<int, int>> records(const UndoContext& context) {
        std::vector<std::pair<int, int>> out;
        JournalCursor walker(context.cursor()->file());
        corvel::JournalMark all;
        all.end = context.cursor()->end();
        walker.restore(all);
        while (!walker.atEnd() && walker.beginRead() >= 0) {
            walker.endRecord();
            out.push_back({static_cast<int>(walker.headerClass()), walker.type()});
            if (!walker.stepForward())
                break;
        }
        return out;
    }

    std::unique_ptr<UndoRegistry> m_registry;
    std::unique_ptr<UndoContext> m_context;
    std::unique_ptr<TextModel> m_model;
};

TEST_F(UndoContextTest, TypingIsUndoneAndRedoneInGroups) {
    const GroupCase cases[] = {
        {"three letters typed in a row", {{0, L"a", 1}, {1, L"b", 1}, {2, L"c", 1}}, {L""}},
        {"a TAB between letters", {{0, L"a", 1}, {1, L"b", 1}, {2, L"\t", 1}, {3, L"c", 1}}, {L"ab\t", L"ab", L""}},
        {"typing elsewhere starts a group", {{0, L"a", 1}, {1, L"b", 1}, {0, L"c", 1}}, {L"ab", L""}},
        {"two TABs in a row group", {{0, L"\t", 1}, {1, L"\t", 1}, {2, L"x", 1}}, {L"\t\t", L""}},
        {"another controller starts a group", {{0, L"a", 1}, {1, L"b", 2}}, {L"a", L""}},
        {"a removal never groups", {{0, L"a", 1}, {1, L"b", 1}, {1, nullptr, 1}, {1, L"c", 1}}, {L"a", L"ab", L""}},
        {"pasted text stands alone", {{0, L"a", 1}, {1, L"bc", 1}, {3, L"d", 1}}, {L"abc", L"a", L""}},
        {"a control unit stands alone", {{0, L"a", 1}, {1, L"\n", 1}, {2, L"b", 1}}, {L"a\n", L"a", L""}},
    };
    for (const GroupCase& c : cases) {
        TearDown();
        SetUp();
        EXPECT_TRUE(undoesInGroups(c)) << c.name;
    }
}

TEST_F(UndoContextTest, ReplayTellsListenersOfEveryTransaction) {
    insert(0, L"a");
    insert(1, L"b");
    undo();
    EXPECT_EQ(2, m_model->begins);
    EXPECT_EQ(2, m_model->ends);
    EXPECT_EQ(UndoContext::TYPING_UNIT, m_context->typingClass());
}

TEST_F(UndoContextTest, AnEmptyTransactionKeepsTheRedoTail) {
    insert(0, L"abc");
    insert(3, L"def");
    EXPECT_EQ("abc", narrow(undo()));
    uint32_t end = m_context->cursor()->end();
    m_context->beginTransaction(*m_registry, 1);
    m_context->recordChange(true, 0, 0, L"", 0); // an empty change records nothing
    m_context->endTransaction(*m_registry);
    EXPECT_EQ(end, m_context->cursor()->end());
    EXPECT_TRUE(m_context->canRedo());
    EXPECT_EQ("abcdef", narrow(redo()));

    EXPECT_EQ("abc", narrow(undo()));
    insert(0, L"X");
    EXPECT_FALSE(m_context->canRedo()) << "recording after an undo discards the redo tail";
    EXPECT_EQ("abc", narrow(undo()));
    EXPECT_EQ("", narrow(undo()));
    EXPECT_EQ("abc", narrow(redo()));
    EXPECT_EQ("Xabc", narrow(redo()));
}

struct FormCase {
    const char* name;
    int32_t offset;
    size_t count;
    std::vector<std::pair<int, int>> records; // (header class, type)
};

TEST_F(UndoContextTest, ChangesTakeTheShortOrLongForm) {
    const int T = 0, INS = 1, INS_S = 3;
    const FormCase cases[] = {
        {"one unit", 5, 1, {{0, T}, {0, INS_S}, {0, T}}},
        {"one unit past offset 0xFFFF", 0x10000, 1, {{0, T}, {0, INS}, {0, T}}},
        {"1000 units", 0, 1000, {{0, T}, {1, INS}, {1, T}}}, // the end marker lies far behind
        {"140000 units", 0, 140000, {{0, T}, {2, INS}, {2, T}}},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        m_model->text.assign(c.offset, L'.');
        std::wstring units(c.count, L'u');
        insert(c.offset, units);
        EXPECT_EQ(c.records, records(*m_context));
        EXPECT_EQ(std::wstring(c.offset, L'.'), undo());
        EXPECT_EQ(std::wstring(c.offset, L'.') + units, redo());
    }
}

TEST_F(UndoContextTest, TwoDocumentsKeepTwoHistories) {
    std::unique_ptr<UndoContext> other = m_registry->createContext(nullptr);
    TextModel otherModel(*m_registry);
    attach(*other, otherModel);
    ASSERT_TRUE(other->isOpen()) << "the second document got no journal";
    EXPECT_NE(m_context->journalPath(), other->journalPath());
    insert(0, L"first");
    insertIn(*other, otherModel, 0, L"second");
    other->undo(*m_registry);
    EXPECT_EQ("", narrow(otherModel.text));
    EXPECT_EQ("first", narrow(m_model->text));
    EXPECT_EQ("", narrow(undo()));
}

TEST_F(UndoContextTest, ClearingInsideATransactionDropsTheRestOfIt) {
    insert(0, L"ab");
    m_context->beginTransaction(*m_registry, 1);
    m_model->text.insert(2, L"c");
    m_context->recordChange(true, 2, 1, L"c", 0);
    m_context->open();
    m_model->text.insert(3, L"d");
    m_context->recordChange(true, 3, 1, L"d", 0);
    m_context->endTransaction(*m_registry);
    EXPECT_FALSE(m_context->canUndo());
    insert(4, L"e");
    EXPECT_EQ("abcd", narrow(undo()));
    EXPECT_FALSE(m_context->canUndo());
}

TEST_F(UndoContextTest, ModifiedFollowsTheSavedPosition) {
    insert(0, L"a");
    m_context->markSaved();
    EXPECT_FALSE(m_context->isModified());
    undo();
    EXPECT_TRUE(m_context->isModified());
    redo();
    EXPECT_FALSE(m_context->isModified());
}

// A record of the controller's kind, staged through the stream interface.
class SelectionRecord : public corvel::UndoListener {
public:
    bool apply(UndoContext& context, int) override {
        uint8_t bytes[64];
        replayed.push_back(std::string(reinterpret_cast<char*>(bytes), context.read(bytes, 5)));
        return true;
    }
    std::vector<std::string> replayed;
};

TEST_F(UndoContextTest, OwnRecordsGoThroughTheStreamWithoutCountingAsChanges) {
    uint32_t id = m_registry->registerOperation(L"Selection");
    EXPECT_EQ(5u, id);
    SelectionRecord selection;
    ASSERT_TRUE(m_registry->setHandler(id, &selection));

    m_context->beginTransaction(*m_registry, 1);
    ASSERT_TRUE(m_context->beginRecord(id));
    EXPECT_EQ(5u, m_context->write("only!", 5));
    EXPECT_TRUE(m_context->endRecord());
    m_context->endTransaction(*m_registry);
    EXPECT_FALSE(m_context->canUndo()) << "a transaction of selection records alone vanishes";

    m_context->beginTransaction(*m_registry, 1);
    m_context->beginRecord(id);
    m_context->write("caret", 5);
    m_context->endRecord();
    m_model->text = L"x";
    m_context->recordChange(true, 0, 1, L"x", 0);
    m_context->endTransaction(*m_registry);
    EXPECT_EQ("", narrow(undo()));
    EXPECT_EQ(std::vector<std::string>{"caret"}, selection.replayed);
}

TEST_F(UndoContextTest, ChangesOfEverySizeComeBackWhole) {
    // A record is staged in memory up to 64 KiB and in the rollback file past it: the
    // text of a change has 8 bytes of header before it.
    const int32_t counts[] = {2, (0x10000 - 8) / 2, (0x10000 - 8) / 2 + 1, 0x10000, 100000};
    for (int32_t count : counts) {
        SCOPED_TRACE(count);
        std::wstring units(static_cast<size_t>(count), L'a');
        for (int32_t i = 0; i < count; ++i)
            units[static_cast<size_t>(i)] = static_cast<wchar_t>(L'a' + i % 26);
        m_model->text = L"<>";
        insert(1, units);
        remove(1, count);
        EXPECT_EQ(L"<>", m_model->text);
        EXPECT_TRUE(gives("undo", undo(), L"<" + units + L">"));
        EXPECT_TRUE(gives("undo", undo(), L"<>"));
        EXPECT_TRUE(gives("redo", redo(), L"<" + units + L">"));
        m_context->open();
    }
}

TEST_F(UndoContextTest, RegistryHandsOutIdsAndSlots) {
    EXPECT_EQ(0u, m_registry->transactionId());
    EXPECT_EQ(4u, m_registry->shortRemoveId());
    EXPECT_EQ(1u, m_registry->registerOperation(L"DOC-INSERT"));
    std::vector<uint32_t> ids;
    for (int i = 0; i < 60; ++i)
        ids.push_back(m_registry->registerOperation((L"op" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(5u, ids.front());
    EXPECT_EQ(64u, ids.back()) << "the 65th operation gets the id of no operation";
    SelectionRecord first, second;
    EXPECT_TRUE(m_registry->setHandler(ids[0], &first));
    EXPECT_FALSE(m_registry->setHandler(ids[0], &second));
    EXPECT_FALSE(m_registry->setHandler(64, &first));
    m_registry->unregisterOperation(ids[0]);
    EXPECT_EQ(UndoRegistry::NO_OPERATION, m_registry->findOperation(L"op0"));
    EXPECT_EQ(nullptr, m_registry->getHandler(ids[0]));

    m_context->beginTransaction(*m_registry, 1);
    EXPECT_FALSE(m_context->beginRecord(64)) << "id 64 is never written";
    m_context->endTransaction(*m_registry);
}

// Journals whose writes or reads come up short, through the registry's file hooks.
class UndoFailureTest : public UndoContextTest {
protected:
    void SetUp() override {
        documenttest::StandardDevices::ensure();
        m_registry.reset(new UndoRegistry());
        UndoRegistry::FileHooks hooks;
        hooks.open = [this](const std::wstring& path) -> zem::File* {
            zem::File* inner = zem::fileOpen(path.c_str(), zem::FILE_MODE_READ_WRITE_TRUNCATE);
            if (!inner || path.find(L"undo/") == std::wstring::npos)
                return inner;
            m_journals.emplace_back(new documenttest::ShortFile(inner));
            return m_journals.back().get();
        };
        hooks.close = [this](zem::File* file) {
            for (auto& journal : m_journals) {
                if (journal.get() == file) {
                    zem::fileClose(journal->inner());
                    return;
                }
            }
            zem::fileClose(file);
        };
        m_registry->setFileHooks(hooks);
        m_context = m_registry->createContext(nullptr);
        m_model.reset(new TextModel(*m_registry));
        attach(*m_context, *m_model);
    }

    documenttest::ShortFile& journal() { return *m_journals.back(); }

    std::vector<std::unique_ptr<documenttest::ShortFile>> m_journals;
};

TEST_F(UndoFailureTest, AShortWriteClearsTheHistoryAndKeepsTheDocumentModified) {
    const uint32_t budgets[] = {0, 5, 12 + 3, 12 + 16 + 5}; // begin marker, record, end marker
    for (uint32_t budget : budgets) {
        SCOPED_TRACE(budget);
        insert(0, L"ab");
        m_context->markSaved();
        zemtest::LogCapture log;
        journal().setWriteBudget(budget);
        insert(0, L"cd");
        EXPECT_FALSE(m_context->canUndo());
        EXPECT_TRUE(m_context->isModified());
        ASSERT_FALSE(log.lines().empty());
        EXPECT_NE(std::wstring::npos, log.lines().back().text.find(L"undo history is cleared"));
        insert(0, L"e");
        EXPECT_EQ("cdab", narrow(undo())) << "recording goes on in a fresh journal";
        EXPECT_TRUE(m_context->isModified());
        m_model->text.clear();
        m_context->open();
    }
}

TEST_F(UndoFailureTest, ACutRecordIsNeverReplayed) {
    insert(0, L"abc");
    insert(3, L"defgh");
    journal().setReadBudget(3 + 9 + 3 + 8 + 4); // the end marker, then part of the record
    EXPECT_EQ("abcdefgh", narrow(undo()));
    EXPECT_FALSE(m_context->canUndo());
    EXPECT_FALSE(m_context->canRedo());
}

TEST_F(UndoFailureTest, ADamagedHeaderStopsTheWalk) {
    insert(0, L"abc");
    insert(3, L"defgh");
    // The second transaction's long record: class 3 in its first byte.
    uint32_t at = 12 + 20 + 12 + 12;
    zem::File* file = journal().inner();
    ASSERT_EQ(at, file->seek(zem::FILE_SEEK_BEGIN, static_cast<int32_t>(at)));
    uint8_t bad = 0xC1;
    ASSERT_EQ(1u, file->write(&bad, 1));
    EXPECT_EQ("abcdefgh", narrow(undo()));
    EXPECT_FALSE(m_context->canUndo());
}

} // namespace

namespace {

TEST_F(UndoContextTest, DefaultDumpIsAHexDumpOfAtMost256Bytes) {
    uint32_t id = m_registry->registerOperation(L"Spans");
    m_context->beginTransaction(*m_registry, 1);
    m_context->beginRecord(id);
    m_context->write("0123456789ABCDEFxyz\x01", 20);
    m_context->endRecord();
    m_context->beginRecord(id);
    std::string big(300, 'q');
    m_context->write(big.data(), 300);
    m_context->endRecord();
    m_context->recordChange(true, 0, 1, L"x", 0);
    m_context->endTransaction(*m_registry);

    std::wstring out;
    m_context->dumpJournal(L"L", out);
    EXPECT_NE(std::wstring::npos, out.find(L"L0000: 30 31 32 33| 34 35 36 37| 38 39 41 42| 43 44 45 46|  0123456789ABCDEF\n"
                                           L"L0010: 78 79 7A 01| CC         |            |            |  xyz..\n")) << "the padding byte shows";
    EXPECT_NE(std::wstring::npos, out.find(L"L00F0: 71 71 71 71| 71 71 71 71| 71 71 71 71| 71 71 71 71|  qqqqqqqqqqqqqqqq\n"
                                           L"L ...etc\n"));
    EXPECT_EQ(std::wstring::npos, out.find(L"L0100:"));
}

} // namespace
