#include "corvel/widgets/StringDialog.h"
#include "ModalSteps.h"
#include "WidgetHost.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

constexpr uint32_t RESULT_OK = 0x79dcdd47u;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;

uint32_t runSteps(StringDialog* dialog, std::vector<std::function<void()>> steps) {
    return widgetstest::runWithSteps([dialog] { return dialog->runModal(); }, std::move(steps));
}

void clickButton(afControlButton* button) {
    SendMessageW(button->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

void type(StringDialog* dialog, const wchar_t* text) {
    SetWindowTextW(dialog->getEdit()->getHandle(), text);
}

// Refuses names with a space, counting its calls.
struct NoSpaces {
    int calls = 0;
    std::wstring error = L"Spaces are not allowed.";
    static bool validate(void* self, const std::wstring& text, std::wstring* error) {
        auto* me = static_cast<NoSpaces*>(self);
        ++me->calls;
        if (text.find(L' ') == std::wstring::npos)
            return true;
        *error = me->error;
        return false;
    }
};

struct Fixture {
    HostWindow host;
    StringDialog* dialog = StringDialog::create(&host);
    afControlButton* ok() const { return dialog->getButtons().at(0); }
    afControlButton* cancel() const { return dialog->getButtons().at(1); }
};

TEST(StringDialogTest, IsBuiltWithPromptFieldAndStandardButtons) {
    Fixture f;
    EXPECT_EQ(nullptr, StringDialog::create(nullptr));
    ASSERT_EQ(2u, f.dialog->getButtons().size());
    EXPECT_EQ(RESULT_OK, f.dialog->getButtonResult(f.ok()));
    EXPECT_EQ(RESULT_CANCEL, f.dialog->getButtonResult(f.cancel()));
    EXPECT_TRUE(f.ok()->isDefault());
    EXPECT_EQ(L"Please, enter string:", f.dialog->getPrompt()->getText());
    EXPECT_EQ(2, f.dialog->getPrompt()->getVisualStyle());
    EXPECT_EQ(static_cast<afViewPlatform*>(f.dialog->getEdit()), f.dialog->getPrompt()->getPartner());
    EXPECT_FALSE(f.dialog->getIconLabel()->isVisible());
    EXPECT_EQ(f.dialog->getEdit()->getHandle(), GetFocus());

    HostWindow bare;
    StringDialog* noButtons = StringDialog::create(&bare, true);
    EXPECT_TRUE(noButtons->getButtons().empty());
}

TEST(StringDialogTest, TheValueIsTheFieldAtClosingWhateverClosedIt) {
    struct Case {
        const char* how;
        std::function<void(Fixture&)> close;
        uint32_t result;
    };
    const Case cases[] = {
        {"OK", [](Fixture& f) { clickButton(f.ok()); }, RESULT_OK},
        {"Cancel", [](Fixture& f) { clickButton(f.cancel()); }, RESULT_CANCEL},
        {"close box", [](Fixture& f) { SendMessageW(f.dialog->getHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); },
         RESULT_CANCEL},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.dialog->setValue(L"old name");
        int start = -1, end = -1;
        EXPECT_TRUE(f.dialog->getEdit()->getSelection(start, end));
        EXPECT_EQ(0, start);
        EXPECT_EQ(8, end) << c.how << ": the initial value is selected whole";
        std::wstring valueWhileOpen = L"unset";
        uint32_t result = runSteps(f.dialog, {[&] {
                                                  valueWhileOpen = f.dialog->getValue();
                                                  type(f.dialog, L"new name");
                                              },
                                              [&] { c.close(f); }});
        EXPECT_EQ(c.result, result) << c.how;
        EXPECT_EQ(L"", valueWhileOpen) << c.how << ": emptied when the run starts";
        EXPECT_EQ(L"new name", f.dialog->getValue()) << c.how;
    }
}

TEST(StringDialogTest, ARefusingValidatorKeepsTheDialogOpenAndSaysWhy) {
    Fixture f;
    NoSpaces rule;
    f.dialog->setValidator(&rule, &NoSpaces::validate);
    bool openAfterRefusal = false;
    std::wstring shownPrompt;
    int shownStyle = 0;
    int start = -1, end = -1;
    uint32_t result = runSteps(f.dialog, {[&] { type(f.dialog, L"two words"); }, [&] { clickButton(f.ok()); },
                                          [&] {
                                              openAfterRefusal = IsWindow(f.dialog->getHandle()) != FALSE;
                                              shownPrompt = f.dialog->getPrompt()->getText();
                                              shownStyle = f.dialog->getPrompt()->getVisualStyle();
                                              f.dialog->getEdit()->getSelection(start, end);
                                              type(f.dialog, L"oneword");
                                          },
                                          [&] { clickButton(f.ok()); }});
    EXPECT_EQ(RESULT_OK, result);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(L"Spaces are not allowed.", shownPrompt);
    EXPECT_EQ(4, shownStyle);
    EXPECT_EQ(0, start);
    EXPECT_EQ(9, end) << "the refused text is selected whole";
    EXPECT_EQ(2, rule.calls);
    EXPECT_EQ(L"oneword", f.dialog->getValue());
}

TEST(StringDialogTest, ASilentRefusalKeepsThePromptAndCancelNeverValidates) {
    Fixture f;
    NoSpaces rule;
    rule.error.clear();
    f.dialog->setValidator(&rule, &NoSpaces::validate);
    f.dialog->setPrompt(L"Name:");
    std::wstring shownPrompt;
    bool openAfterRefusal = false;
    uint32_t result = runSteps(f.dialog, {[&] { type(f.dialog, L"a b"); }, [&] { clickButton(f.ok()); },
                                          [&] {
                                              openAfterRefusal = IsWindow(f.dialog->getHandle()) != FALSE;
                                              shownPrompt = f.dialog->getPrompt()->getText();
                                              clickButton(f.cancel());
                                          }});
    EXPECT_EQ(RESULT_CANCEL, result);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(L"Name:", shownPrompt);
    EXPECT_EQ(1, rule.calls) << "Cancel asked the validator";
    EXPECT_EQ(L"a b", f.dialog->getValue());
}

} // namespace
