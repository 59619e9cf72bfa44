#include "corvel/widgets/PreferencesDialog.h"
#include "ModalSteps.h"
#include "WidgetHost.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlTabs.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

constexpr uint32_t RESULT_OK = 0x79dcdd47u;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;

// A subscriber: adds its pages, answers the handler lists and counts the calls.
struct Subscriber {
    int pages = 0;
    bool applyAnswer = true;
    bool cancelAnswer = true;
    int applied = 0, cancelled = 0, closed = 0;

    static void build(void* self, PreferencesDialog* dialog) {
        auto* me = static_cast<Subscriber*>(self);
        for (int i = 0; i < me->pages; ++i) {
            afContainer* page = afContainer::create(dialog->getTabs());
            page->setText((L"Page " + std::to_wstring(i)).c_str());
            dialog->addPage(page);
        }
    }
    static void close(void* self, PreferencesDialog*) { ++static_cast<Subscriber*>(self)->closed; }
    static bool apply(void* self) {
        auto* me = static_cast<Subscriber*>(self);
        ++me->applied;
        return me->applyAnswer;
    }
    static bool cancel(void* self) {
        auto* me = static_cast<Subscriber*>(self);
        ++me->cancelled;
        return me->cancelAnswer;
    }
};

// Never reached when the subscriber before it refuses.
bool unreachable(void* called) {
    *static_cast<bool*>(called) = true;
    return true;
}

struct Fixture {
    Fixture() {
        manager.setOwner(&host);
        manager.pageBuilders.add(&Subscriber::build, &subscriber);
        manager.pageClosers.add(&Subscriber::close, &subscriber);
        manager.applyHandlers.add(&Subscriber::apply, &subscriber);
        manager.cancelHandlers.add(&Subscriber::cancel, &subscriber);
        manager.applyHandlers.add(&unreachable, &laterApplied);
        manager.cancelHandlers.add(&unreachable, &laterCancelled);
    }
    uint32_t run(std::vector<std::function<void()>> steps) {
        return widgetstest::runWithSteps([this] { return manager.openDialog(); }, std::move(steps));
    }
    PreferencesDialog* dialog() const { return manager.getOpenDialog(); }
    void click(afControlButton* (PreferencesDialog::*which)() const) { (dialog()->*which)()->click(); }

    HostWindow host;
    afActionRegistry registry;
    PreferencesManager manager{&registry};
    Subscriber subscriber;
    bool laterApplied = false;
    bool laterCancelled = false;
};

TEST(PreferencesDialogTest, ShowsTheSubscribersPagesInItsFrameAndOkApplies) {
    Fixture f;
    f.subscriber.pages = 2;
    afAction* action = f.registry.findAction(L"view.dlg.preferences");
    ASSERT_NE(nullptr, action);
    EXPECT_EQ(L"Open Preferences Dialog", action->getTitle());
    int tabs = 0, current = -1;
    RECT frame{};
    wchar_t title[64] = {};
    uint32_t result = f.run({[&] {
        tabs = f.dialog()->getTabs()->getTabCount();
        current = f.dialog()->getTabs()->getCurrentTab();
        GetWindowRect(f.dialog()->getHandle(), &frame);
        GetWindowTextW(f.dialog()->getHandle(), title, 64);
        f.click(&PreferencesDialog::getOkButton);
    }});
    EXPECT_EQ(RESULT_OK, result);
    EXPECT_EQ(2, tabs);
    EXPECT_EQ(0, current);
    EXPECT_EQ(530, frame.right - frame.left);
    EXPECT_EQ(620, frame.bottom - frame.top);
    EXPECT_STREQ(L"Preferences", title);
    EXPECT_EQ(1, f.subscriber.applied);
    EXPECT_TRUE(f.laterApplied);
    EXPECT_EQ(1, f.subscriber.closed);
    EXPECT_EQ(nullptr, f.dialog());
}

TEST(PreferencesDialogTest, ARefusingHandlerKeepsTheDialogOpenAndStopsTheList) {
    Fixture f;
    f.subscriber.applyAnswer = false;
    f.subscriber.cancelAnswer = false;
    bool openAfterRefusals = false;
    uint32_t result =
        f.run({[&] { f.click(&PreferencesDialog::getApplyButton); }, [&] { f.click(&PreferencesDialog::getOkButton); },
               [&] { f.click(&PreferencesDialog::getCancelButton); },
               [&] {
                   openAfterRefusals = IsWindow(f.dialog()->getHandle()) != FALSE;
                   f.subscriber.cancelAnswer = true;
                   f.click(&PreferencesDialog::getCancelButton);
               }});
    EXPECT_EQ(RESULT_CANCEL, result);
    EXPECT_TRUE(openAfterRefusals);
    EXPECT_EQ(2, f.subscriber.applied) << "Apply and OK";
    EXPECT_EQ(2, f.subscriber.cancelled);
    EXPECT_FALSE(f.laterApplied) << "a handler after a refusal was called";
    EXPECT_TRUE(f.laterCancelled) << "the accepted Cancel ran the whole list";
    EXPECT_EQ(1, f.subscriber.closed);
}

TEST(PreferencesDialogTest, WithoutSubscribersOkAndCancelCloseAtOnce) {
    struct Case {
        afControlButton* (PreferencesDialog::*button)() const;
        uint32_t result;
    };
    const Case cases[] = {{&PreferencesDialog::getOkButton, RESULT_OK},
                          {&PreferencesDialog::getCancelButton, RESULT_CANCEL}};
    for (const Case& c : cases) {
        HostWindow host;
        afActionRegistry registry;
        PreferencesManager manager(&registry);
        manager.setOwner(&host);
        int tabs = -1;
        uint32_t result = widgetstest::runWithSteps([&] { return manager.openDialog(); }, {[&] {
                                                        tabs = manager.getOpenDialog()->getTabs()->getTabCount();
                                                        (manager.getOpenDialog()->*c.button)()->click();
                                                    }});
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(0, tabs);
    }
}

} // namespace
