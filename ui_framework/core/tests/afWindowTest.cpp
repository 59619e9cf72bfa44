#include "corvel/config/Config.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayout.h"
#include "corvel/ui/afWidgetKit.h"
#include "corvel/ui/afWindowKinds.h"
#include "support/TestWidgets.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace corvel;
using uitest::TestWidget;

namespace {

// A window that stays unmapped (mapping costs seconds under a bare display) and counts
// its deferred layout passes.
class TestWindow : public afWindow {
public:
    explicit TestWindow(afView* owner) : afWindow(owner) {}
    bool buildSeed(Seed& seed) override {
        afWindow::buildSeed(seed);
        seed.x = 50;
        seed.y = 50;
        seed.width = 300;
        seed.height = 200;
        return !refuseSeed;
    }
    uint32_t enterModal() override {
        disableOwners(false);
        return RESULT_OK; // not shown: see above
    }
    void validateLayout() override {
        ++passes;
        afWindow::validateLayout();
    }
    int passes = 0;
    bool refuseSeed = false;
};

std::function<void()> g_tick;
UINT_PTR g_fallback = 0;

void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    try {
        if (id == g_fallback) {
            PostQuitMessage(0xFA11); // a test that hangs ends its loop with this code
            return;
        }
        if (g_tick)
            g_tick();
    } catch (...) {
    }
}

// Runs action from a timer once the modal loop runs, with a fallback that ends the loop.
void soon(std::function<void()> action) {
    g_tick = std::move(action);
    SetTimer(nullptr, 0, 10, &onTimer);
    g_fallback = SetTimer(nullptr, 0, 5000, &onTimer);
}

struct WindowTest : ::testing::Test {
    uitest::WithResources resources;
    void TearDown() override {
        if (g_fallback)
            KillTimer(nullptr, g_fallback);
        g_fallback = 0;
        g_tick = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT)
                DispatchMessageW(&msg);
        }
    }
};

afEvent keyEvent(int virtualKey) {
    MSG msg{};
    afEvent event(msg, static_cast<unsigned>(virtualKey));
    event.code = static_cast<uint32_t>(virtualKey);
    return event;
}

TEST_F(WindowTest, ModalResultsAndTheOwner) {
    TestWidget owner(nullptr, false);
    owner.create();
    struct Case {
        const char* name;
        std::function<void(TestWindow&)> closing;
        uint32_t expected;
    };
    const Case cases[] = {
        {"close with a code", [](TestWindow& w) { w.close(42); }, 42},
        {"accept", [](TestWindow& w) { w.accept(); }, afWindow::RESULT_OK},
        {"escape",
         [](TestWindow& w) {
             afEvent e = keyEvent(VK_ESCAPE);
             w.dispatchKeyDown(&e);
         },
         afWindow::RESULT_CANCEL},
        {"alt+f4",
         [](TestWindow& w) {
             afEvent e = keyEvent(VK_F4);
             e.code |= 4 << 8;
             w.dispatchKeyDown(&e);
         },
         afWindow::RESULT_CANCEL},
        {"close box", [](TestWindow& w) { SendMessageW(w.getHandle(), WM_CLOSE, 0, 0); }, afWindow::RESULT_CANCEL},
    };
    for (const Case& c : cases) {
        auto* window = new TestWindow(&owner);
        bool ownerDisabled = false;
        soon([&] {
            ownerDisabled = !IsWindowEnabled(owner.getHandle());
            c.closing(*window);
        });
        uint32_t result = window->runModal();
        EXPECT_EQ(c.expected, result) << c.name;
        EXPECT_TRUE(ownerDisabled) << c.name;
        EXPECT_TRUE(IsWindowEnabled(owner.getHandle())) << c.name;
        EXPECT_EQ(nullptr, window->getHandle()) << c.name;
        EXPECT_FALSE(window->isModal());
        delete window;
        KillTimer(nullptr, g_fallback);
    }
}

TEST_F(WindowTest, AWindowThatCannotBeCreatedCancelsWithoutALoop) {
    TestWindow window(nullptr);
    window.refuseSeed = true;
    EXPECT_EQ(afWindow::RESULT_CANCEL, window.runModal());
}

TEST_F(WindowTest, AQuitInsideTheModalLoopEndsItAndIsPostedAgain) {
    TestWindow window(nullptr);
    soon([] { PostQuitMessage(7); });
    EXPECT_EQ(afWindow::RESULT_CANCEL, window.runModal());
    EXPECT_EQ(nullptr, window.getHandle());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(WindowTest, LayoutRequestsCollapseIntoOnePassPerTurn) {
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    window.setContentView(content);
    uitest::drainMessages();
    window.passes = 0;
    for (int i = 0; i < 10; ++i)
        content->needLayout("test");
    MSG msg;
    int posted = 0;
    while (PeekMessageW(&msg, window.getHandle(), afWindow::postValidateLayoutMessage(),
                        afWindow::postValidateLayoutMessage(), PM_REMOVE)) {
        ++posted;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(1, posted);
    EXPECT_EQ(1, window.passes);
    EXPECT_EQ(content->getFrame().width(), window.getClientFrame().width());
    window.setContentView(nullptr);
}

TEST_F(WindowTest, SizeModeTwoTakesTheContentSize) {
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    content->setMinimumSize(120, 80);
    window.setContentView(content);
    window.setSizeModes(afWindow::SIZE_CONTENT);
    uitest::drainMessages();
    window.needLayout("test");
    uitest::drainMessages();
    RECT client;
    GetClientRect(window.getHandle(), &client);
    EXPECT_EQ(120, client.right);
    EXPECT_EQ(80, client.bottom);
    window.setContentView(nullptr);
}

TEST_F(WindowTest, HideOnCloseKeepsTheWindow) {
    TestWidget owner(nullptr, false);
    owner.create();
    auto* window = new TestWindow(&owner);
    window->create();
    SendMessageW(window->getHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window->getHandle()));
    EXPECT_FALSE(window->isVisible());
    window->setHideOnClose(false);
    SendMessageW(window->getHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, window->getHandle());
}

class TestButton : public TestWidget, public afIButton {
public:
    TestButton(afView* owner) : TestWidget(owner, true) {}
    void press() override { ++presses; }
    int presses = 0;
};

TEST_F(WindowTest, DefaultButtonAnswersEnterAndDialogQueries) {
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    window.setContentView(content);
    EXPECT_EQ(0, SendMessageW(window.getHandle(), DM_GETDEFID, 0, 0));
    auto* button = new TestButton(&window);
    button->create();
    content->addChild(button);
    window.setDefaultButton(button, false);
    EXPECT_EQ(0x534B0000 | button->getControlId(), SendMessageW(window.getHandle(), DM_GETDEFID, 0, 0));
    afEvent enter = keyEvent(VK_RETURN);
    EXPECT_TRUE(window.dispatchKeyDown(&enter));
    EXPECT_EQ(1, button->presses);
    afEvent ctrlEnter = keyEvent(VK_RETURN);
    ctrlEnter.code |= 1 << 8;
    EXPECT_FALSE(window.dispatchKeyDown(&ctrlEnter));
    content->removeChild(button);
    window.setContentView(nullptr);
}

// Focus needs a mapped, active window, which a bare display does not give: the views
// keep a focus of their own.
afView* g_focused = nullptr;
class MnemonicView : public TestWidget {
public:
    explicit MnemonicView(afView* owner) : TestWidget(owner, true) {}
    bool hasFocus() const override { return g_focused == this; }
    void requestFocus() override { g_focused = this; }
};

TEST_F(WindowTest, MnemonicsCycleThroughTheirViews) {
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    window.setContentView(content);
    std::vector<MnemonicView*> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons.push_back(new MnemonicView(&window));
        buttons.back()->create();
        buttons.back()->addMnemonic(L'k');
        content->addChild(buttons.back());
    }
    g_focused = buttons[0];
    MSG alt{window.getHandle(), WM_SYSCHAR, L'k', 1 << 29, 0, {0, 0}};
    for (int expected : {1, 2, 0}) {
        EXPECT_TRUE(window.preTranslate(&alt));
        EXPECT_EQ(buttons[expected], g_focused);
    }
    MSG plain{window.getHandle(), WM_CHAR, L'k', 0, 0, {0, 0}};
    EXPECT_FALSE(window.preTranslate(&plain)); // Alt is needed
    buttons[1]->setVisible(false);             // hidden views are skipped
    g_focused = buttons[0];
    EXPECT_TRUE(window.preTranslate(&alt));
    EXPECT_EQ(buttons[2], g_focused);
    g_focused = nullptr;
    for (auto* b : buttons)
        content->removeChild(b);
    window.setContentView(nullptr);
}

JasmineValue entryOf(std::initializer_list<std::pair<const wchar_t*, int64_t>> members, const wchar_t* textKey) {
    JasmineValue entry(JasmineValue::TYPE_DICTIONARY);
    for (const auto& member : members)
        entry.getOrAddEntry(member.first).setInt(static_cast<int32_t>(member.second));
    if (textKey)
        entry.getOrAddEntry(textKey).setString(L"wide");
    return entry;
}

::testing::AssertionResult placementOf(const JasmineValue& entry, bool applied, RECT expected, const char* name) {
    Config config;
    ConfigValue* value = config.declareValue(L"app.windows", ConfigValue::TYPE_JASMINE);
    JasmineValue all(JasmineValue::TYPE_DICTIONARY);
    all.getOrAddEntry(L"finder") = entry;
    value->setJasmine(all);
    TestWindow window(nullptr);
    window.create();
    window.setPlacementKey(L"finder");
    WINDOWPLACEMENT before{};
    before.length = sizeof(before);
    GetWindowPlacement(window.getHandle(), &before);
    window.restorePlacement(config);
    WINDOWPLACEMENT after{};
    after.length = sizeof(after);
    GetWindowPlacement(window.getHandle(), &after);
    RECT want = applied ? expected : before.rcNormalPosition;
    if (EqualRect(&want, &after.rcNormalPosition))
        return ::testing::AssertionSuccess();
    const RECT& got = after.rcNormalPosition;
    return ::testing::AssertionFailure() << name << ": " << got.left << "," << got.top << "," << got.right << ","
                                         << got.bottom;
}

TEST_F(WindowTest, StoredPlacementsFitTheDesktopOrAreIgnored) {
    EXPECT_TRUE(placementOf(entryOf({{L"left", 10}, {L"top", 20}, {L"right", 410}, {L"bottom", 320}}, nullptr), true,
                            RECT{10, 20, 410, 320}, "plain"));
    EXPECT_TRUE(placementOf(entryOf({{L"left", 0}, {L"top", 0}, {L"right", 3000}, {L"bottom", 2000}}, nullptr), false,
                            RECT{}, "larger than the desktop"));
    EXPECT_TRUE(placementOf(entryOf({{L"left", 100}, {L"top", 0}, {L"right", 100}, {L"bottom", 200}}, nullptr), false,
                            RECT{}, "zero width"));
    EXPECT_TRUE(placementOf(entryOf({{L"left", INT_MIN}, {L"top", 0}, {L"right", INT_MAX}, {L"bottom", 200}}, nullptr),
                            false, RECT{}, "overflowing width"));
    EXPECT_TRUE(
        placementOf(entryOf({{L"top", 40}}, L"left"), true, RECT{32, 40, 732, 465}, "text and missing members"));
}

TEST_F(WindowTest, PlacementIsSavedUnderItsKey) {
    Config config;
    TestWindow window(nullptr);
    window.create();
    window.savePlacement(config); // placement off: nothing
    EXPECT_EQ(nullptr, config.getValue(L"app.windows"));
    window.setPlacementKey(L"finder");
    window.savePlacement(config);
    ConfigValue* value = config.getValue(L"app.windows");
    ASSERT_NE(nullptr, value);
    const JasmineValue& entry = value->getJasmine()->find(L"finder");
    EXPECT_EQ(50, entry.find(L"left").asInt(-1));
    EXPECT_EQ(350, entry.find(L"right").asInt(-1));
    EXPECT_EQ(1, entry.find(L"state").isNull() ? 0 : 1);
}

TEST_F(WindowTest, TabMovesTheFocusBetweenTabStops) {
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    window.setContentView(content);
    std::vector<TestWidget*> stops;
    for (int i = 0; i < 3; ++i) {
        stops.push_back(new TestWidget(&window, true));
        stops.back()->extraStyle = WS_TABSTOP;
        stops.back()->create();
        content->addChild(stops.back());
    }
    window.setVisible(true, true);
    SetFocus(stops[0]->getHandle());
    if (GetFocus() != stops[0]->getHandle())
        GTEST_SKIP() << "the display gives the window no focus";
    struct Case {
        int modifiers;
        int expected;
    };
    for (Case c : {Case{0, 1}, Case{1, 2}, Case{2, 1}, Case{3, 0}}) {
        afEvent tab = keyEvent(VK_TAB);
        tab.code |= static_cast<uint32_t>(c.modifiers) << 8;
        EXPECT_TRUE(window.dispatchKeyDown(&tab)) << c.modifiers;
        EXPECT_EQ(stops[c.expected]->getHandle(), GetFocus()) << c.modifiers;
    }
    afEvent altTab = keyEvent(VK_TAB);
    altTab.code |= 4 << 8;
    EXPECT_FALSE(window.dispatchKeyDown(&altTab));
    for (auto* stop : stops)
        content->removeChild(stop);
    window.setContentView(nullptr);
}

// A dialog that builds its controls when its window is made, as the program's dialogs do,
// and is shown when it runs.
class DialogWithStops : public TestWindow {
public:
    explicit DialogWithStops(afView* owner) : TestWindow(owner) {}
    void onCreated() override {
        auto* content = new afLayout(this);
        setContentView(content);
        for (int i = 0; i < 2; ++i) {
            stops.push_back(new TestWidget(this, true));
            stops.back()->extraStyle = WS_TABSTOP;
            stops.back()->create();
            content->addChild(stops.back());
        }
        afWindow::onCreated();
    }
    uint32_t enterModal() override { return afWindow::enterModal(); }
    void clear() {
        for (auto* stop : stops)
            static_cast<afLayout*>(getContentView())->removeChild(stop);
        setContentView(nullptr);
    }
    std::vector<TestWidget*> stops;
};

TEST_F(WindowTest, FocusReachesNestedViewsAndComesBackAfterADialog) {
    // The window the user works in: a tab stop, and a view inside a view of its own.
    TestWindow window(nullptr);
    window.create();
    auto* content = new afLayout(&window);
    window.setContentView(content);
    auto* stop = new TestWidget(&window, true);
    stop->extraStyle = WS_TABSTOP;
    stop->create();
    content->addChild(stop);
    auto* outer = new TestWidget(&window, true);
    outer->create();
    content->addChild(outer);
    auto* inner = new TestWidget(outer, true);
    inner->create();
    auto* innerContent = new afLayout(outer);
    outer->setContentView(innerContent);
    innerContent->addChild(inner);
    window.setVisible(true, true);
    SetFocus(stop->getHandle());
    if (GetFocus() != stop->getHandle())
        GTEST_SKIP() << "the display gives the window no focus";

    // The view's own window is not the one that can give the focus: its owners are asked.
    inner->requestFocus();
    EXPECT_EQ(inner->getHandle(), GetFocus());

    // A dialog made hidden takes neither the focus nor the activation; shown, it gives its
    // first tab stop the focus and, owned through a view, keeps the whole window disabled;
    // closed, the focus goes back where it was.
    auto* dialog = new DialogWithStops(outer);
    dialog->create();
    EXPECT_EQ(inner->getHandle(), GetFocus());
    EXPECT_EQ(window.getHandle(), GetActiveWindow());
    HWND activeInDialog = nullptr, focusInDialog = nullptr, firstStop = dialog->stops[0]->getHandle();
    bool windowEnabledInDialog = true;
    soon([&] {
        activeInDialog = GetActiveWindow();
        focusInDialog = GetFocus();
        windowEnabledInDialog = IsWindowEnabled(window.getHandle()) != FALSE;
        dialog->close(afWindow::RESULT_OK);
    });
    EXPECT_EQ(afWindow::RESULT_OK, dialog->runModal());
    EXPECT_EQ(firstStop, focusInDialog);
    EXPECT_NE(window.getHandle(), activeInDialog);
    EXPECT_FALSE(windowEnabledInDialog);
    EXPECT_TRUE(IsWindowEnabled(window.getHandle()));
    EXPECT_TRUE(IsWindowEnabled(outer->getHandle()));
    EXPECT_EQ(window.getHandle(), GetActiveWindow());
    EXPECT_EQ(inner->getHandle(), GetFocus());
    dialog->clear();
    delete dialog;

    // Keys once reached no view after a dialog when the owner heard of its deactivation
    // only once the dialog held the focus: the focus comes back all the same.
    auto* late = new DialogWithStops(outer);
    late->create();
    soon([&] {
        SendMessageW(window.getHandle(), WM_ACTIVATE, WA_INACTIVE, 0);
        late->close(afWindow::RESULT_OK);
    });
    EXPECT_EQ(afWindow::RESULT_OK, late->runModal());
    EXPECT_EQ(inner->getHandle(), GetFocus());
    late->clear();
    delete late;

    innerContent->removeChild(inner);
    outer->setContentView(nullptr);
    content->removeChild(outer);
    content->removeChild(stop);
    window.setContentView(nullptr);
}

TEST_F(WindowTest, WindowsCannotBeDocked) {
    TestWidget host(nullptr, false);
    host.create();
    auto* layoutView = new afLayout(&host);
    host.setContentView(layoutView);
    afLayout& layout = *layoutView;
    TestWindow window(nullptr);
    try {
        layout.addChild(&window, -1);
        FAIL();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Cannot attach window. Docking not supported.", e.message());
    }
    EXPECT_EQ(nullptr, window.getParent());
    EXPECT_EQ(nullptr, window.getNodeOwner());
    EXPECT_EQ(0, layout.getChildCount());
    host.setContentView(nullptr);
}

} // namespace
