#include "corvel/document/Document.h"

#include "zem/base/Exception.h"
#include "zem/thread/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <string>
#include <vector>

namespace {

// Records every notification as one line of text, in the order they came.
class RecordingListener : public corvel::DocumentListener {
public:
    explicit RecordingListener(const char* name = "") : m_name(name) {}
    std::vector<std::string> calls;

    void onTextInserting(corvel::Document*, const corvel::TextChange& c) override { add("inserting", c); }
    void onTextInserted(corvel::Document*, const corvel::TextChange& c) override { add("inserted", c); }
    void onTextRemoving(corvel::Document*, const corvel::TextChange& c) override { add("removing", c); }
    void onTextRemoved(corvel::Document*, const corvel::TextChange& c) override { add("removed", c); }
    void onEditBegin(corvel::Document*, const corvel::LineRange& r) override { add("begin", r); }
    void onEditEnd(corvel::Document*, const corvel::LineRange& r) override { add("end", r); }
    void onStateChanged(corvel::Document*, const corvel::DocumentState&, uint32_t mask) override {
        calls.push_back(m_name + "state " + std::to_string(mask));
    }
    void onStateChangedAsync(corvel::Document*, const corvel::DocumentState&, uint32_t mask) override {
        calls.push_back(m_name + "async " + std::to_string(mask));
    }
    void onNameChanged(corvel::Document*, const wchar_t* name) override {
        calls.push_back(m_name + "name " + std::string(name, name + wcslen(name)));
    }
    void onLineMarkersChanged(corvel::Document*, int32_t line, int32_t count) override {
        calls.push_back(m_name + "markers " + std::to_string(line) + " " + std::to_string(count));
    }

private:
    void add(const char* what, const corvel::TextChange& c) {
        calls.push_back(m_name + what + " " + std::to_string(c.offset) + "+" + std::to_string(c.count) + " line " +
                        std::to_string(c.line) + " breaks " + std::to_string(c.lineBreaks) + " text " +
                        std::string(c.text, c.text + c.count));
    }
    void add(const char* what, const corvel::LineRange& r) {
        calls.push_back(m_name + what + " " + std::to_string(r.first) + ".." + std::to_string(r.last));
    }
    std::string m_name;
};

class DocumentTest : public ::testing::Test {
protected:
    corvel::Document document{nullptr};

    void insert(int32_t offset, const std::wstring& text) {
        document.insertText(offset, static_cast<int32_t>(text.size()), text.data(), 0);
    }
    std::wstring text() { return document.getText(0, document.getLength()); }
    std::vector<int32_t> lineEnds() {
        std::vector<int32_t> ends;
        for (int32_t line = 0; line < document.getLineCount(); ++line)
            ends.push_back(document.getLineStart(line) + document.getLineLength(line));
        return ends;
    }
};

TEST_F(DocumentTest, EmptyDocumentHasOneEmptyLineAndTheRootScope) {
    EXPECT_EQ(1, document.getLineCount());
    EXPECT_EQ(0, document.getLength());
    EXPECT_EQ(0, document.getLineLength(0));
    EXPECT_EQ(0, document.getLineTextLength(0));
    ASSERT_EQ(1u, document.getScopeStore().size());
    EXPECT_EQ(document.getScopeStore().getScope(0), document.getScopeAt(0));
}

TEST_F(DocumentTest, InsertionReportsTheChangeAndWidensTheChangedLines) {
    RecordingListener listener;
    document.addListener(&listener);
    document.beginEdit(nullptr, true);
    insert(0, L"a\nb");
    EXPECT_EQ((std::vector<int32_t>{2, 3}), lineEnds());
    EXPECT_EQ(0, document.getChangedLines().first);
    EXPECT_EQ(1, document.getChangedLines().last);
    insert(3, L"\n\nc");
    document.endEdit();
    EXPECT_EQ(L"a\nb\n\nc", text());
    const std::vector<std::string> expected = {
        "begin -1..-1",
        "inserting 0+3 line 0 breaks 1 text a\nb",
        "inserted 0+3 line 0 breaks 1 text a\nb",
        "inserting 3+3 line 1 breaks 2 text \n\nc",
        "inserted 3+3 line 1 breaks 2 text \n\nc",
        "state 1", // without an undo journal every edit modifies
        "end 0..3",
    };
    EXPECT_EQ(expected, listener.calls);
}

TEST_F(DocumentTest, RemovalJoinsLinesAndHandsTheRemovedUnits) {
    insert(0, L"one\ntwo\nthree\nfour");
    RecordingListener listener;
    document.addListener(&listener);
    document.beginEdit(nullptr, true);
    document.removeText(6, 2, 0);   // "e\ntwo\n" joins lines 0 to 2
    document.removeText(100, 8, 0); // clamped to the rest
    document.removeText(1, 8, 0);   // at the end: nothing
    document.removeText(1, -1, 0);  // negative: nothing
    document.endEdit();
    EXPECT_EQ(L"onthree\n", text());
    EXPECT_EQ((std::vector<int32_t>{8, 8}), lineEnds());
    const std::vector<std::string> expected = {
        "begin -1..-1",
        "removing 2+6 line 0 breaks 2 text e\ntwo\n",
        "removed 2+6 line 0 breaks 2 text e\ntwo\n",
        "removing 8+4 line 1 breaks 0 text four",
        "removed 8+4 line 1 breaks 0 text four",
        "state 1",
        "end 0..2", // the first removal counts the lines it joined
    };
    EXPECT_EQ(expected, listener.calls);
}

TEST_F(DocumentTest, InsertingAtALineStartMovesTheOldHeaderWithItsText) {
    insert(0, L"x\ny");
    document.addLineMarker(1, L"mark", 7, 3);
    insert(2, L"new\n");
    EXPECT_EQ(nullptr, document.getLineHeader(1)->markers);
    ASSERT_NE(nullptr, document.getLineHeader(2)->markers);
    EXPECT_EQ(7, (*document.getLineHeader(2)->markers)[0].value);
    EXPECT_EQ(corvel::LINE_DIRTY | corvel::LINE_EDITED, document.getLineHeader(1)->flags);
}

TEST_F(DocumentTest, BadOffsetsChangeNothing) {
    insert(0, L"abc");
    insert(-1, L"x");
    insert(4, L"x");
    EXPECT_EQ(L"abc", text());
    EXPECT_THROW(document.getLineHeader(1), zem::InvalidArgumentException);
    EXPECT_THROW(document.getLineHeader(-1), zem::InvalidArgumentException);
    EXPECT_THROW(document.getLineParserState(1), zem::IllegalStateException);
    EXPECT_EQ(nullptr, document.getLineParserState(0));
}

TEST_F(DocumentTest, LineLengthsAndVisualColumns) {
    insert(0, L"\tab\tc\nlast");
    EXPECT_EQ(6, document.getLineLength(0));
    EXPECT_EQ(5, document.getLineTextLength(0));
    EXPECT_EQ(4, document.getLineTextLength(1));
    EXPECT_EQ(4, document.getLineLength(1));
    EXPECT_EQ(0, document.getLineLength(2));
    EXPECT_EQ(0, document.getLineLength(-1));
    const int32_t columns[][2] = {{0, 0}, {-3, 0}, {1, 4}, {3, 6}, {4, 8}, {5, 9}, {6, 10}, {9, 13}};
    for (const auto& c : columns)
        EXPECT_EQ(c[1], document.getVisualColumn(0, c[0])) << "count " << c[0];
}

TEST_F(DocumentTest, ListenersAreCalledInOrderAndRemovalMovesTheLast) {
    RecordingListener a("a "), b("b "), c("c ");
    std::vector<std::string> order;
    document.addListener(&a);
    document.addListener(&b);
    document.addListener(&b);
    document.addListener(&c);
    document.removeListener(&a);
    document.setName(L"n");
    document.setName(L"n");
    EXPECT_TRUE(a.calls.empty());
    EXPECT_EQ((std::vector<std::string>{"b name n"}), b.calls);
    EXPECT_EQ((std::vector<std::string>{"c name n"}), c.calls);
}

struct UnjournalledEditCase {
    const char* what;
    bool noUndo;
    std::function<void(corvel::Document&)> body;
};

// A write bracket on a document that has no undo journal, as the record of its notices.
::testing::AssertionResult modifiesWithoutAJournal(const UnjournalledEditCase& c) {
    corvel::Document document(nullptr);
    const std::wstring start = L"ab\ncd";
    document.insertText(0, static_cast<int32_t>(start.size()), start.data(), 0);
    RecordingListener listener;
    document.addListener(&listener);
    document.lockEdit();
    document.beginEdit(nullptr, c.noUndo);
    c.body(document);
    document.endEdit();
    document.unlockEdit();
    const bool notified = std::find(listener.calls.begin(), listener.calls.end(), "state 1") != listener.calls.end();
    if (document.getPublishedState().modified && notified)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": modified " << document.getPublishedState().modified
                                         << ", state notice " << notified;
}

// Caught: without an undo journal an edit left the document unmodified and sent no state notice.
TEST(DocumentModifiedTest, EveryEditWithoutAJournalModifies) {
    const UnjournalledEditCase cases[] = {
        {"insertion", false, [](corvel::Document& d) { d.insertText(1, 1, L"x", 0); }},
        {"removal", false, [](corvel::Document& d) { d.removeText(2, 1, 0); }},
        {"line break", false, [](corvel::Document& d) { d.insertText(0, 1, L"\n", 0); }},
        {"bracket without undo", true, [](corvel::Document& d) { d.insertText(0, 1, L"y", 0); }},
    };
    for (const UnjournalledEditCase& c : cases)
        EXPECT_TRUE(modifiesWithoutAJournal(c));
}

TEST_F(DocumentTest, StateIsPublishedWithItsMaskOnlyWhenItDiffers) {
    RecordingListener listener;
    document.addListener(&listener);
    {
        corvel::DocumentState& state = document.lockState();
        state.loadConfidence = 1.0f; // detection results take no part
        state.detectedCodePage = 1200;
        document.unlockState();
    }
    EXPECT_TRUE(listener.calls.empty());
    corvel::DocumentState& state = document.lockState();
    state.modified = true;
    state.path.assign(L"c:\\x.txt");
    state.lineEnding = corvel::LINE_ENDING_LF;
    state.formatDetected = true;
    document.unlockState();
    EXPECT_EQ((std::vector<std::string>{"state 113"}), listener.calls);
    EXPECT_EQ(1, document.getPublishedState().lineEnding);

    // Off the main thread the same change goes to the asynchronous slot.
    zem::Thread thread;
    thread.start(
        [](void* data) {
            corvel::Document* d = static_cast<corvel::Document*>(data);
            d->lockState().untitled = false;
            d->unlockState();
        },
        &document);
    thread.join();
    EXPECT_EQ("async 2", listener.calls.back());
}

TEST_F(DocumentTest, MarkersAreFoundWithAndWithoutWrap) {
    insert(0, L"0\n1\n2\n3\n4");
    RecordingListener listener;
    document.addListener(&listener);
    document.addLineMarker(1, L"a", 1, 10);
    document.addLineMarker(1, L"b", 2, 11);
    document.addLineMarker(9, L"out", 0, 10);
    EXPECT_EQ(1, document.findMarkedLine(0, true, false));
    EXPECT_EQ(-1, document.findMarkedLine(1, true, false));
    EXPECT_EQ(1, document.findMarkedLine(3, true, true));
    EXPECT_EQ(1, document.findMarkedLine(3, false, false));
    EXPECT_EQ(1, document.findMarkedLine(0, false, true));
    document.removeLineMarkers(1, 10);
    document.removeLineMarkers(1, 10);
    EXPECT_EQ(1, document.findMarkedLine(4, false, false));
    document.removeAllLineMarkers(11);
    EXPECT_EQ(-1, document.findMarkedLine(0, true, true));
    EXPECT_EQ((std::vector<std::string>{"markers 1 1", "markers 1 1", "markers 1 1", "markers 1 1"}), listener.calls);
}

TEST_F(DocumentTest, ForEachLineStopsWhenTold) {
    insert(0, L"a\nbb\nccc");
    struct Walk {
        std::vector<std::wstring> lines;
        size_t stopAfter;
    } walk{{}, 10};
    auto visit = [](void* context, const wchar_t* text, int32_t length) {
        Walk* w = static_cast<Walk*>(context);
        w->lines.emplace_back(text, length);
        return w->lines.size() < w->stopAfter;
    };
    EXPECT_EQ(4, document.forEachLine(visit, &walk));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"bb", L"ccc", L""}), walk.lines);
    walk = Walk{{}, 2};
    EXPECT_EQ(1, document.forEachLine(visit, &walk));
}

TEST_F(DocumentTest, ScopeAtAnOffsetFollowsTheLinesRuns) {
    insert(0, L"abcdef\nxyz");
    document.setGrammar(reinterpret_cast<const corvel::ParserRule*>(&document), 5, L"source.test", false);
    corvel::DocumentScopeStore& store = document.getScopeStore();
    ASSERT_EQ(1u, store.size());
    EXPECT_EQ(L"source.test", store.getScope(0)->getName());
    corvel::DocumentScope* inner = store.intern(9, 0, L"string");
    // A block with runs at columns 0 (root) and 3 (inner), and a 2-unit end state.
    struct Block {
        corvel::ParserBlockHeader header;
        corvel::ScopeRun runs[2];
        uint16_t state[2];
    };
    Block* block = reinterpret_cast<Block*>(corvel::allocateParserBlock(sizeof(Block)));
    *block = Block{{sizeof(Block), 16, 24, 4}, {{0, 0}, {3, inner->getIndex()}}, {0x11, 0x22}};
    document.getLineHeader(0)->parserBlock = reinterpret_cast<uint8_t*>(block);
    EXPECT_EQ(store.getScope(0), document.getScopeAt(2));
    EXPECT_EQ(inner, document.getScopeAt(3));
    EXPECT_EQ(inner, document.getScopeAt(6));
    EXPECT_EQ(store.getScope(0), document.getScopeAt(8)); // line 1 has no block
    EXPECT_EQ(store.getScope(0), document.getScopeAt(99));
    std::unique_ptr<corvel::LineParserState> state = document.getLineParserState(0);
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(2, state->length);
    EXPECT_EQ(0x22, state->units[1]);
    std::unique_ptr<corvel::LineScopeCursor> cursor = document.getLineScopes(0);
    EXPECT_EQ(2, cursor->count);
    EXPECT_EQ(store.getScope(0), cursor->scope);
    EXPECT_EQ(0, document.getLineScopes(1)->count);

    // A new grammar drops every stored result and roots the store again.
    document.setGrammar(nullptr, false);
    EXPECT_EQ(nullptr, document.getLineHeader(0)->parserBlock);
    EXPECT_EQ(1u, store.size());
    EXPECT_EQ(L"", store.getScope(0)->getName());
}

TEST_F(DocumentTest, LoadedTextBuildsTheIndexWithOnlyTheLastLineEdited) {
    insert(0, L"old text");
    document.resetForLoad();
    EXPECT_EQ(0, document.getLength());
    auto text = std::make_unique<corvel::GapBuffer>();
    text->append(L"ab\ncd\n", 6);
    const int32_t starts[] = {3, 6};
    document.installLoadedText(2, std::move(text), starts);
    EXPECT_EQ((std::vector<int32_t>{3, 6, 6}), lineEnds());
    EXPECT_EQ(corvel::LINE_DIRTY, document.getLineHeader(0)->flags);
    EXPECT_EQ(corvel::LINE_DIRTY, document.getLineHeader(1)->flags);
    EXPECT_EQ(corvel::LINE_DIRTY | corvel::LINE_EDITED, document.getLineHeader(2)->flags);
}

TEST_F(DocumentTest, EditLockIsRecursiveOnTheMainThreadAndExcludesOthers) {
    document.lockEdit();
    document.lockEdit();
    document.unlockEdit();
    struct Probe {
        corvel::Document* document;
        bool took;
    } probe{&document, true};
    zem::Thread thread;
    thread.start(
        [](void* data) {
            Probe* p = static_cast<Probe*>(data);
            p->took = p->document->tryLockEdit(5);
            if (p->took)
                p->document->unlockEdit();
        },
        &probe);
    thread.join();
    EXPECT_FALSE(probe.took);
    document.unlockEdit();
    probe.took = false;
    zem::Thread second;
    second.start(
        [](void* data) {
            Probe* p = static_cast<Probe*>(data);
            p->took = p->document->tryLockEdit(1000);
            if (p->took)
                p->document->unlockEdit();
        },
        &probe);
    second.join();
    EXPECT_TRUE(probe.took);
}

TEST(DocumentConstructionTest, OffTheMainThreadIsRefused) {
    struct Result {
        bool refused = false;
    } result;
    zem::Thread thread;
    thread.start(
        [](void* data) {
            try {
                corvel::Document document(nullptr);
            } catch (const zem::IllegalStateException&) {
                static_cast<Result*>(data)->refused = true;
            }
        },
        &result);
    thread.join();
    EXPECT_TRUE(result.refused);
}

} // namespace
