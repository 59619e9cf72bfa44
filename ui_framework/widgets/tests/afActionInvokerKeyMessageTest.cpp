#include "corvel/ui/afKey.h"
#include "corvel/ui/afViewVirtual.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionTrigger.h"
#include "support/ActionBench.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::ActionBench;

namespace {

// A view with a type name of the test's choosing that may claim key messages itself.
class KeyView : public afViewVirtual {
public:
    KeyView(afView* owner, const wchar_t* typeName) : afViewVirtual(owner), m_typeName(typeName) {}
    const wchar_t* getTypeName() const override { return m_typeName; }
    bool onKeyDown(afEvent*) override { return claimsKeys; }
    bool onKeyUp(afEvent*) override { return claimsKeys; }

    bool claimsKeys = false;

private:
    const wchar_t* m_typeName;
};

// The modifier keys as the message loop would find them held.
void holdModifiers(int bits) {
    BYTE state[256] = {};
    auto hold = [&](int key, bool down) { state[key] = down ? 0x80 : 0; };
    hold(VK_CONTROL, bits & 1);
    hold(VK_LCONTROL, bits & 1);
    hold(VK_SHIFT, bits & 2);
    hold(VK_LSHIFT, bits & 2);
    hold(VK_MENU, bits & 12);
    hold(VK_LMENU, bits & 4);
    hold(VK_RMENU, bits & 8);
    SetKeyboardState(state);
}

struct Step {
    UINT message;
    WPARAM key;
    int modifiers; // 1 Ctrl, 2 Shift, 4 left Alt, 8 right Alt
    bool consumed;
};

struct Sequence {
    const char* name;
    bool viewClaims;
    std::vector<Step> steps;
    int runs; // actions run over the whole sequence
};

class KeyMessages : public ::testing::Test {
protected:
    void SetUp() override {
        bench.registry.addInvoker(&keys, afActionEventType::KEY);
        bench.registry.addInvoker(&keys, afActionEventType::CHARACTER);
        keys.bindShortcut(bench.add(L"file.save", L"ui.editor"), L"Ctrl+S", true);
        keys.bindShortcut(bench.add(L"window.x", L"ui.window.main"), L"Alt+X", true);
        keys.bindChar(bench.add(L"pair", L"ui.editor"), L'(');
        keys.bindChar(bench.add(L"tree.pair", L"ui.tree"), L'[');
        window->addChild(editor, -1);
    }
    void TearDown() override {
        holdModifiers(0);
        delete window;
        bench.registry.removeInvoker(&keys);
    }

    ::testing::AssertionResult plays(const Sequence& sequence) {
        editor->claimsKeys = sequence.viewClaims;
        size_t before = bench.handler.ran.size();
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            const Step& step = sequence.steps[i];
            holdModifiers(step.modifiers);
            MSG message{};
            message.message = step.message;
            message.wParam = step.key;
            bool consumed = keys.preTranslateMessage(editor, message);
            if (consumed != step.consumed)
                return ::testing::AssertionFailure() << sequence.name << ": step " << i << " consumed " << consumed;
        }
        int runs = static_cast<int>(bench.handler.ran.size() - before);
        if (runs != sequence.runs)
            return ::testing::AssertionFailure() << sequence.name << ": " << runs << " actions ran";
        return ::testing::AssertionSuccess();
    }

    ActionBench bench;
    afActionInvokerKey keys{&bench.registry};
    KeyView* window = new KeyView(nullptr, L"ui.window.main");
    KeyView* editor = new KeyView(window, L"ui.editor");
};

TEST_F(KeyMessages, SequencesOfKeyMessages) {
    const Sequence sequences[] = {
        {"a consumed key swallows its characters until the next plain key",
         false,
         {{WM_KEYDOWN, 'S', 1, true},
          {WM_CHAR, 0x13, 1, true},
          {WM_KEYUP, 'S', 1, false},
          {WM_KEYDOWN, VK_CONTROL, 1, false},
          {WM_CHAR, 'x', 0, true},
          {WM_KEYDOWN, 'A', 0, false},
          {WM_CHAR, 'a', 0, false}},
         1},
        {"a view that claims the key stops the actions and swallows the character",
         true,
         {{WM_KEYDOWN, 'S', 1, true}, {WM_CHAR, 0x13, 1, true}, {WM_KEYUP, 'S', 1, true}},
         0},
        {"Alt+X runs from the window's binding; the Alt release that ends it is swallowed",
         false,
         {{WM_SYSKEYDOWN, VK_MENU, 4, false},
          {WM_SYSKEYDOWN, 'X', 4, true},
          {WM_SYSCHAR, 'x', 4, true},
          {WM_SYSKEYUP, 'X', 4, false},
          {WM_SYSKEYUP, VK_MENU, 0, true}},
         1},
        {"a mouse press while Alt is held (an Alt+drag) keeps the Alt release from the menu bar",
         false,
         {{WM_SYSKEYDOWN, VK_MENU, 4, false},
          {WM_LBUTTONDOWN, MK_LBUTTON, 4, false},
          {WM_LBUTTONUP, 0, 4, false},
          {WM_SYSKEYUP, VK_MENU, 0, true},
          {WM_SYSKEYDOWN, VK_MENU, 4, false},
          {WM_SYSKEYUP, VK_MENU, 0, false}},
         0},
        {"a mouse press without Alt leaves the next Alt alone",
         false,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 0, false}, {WM_SYSKEYDOWN, VK_MENU, 4, false}, {WM_SYSKEYUP, VK_MENU, 0, false}},
         0},
        {"Alt alone still reaches the window",
         false,
         {{WM_SYSKEYDOWN, VK_MENU, 4, false}, {WM_SYSKEYUP, VK_MENU, 0, false}},
         0},
        {"right Alt is another key", false, {{WM_SYSKEYDOWN, 'X', 8, false}, {WM_SYSKEYUP, VK_MENU, 0, false}}, 0},
        {"a character binding of the view's scope runs; another scope's lets it through",
         false,
         {{WM_KEYDOWN, '9', 2, false},
          {WM_CHAR, '(', 2, true},
          {WM_KEYDOWN, 'B', 0, false},
          {WM_CHAR, '[', 0, false},
          {WM_CHAR, 0, 0, false},
          {WM_DEADCHAR, '(', 0, false}},
         1},
    };
    for (const Sequence& sequence : sequences)
        EXPECT_TRUE(plays(sequence));
}

TEST_F(KeyMessages, WithNoWidgetAtAllNothingIsConsumed) {
    // No target, no framework window in the foreground, no application.
    holdModifiers(1);
    MSG message{};
    message.message = WM_KEYDOWN;
    message.wParam = 'S';
    EXPECT_FALSE(keys.preTranslateMessage(nullptr, message));
    message.message = WM_CHAR;
    EXPECT_FALSE(keys.preTranslateMessage(nullptr, message));
    EXPECT_TRUE(bench.handler.ran.empty());
}

TEST_F(KeyMessages, TheEventCarriesTheKeyTypeAndTheViewsContext) {
    holdModifiers(1);
    MSG message{};
    message.message = WM_KEYDOWN;
    message.wParam = 'S';
    ASSERT_TRUE(keys.preTranslateMessage(editor, message));
    ASSERT_EQ(1u, bench.handler.types.size());
    EXPECT_EQ(afActionEventType::KEY, bench.handler.types[0]);
    ASSERT_NE(nullptr, bench.handler.triggers[0]);
    EXPECT_EQ(L"Ctrl+S", bench.handler.triggers[0]->getText());
}

} // namespace
