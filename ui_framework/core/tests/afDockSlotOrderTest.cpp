#include "corvel/ui/afDockSlotOrder.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <vector>

using namespace corvel;

namespace {

// Slots are only compared by address here.
afDockSlot* slot(int n) {
    return reinterpret_cast<afDockSlot*>(static_cast<uintptr_t>(0x1000 + 16 * n));
}
afDockSlot* const a = slot(1);
afDockSlot* const b = slot(2);
afDockSlot* const c = slot(3);

std::vector<afDockSlot*> orderOf(const afDockSlotOrder& orders, afDockOrder order) {
    return std::vector<afDockSlot*>(orders.begin(order), orders.end(order));
}

// Three slots standing a, b, c with the given one current.
afDockSlotOrder threeWithCurrent(afDockSlot* current) {
    afDockSlotOrder orders;
    orders.insert(a, 0);
    orders.insert(b, 1);
    orders.insert(c, 2);
    orders.markActive(current);
    return orders;
}

::testing::AssertionResult picks(const afDockSlotOrder& orders, afDockOrder order, int direction,
                                 afDockSlot* expected) {
    afDockSlot* actual = orders.neighbour(order, direction);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "order " << order << ", direction " << direction << ": got " << actual
                                         << ", expected " << expected;
}

TEST(afDockSlotOrderTest, InsertPlacesByPositionAndActivates) {
    afDockSlotOrder orders;
    orders.insert(a, 0);
    orders.insert(b, 0);
    orders.insert(c, 1);
    EXPECT_EQ((std::vector<afDockSlot*>{b, c, a}), orderOf(orders, AF_ORDER_POSITION));
    EXPECT_EQ((std::vector<afDockSlot*>{a, b, c}), orderOf(orders, AF_ORDER_ACTIVATION));
    EXPECT_EQ(c, orders.current());
    orders.insert(slot(4), 9); // past the end: appended
    EXPECT_EQ(slot(4), orderOf(orders, AF_ORDER_POSITION).back());
    EXPECT_EQ(4u, orders.size());
}

TEST(afDockSlotOrderTest, MarkActiveAndRemove) {
    afDockSlotOrder orders = threeWithCurrent(a);
    EXPECT_EQ((std::vector<afDockSlot*>{b, c, a}), orderOf(orders, AF_ORDER_ACTIVATION));
    EXPECT_EQ((std::vector<afDockSlot*>{a, b, c}), orderOf(orders, AF_ORDER_POSITION));
    orders.markActive(a); // already current: nothing moves
    EXPECT_EQ((std::vector<afDockSlot*>{b, c, a}), orderOf(orders, AF_ORDER_ACTIVATION));
    orders.markActive(slot(9)); // not held
    EXPECT_EQ(3u, orderOf(orders, AF_ORDER_ACTIVATION).size());
    orders.remove(slot(9));
    EXPECT_EQ(3u, orders.size());
    orders.remove(c);
    EXPECT_EQ((std::vector<afDockSlot*>{b, a}), orderOf(orders, AF_ORDER_ACTIVATION));
    EXPECT_EQ((std::vector<afDockSlot*>{a, b}), orderOf(orders, AF_ORDER_POSITION));
}

TEST(afDockSlotOrderTest, NoSlotsGiveNone) {
    afDockSlotOrder orders;
    for (afDockOrder order : {AF_ORDER_POSITION, AF_ORDER_ACTIVATION})
        for (int direction = 0; direction <= 4; ++direction)
            EXPECT_TRUE(picks(orders, order, direction, nullptr));
}

TEST(afDockSlotOrderTest, OneSlot) {
    afDockSlotOrder orders;
    orders.insert(a, 0);
    for (afDockOrder order : {AF_ORDER_POSITION, AF_ORDER_ACTIVATION}) {
        EXPECT_TRUE(picks(orders, order, AF_DOCK_CURRENT, a));
        EXPECT_TRUE(picks(orders, order, AF_DOCK_PREVIOUS, a));
        EXPECT_TRUE(picks(orders, order, AF_DOCK_NEXT, a));
        EXPECT_TRUE(picks(orders, order, AF_DOCK_SUCCESSOR, nullptr));
        EXPECT_TRUE(picks(orders, order, 7, nullptr));
    }
}

TEST(afDockSlotOrderTest, PositionOrderWrapsRound) {
    afDockSlotOrder middle = threeWithCurrent(b);
    EXPECT_TRUE(picks(middle, AF_ORDER_POSITION, AF_DOCK_CURRENT, b));
    EXPECT_TRUE(picks(middle, AF_ORDER_POSITION, AF_DOCK_PREVIOUS, a));
    EXPECT_TRUE(picks(middle, AF_ORDER_POSITION, AF_DOCK_NEXT, c));
    EXPECT_TRUE(picks(middle, AF_ORDER_POSITION, AF_DOCK_SUCCESSOR, c));
    afDockSlotOrder third = threeWithCurrent(c);
    EXPECT_TRUE(picks(third, AF_ORDER_POSITION, AF_DOCK_NEXT, a));
    EXPECT_TRUE(picks(third, AF_ORDER_POSITION, AF_DOCK_SUCCESSOR, b));
    afDockSlotOrder first = threeWithCurrent(a);
    EXPECT_TRUE(picks(first, AF_ORDER_POSITION, AF_DOCK_PREVIOUS, c));
    EXPECT_TRUE(picks(first, AF_ORDER_POSITION, AF_DOCK_SUCCESSOR, b));
}

TEST(afDockSlotOrderTest, ActivationOrderFollowsRecency) {
    afDockSlotOrder orders = threeWithCurrent(a); // activated b, c, a
    EXPECT_TRUE(picks(orders, AF_ORDER_ACTIVATION, AF_DOCK_CURRENT, a));
    EXPECT_TRUE(picks(orders, AF_ORDER_ACTIVATION, AF_DOCK_PREVIOUS, c)); // the previously activated
    EXPECT_TRUE(picks(orders, AF_ORDER_ACTIVATION, AF_DOCK_NEXT, b));     // the least recently activated
    EXPECT_TRUE(picks(orders, AF_ORDER_ACTIVATION, AF_DOCK_SUCCESSOR, c));
}

TEST(afDockSlotOrderTest, MoveChangesOnlyThePositionOrder) {
    afDockSlotOrder orders = threeWithCurrent(b);
    EXPECT_TRUE(orders.move(a, 2)); // counted after its own removal: before c
    EXPECT_EQ((std::vector<afDockSlot*>{b, a, c}), orderOf(orders, AF_ORDER_POSITION));
    EXPECT_TRUE(orders.move(b, 7)); // past the end: appended
    EXPECT_EQ((std::vector<afDockSlot*>{a, c, b}), orderOf(orders, AF_ORDER_POSITION));
    EXPECT_EQ((std::vector<afDockSlot*>{a, c, b}), orderOf(orders, AF_ORDER_ACTIVATION));
    EXPECT_FALSE(orders.move(slot(9), 0));
    EXPECT_EQ(3u, orders.size());
}

} // namespace
