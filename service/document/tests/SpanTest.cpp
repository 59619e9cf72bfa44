#include "corvel/document/Span.h"
#include "corvel/config/Stream.h"
#include "corvel/document/SpanContext.h"

#include "support/BytesStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using corvel::Span;
using corvel::SpanContext;

// Bytes written and read back in order.
using MemoryStream = documenttest::BytesStream;

std::string layout(const Span* parent) {
    std::string out;
    for (const Span* child = parent->getFirstChild(); child; child = child->getNextSibling())
        out += "[" + std::to_string(child->getStart()) + "," + std::to_string(child->getEnd()) + ")";
    return out;
}

// Three children of lengths 2, 3, 4 laid out one after the other from offset 10.
struct Tree {
    Tree() : root(new SpanContext(L"root", nullptr, 20)) {
        root->setStart(10);
        for (int32_t length : {2, 3, 4}) {
            Span* child = new Span(L"", length);
            Span::attachWithText(nullptr, child, root.get(), -1, nullptr);
            // Without a controller the parent is not stretched: place each after the last.
            child->setStart(10 + (length == 2 ? 0 : length == 3 ? 2 : 5));
            children.push_back(child);
        }
    }
    std::unique_ptr<SpanContext> root;
    std::vector<Span*> children;
};

TEST(SpanTest, LengthChangesTravelUpAndRight) {
    Tree tree;
    EXPECT_EQ("[10,12)[12,15)[15,19)", layout(tree.root.get()));
    tree.children[0]->setLength(5);
    EXPECT_EQ("[10,15)[15,18)[18,22)", layout(tree.root.get()));
    EXPECT_EQ(23, tree.root->getLength()) << "the parent grows by the difference";
    tree.root->setStart(0);
    EXPECT_EQ("[0,5)[5,8)[8,12)", layout(tree.root.get())) << "children move with their parent";
}

TEST(SpanTest, RemovingTheMiddleChildMovesTheLastBack) {
    Tree tree;
    tree.root->removeChild(tree.children[1]);
    delete tree.children[1];
    EXPECT_EQ("[10,12)[12,16)", layout(tree.root.get()));
    EXPECT_EQ(2, tree.root->getChildCount());
}

TEST(SpanTest, DetachingKeepsTheSiblingsWhereTheirTextIs) {
    Tree tree;
    tree.root->detachChild(tree.children[1]);
    delete tree.children[1];
    EXPECT_EQ("[10,12)[15,19)", layout(tree.root.get()));
}

struct TabCase {
    std::vector<int32_t> groups;
    std::vector<int32_t> forward; // the numbers nextPlaceholder visits, then -1
};

::testing::AssertionResult visits(const TabCase& c) {
    std::vector<std::unique_ptr<Span>> masters; // outlive the context that listens to them
    SpanContext context(L"snippet", nullptr, 0);
    for (int32_t number : c.groups) {
        masters.emplace_back(new Span());
        context.setMaster(number, masters.back().get());
    }
    std::vector<int32_t> seen;
    for (int32_t step = 0; step < 10; ++step) {
        const int32_t next = context.nextPlaceholder();
        seen.push_back(next);
        if (next < 0)
            break;
        context.activateSpan(context.getIndexedChild(next));
    }
    if (seen == c.forward)
        return ::testing::AssertionSuccess();
    std::string text;
    for (int32_t n : seen)
        text += std::to_string(n) + " ";
    return ::testing::AssertionFailure() << "visited " << text;
}

TEST(SpanContextTest, TabOrderEndsAtTheFinalStop) {
    const TabCase cases[] = {
        {{0, 1, 2}, {1, 2, 0, -1}},
        {{0}, {0, -1}},
        {{1, 2}, {1, 2, -1}},
        {{}, {-1}},
    };
    for (const TabCase& c : cases)
        EXPECT_TRUE(visits(c));
}

TEST(SpanContextTest, RemovingAMasterTakesItsGroup) {
    SpanContext context(L"snippet", nullptr, 10);
    Span* master = new Span(L"", 2);
    Span* mirror = new Span(L"", 2);
    Span::attachWithText(nullptr, master, &context, 0, nullptr);
    Span::attachWithText(nullptr, mirror, &context, 5, nullptr);
    context.setMaster(1, master);
    context.addMirror(1, mirror);
    EXPECT_FALSE(mirror->isActive()) << "a mirror is no tab stop";
    master->remove();
    EXPECT_EQ(nullptr, context.findGroup(1, false));
    EXPECT_EQ(-1, mirror->getPlaceholder());
}

TEST(SpanContextTest, ARecordReadBackKeepsGroupsAndTheMasterBit) {
    SpanContext context(L"snippet", nullptr, 10);
    Span* master = new Span(L"field", 2);
    Span* mirror = new Span(L"", 2);
    Span::attachWithText(nullptr, master, &context, 0, nullptr);
    Span::attachWithText(nullptr, mirror, &context, 5, nullptr);
    context.setMaster(3, master);
    context.addMirror(3, mirror);
    context.activateSpan(master);
    corvel::SpanTable table;
    table.add(&context);
    table.add(master);
    table.add(mirror);
    MemoryStream stream;
    context.write(stream, table);
    master->write(stream, table);
    mirror->write(stream, table);

    SpanContext copy;
    Span* copyMaster = new Span();
    Span* copyMirror = new Span();
    Span::attachWithText(nullptr, copyMaster, &copy, -1, nullptr);
    Span::attachWithText(nullptr, copyMirror, &copy, -1, nullptr);
    corvel::SpanTable copyTable;
    copyTable.add(&copy);
    copyTable.add(copyMaster);
    copyTable.add(copyMirror);
    ASSERT_TRUE(copy.read(stream, copyTable));
    ASSERT_TRUE(copyMaster->read(stream, copyTable));
    ASSERT_TRUE(copyMirror->read(stream, copyTable));
    EXPECT_EQ(L"snippet", copy.getName());
    EXPECT_EQ(copyMaster, copy.getIndexedChild(3)) << "the master bit makes it the master again";
    EXPECT_EQ(L"field", copyMaster->getName());
    EXPECT_EQ(5, copyMirror->getStart());
    ASSERT_NE(nullptr, copy.findGroup(3, false));
    EXPECT_EQ(1u, copy.findGroup(3, false)->mirrors.size());
    EXPECT_EQ(3, copy.getCurrentGroup());
}

TEST(SpanContextTest, ADamagedRecordChangesNothing) {
    SpanContext context(L"kept", nullptr, 7);
    corvel::SpanTable table;
    table.add(&context);
    MemoryStream good;
    SpanContext(L"other", nullptr, 3).write(good, table);
    // Cut short at every length, and a mirror index past the table.
    for (size_t cut = 0; cut < good.data.size(); cut += 3) {
        MemoryStream shortRecord;
        shortRecord.data.assign(good.data.begin(), good.data.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(context.read(shortRecord, table)) << cut;
        EXPECT_EQ(L"kept", context.getName()) << cut;
        EXPECT_EQ(7, context.getLength()) << cut;
    }
}

} // namespace
