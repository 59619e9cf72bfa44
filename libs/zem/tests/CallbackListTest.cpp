#include "zem/base/CallbackList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Log {
    std::vector<std::string> calls;
};

typedef zem::CallbackList<void(Log*, int)> List;

struct Subscriber {
    std::string name;
    List* list = nullptr;
    Subscriber* victim = nullptr;   // removed by this one's call
    Subscriber* newcomer = nullptr; // added by this one's call
    bool removeSelf = false;
    bool raise = false;
};

void record(void* data, Log* log, int arg) {
    Subscriber* self = static_cast<Subscriber*>(data);
    log->calls.push_back(self->name + ":" + std::to_string(arg));
    if (self->victim)
        self->list->remove(&record, self->victim);
    if (self->newcomer)
        self->list->add(&record, self->newcomer);
    if (self->removeSelf)
        self->list->remove(&record, self);
    if (self->raise)
        throw std::runtime_error("subscriber failed");
}

void other(void* data, Log* log, int) {
    log->calls.push_back("other:" + static_cast<Subscriber*>(data)->name);
}

TEST(CallbackListTest, CallsInSubscriptionOrderOncePerPair) {
    List list;
    Subscriber a{"a"}, b{"b"};
    EXPECT_TRUE(list.add(&record, &a));
    EXPECT_TRUE(list.add(&record, &b));
    EXPECT_FALSE(list.add(&record, &a)); // the same pair once
    EXPECT_TRUE(list.add(&other, &a));   // another function with the same data is another pair
    EXPECT_EQ(3u, list.size());
    Log log;
    list.invoke(&log, 7);
    EXPECT_EQ((std::vector<std::string>{"a:7", "b:7", "other:a"}), log.calls);
    EXPECT_TRUE(list.remove(&record, &a));
    EXPECT_FALSE(list.remove(&record, &a));
    EXPECT_FALSE(list.remove(nullptr, &a));
    log.calls.clear();
    list.invoke(&log, 8);
    EXPECT_EQ((std::vector<std::string>{"b:8", "other:a"}), log.calls);
}

TEST(CallbackListTest, ChangesDuringAnInvocation) {
    List list;
    Subscriber a{"a", &list}, b{"b", &list}, c{"c", &list}, d{"d", &list};
    a.victim = &c;   // caught: a subscriber removed meanwhile (and maybe freed) still being called
    b.newcomer = &d; // first called by the next invocation
    b.removeSelf = true;
    list.add(&record, &a);
    list.add(&record, &b);
    list.add(&record, &c);
    Log log;
    list.invoke(&log, 1);
    EXPECT_EQ((std::vector<std::string>{"a:1", "b:1"}), log.calls);
    EXPECT_EQ(2u, list.size());
    EXPECT_FALSE(list.contains(&record, &b));
    a.victim = nullptr;
    log.calls.clear();
    list.invoke(&log, 2);
    EXPECT_EQ((std::vector<std::string>{"a:2", "d:2"}), log.calls);
}

TEST(CallbackListTest, SubscriberThatThrowsLeavesTheListUsable) {
    List list;
    Subscriber a{"a", &list}, b{"b", &list};
    a.removeSelf = true;
    a.raise = true;
    list.add(&record, &a);
    list.add(&record, &b);
    Log log;
    EXPECT_THROW(list.invoke(&log, 1), std::runtime_error);
    EXPECT_EQ(1u, list.size());
    log.calls.clear();
    list.invoke(&log, 2);
    EXPECT_EQ((std::vector<std::string>{"b:2"}), log.calls);
    EXPECT_TRUE(list.add(&record, &a)); // re-subscribing after removal appends again
}

bool answer(void* data, int* calls) {
    ++*calls;
    return *static_cast<bool*>(data);
}

TEST(CallbackListTest, VetoListStopsAtTheFirstRefusal) {
    zem::CallbackList<bool(int*)> list;
    bool yes = true, no = false, yes2 = true;
    list.add(&answer, &yes);
    list.add(&answer, &no);
    list.add(&answer, &yes2);
    int calls = 0;
    EXPECT_FALSE(list.invokeWhileTrue(&calls));
    EXPECT_EQ(2, calls);
    list.remove(&answer, &no);
    calls = 0;
    EXPECT_TRUE(list.invokeWhileTrue(&calls));
    EXPECT_EQ(2, calls);
}

TEST(CallbackListTest, DispatchStopsAtTheFirstHandler) {
    zem::CallbackList<bool(int*)> list;
    int calls = 0;
    EXPECT_FALSE(list.dispatch(&calls)); // nobody to handle it
    EXPECT_TRUE(list.invokeWhileTrue(&calls));
    EXPECT_EQ(0, calls);
    bool yes = true, no = false, no2 = false;
    list.add(&answer, &no);
    list.add(&answer, &yes);
    list.add(&answer, &no2);
    EXPECT_TRUE(list.dispatch(&calls));
    EXPECT_EQ(2, calls);
    list.remove(&answer, &yes);
    calls = 0;
    EXPECT_FALSE(list.dispatch(&calls));
    EXPECT_EQ(2, calls);
}

} // namespace
