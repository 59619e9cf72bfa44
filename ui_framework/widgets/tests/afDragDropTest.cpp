#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDataObjectText.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropSource.h"
#include "corvel/widgets/afDropTarget.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

const POINTL AT{10, 20};

TEST(DropActionTest, Conversions) {
    struct Case {
        DWORD effects;
        int allowed;
    } sets[] = {{DROPEFFECT_NONE, 1},
                {DROPEFFECT_COPY, 5},
                {DROPEFFECT_MOVE, 9},
                {DROPEFFECT_LINK, 17},
                {DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, 29}};
    for (const Case& c : sets) {
        EXPECT_EQ(c.allowed, afDropAction::fromDropEffects(c.effects)) << c.effects;
        EXPECT_EQ(c.effects, afDropAction::toDropEffects(c.allowed)) << c.allowed;
    }
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), afDropAction::toDropAction(1));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), afDropAction::toDropAction(4));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), afDropAction::toDropAction(8));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK), afDropAction::toDropAction(16));
    zemtest::LogCapture log;
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), afDropAction::toDropAction(12));
    ASSERT_EQ(1u, log.lines().size());
    EXPECT_EQ(L"afDropAction::toDropAction(): Unknown afDropAction #c.", log.lines()[0].text);
}

TEST(DropActionTest, DragEventsAndTheDefaultChoice) {
    afEvent event = afDropAction::makeDragEvent(MK_CONTROL | MK_SHIFT | MK_RBUTTON | MK_MBUTTON, AT);
    EXPECT_EQ(3, event.getModifiers());
    EXPECT_EQ(2u, event.getDetail());
    EXPECT_EQ(10, event.x);
    EXPECT_EQ(20, event.y);
    struct Case {
        int allowed;
        DWORD keys;
        int expected;
    } cases[] = {
        {29, MK_CONTROL | MK_SHIFT, 16},
        {13, MK_CONTROL | MK_SHIFT, 4},
        {29, MK_CONTROL, 4},
        {29, MK_SHIFT, 8},
        {29, 0, 8},
        {5, 0, 1},
        {5, MK_CONTROL, 4},
        {9, MK_ALT, 1},
        {1, MK_CONTROL, 1},
    };
    for (const Case& c : cases) {
        afEvent drag = afDropAction::makeDragEvent(c.keys | MK_LBUTTON, AT);
        EXPECT_EQ(c.expected, afDropAction::pick(c.allowed, drag)) << c.allowed << " keys " << c.keys;
    }
}

// Records which callbacks ran and answers with a fixed action.
struct Recorder {
    int answer = afDropAction::COPY;
    int calls = 0;
    int leaves = 0;
    std::wstring dropped;

    static int decide(void* self, afDropTarget*, afEvent*, int, int) {
        Recorder* recorder = static_cast<Recorder*>(self);
        ++recorder->calls;
        return recorder->answer;
    }
    static int take(void* self, afDropTarget* target, afEvent*, int, int) {
        Recorder* recorder = static_cast<Recorder*>(self);
        afDataObject* data = target->getData();
        if (!data)
            return afDropAction::NONE;
        recorder->dropped = static_cast<afDataObjectText*>(data)->getText();
        return recorder->answer;
    }
    static void leave(void* self, afDropTarget*) { ++static_cast<Recorder*>(self)->leaves; }
};

class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        target.leaveCallback = afDropTarget::LeaveCallback(&recorder, &Recorder::leave);
        target.dropCallback = afDropTarget::ActionCallback(&recorder, &Recorder::take);
    }

    DWORD enter(DWORD offered, DWORD keys) {
        DWORD effect = offered;
        EXPECT_EQ(S_OK, com()->DragEnter(source.getAdapter(), keys | MK_LBUTTON, AT, &effect));
        return effect;
    }
    DWORD drop(DWORD offered, DWORD keys) {
        DWORD effect = offered;
        EXPECT_EQ(S_OK, com()->Drop(source.getAdapter(), keys, AT, &effect));
        return effect;
    }
    IDropTarget* com() { return target.getComTarget(); }

    Recorder recorder;
    afDataObjectText source{L"dragged text"};
    afDropTarget target{new afDataObjectText, true};
};

TEST_F(DropTargetTest, TheDefaultChoiceFollowsTheModifiers) {
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), enter(DROPEFFECT_COPY, 0));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, com()->DragOver(MK_CONTROL | MK_LBUTTON, AT, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(S_OK, com()->DragOver(MK_LBUTTON, AT, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), effect);
    EXPECT_EQ(S_OK, com()->DragLeave());
    EXPECT_EQ(1, recorder.leaves);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, com()->DragOver(MK_CONTROL, AT, &effect)); // nothing held after leaving
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
}

TEST_F(DropTargetTest, ADropFetchesTheDataIntoTheTargetsObject) {
    recorder.answer = afDropAction::COPY;
    enter(DROPEFFECT_COPY, MK_CONTROL);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), drop(DROPEFFECT_COPY, MK_CONTROL));
    EXPECT_EQ(L"dragged text", recorder.dropped);
    EXPECT_EQ(1, recorder.leaves);
    EXPECT_EQ(nullptr, target.getData()); // only during a drop
}

TEST_F(DropTargetTest, AnActionTheSourceDoesNotAllowCountsAsNoDrop) {
    target.enterCallback = afDropTarget::ActionCallback(&recorder, &Recorder::decide);
    target.overCallback = afDropTarget::ActionCallback(&recorder, &Recorder::decide);
    recorder.answer = afDropAction::MOVE;
    zemtest::LogCapture log;
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), enter(DROPEFFECT_COPY, 0));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), drop(DROPEFFECT_COPY, 0));
    EXPECT_TRUE(recorder.dropped.empty());
    bool logged = false;
    for (const auto& line : log.lines())
        logged |= line.text == L"__IDropTarget::checkAction: Action returned by drop data (8) is not allowed source "
                               L"action (5)!";
    EXPECT_TRUE(logged);
}

TEST(DropTargetOnlyPrivateTest, TextFromAnotherProgramIsNeverOffered) {
    Recorder recorder;
    afDropTarget target(new afDataObjectScalar<unsigned>(L"CorvelTestDockSlot", 0), true);
    target.enterCallback = afDropTarget::ActionCallback(&recorder, &Recorder::decide);
    target.dropCallback = afDropTarget::ActionCallback(&recorder, &Recorder::decide);
    afDataObjectText text(L"from elsewhere");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(S_OK, target.getComTarget()->DragEnter(text.getAdapter(), MK_LBUTTON, AT, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target.getComTarget()->Drop(text.getAdapter(), MK_CONTROL, AT, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    EXPECT_EQ(0, recorder.calls);
    EXPECT_EQ(E_INVALIDARG, target.getComTarget()->DragEnter(text.getAdapter(), 0, AT, nullptr));
    EXPECT_EQ(E_INVALIDARG, target.getComTarget()->DragOver(0, AT, nullptr));
    EXPECT_EQ(E_INVALIDARG, target.getComTarget()->Drop(text.getAdapter(), 0, AT, nullptr));
}

class FeedbackSource : public afDropSource {
public:
    bool giveFeedback(int action) override {
        actions.push_back(action);
        return action == 4;
    }
    std::vector<int> actions;
};

TEST(DropSourceTest, TheDragGoesOnWhileItsButtonIsHeld) {
    FeedbackSource source;
    IDropSource* com = source.getComSource();
    EXPECT_EQ(S_OK, com->QueryContinueDrag(FALSE, MK_RBUTTON | MK_CONTROL));
    EXPECT_EQ(S_OK, com->QueryContinueDrag(FALSE, MK_RBUTTON | MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_DROP, com->QueryContinueDrag(FALSE, MK_LBUTTON)); // the starting button went up
    EXPECT_EQ(DRAGDROP_S_CANCEL, com->QueryContinueDrag(TRUE, MK_RBUTTON));

    EXPECT_EQ(S_OK, com->GiveFeedback(DROPEFFECT_COPY | DROPEFFECT_MOVE));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, com->GiveFeedback(DROPEFFECT_MOVE));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, com->GiveFeedback(DROPEFFECT_LINK));
    EXPECT_EQ((std::vector<int>{4, 8, 1}), source.actions);

    afDropSource plain;
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, plain.getComSource()->GiveFeedback(DROPEFFECT_COPY));
    EXPECT_EQ(0, plain.drag(afDropAction::COPY)); // no data object
}

} // namespace
