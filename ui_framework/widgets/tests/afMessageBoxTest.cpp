#include "corvel/widgets/afMessageBox.h"
#include "WidgetHost.h"
#include "corvel/ui/afIcon.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afLabel.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <functional>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

constexpr uint32_t RESULT_YES = 0x79dcdd47u;
constexpr uint32_t RESULT_NO = 0x67aa281fu;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;

// What the timer does once the modal loop runs.
std::function<void()> g_answer;
UINT_PTR g_timer = 0;

void CALLBACK answerNow(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, g_timer);
    g_timer = 0;
    std::function<void()> answer = std::move(g_answer);
    g_answer = nullptr;
    if (answer)
        answer();
}

uint32_t runAnswered(afMessageBox* box, std::function<void()> answer) {
    g_answer = std::move(answer);
    g_timer = SetTimer(nullptr, 0, 30, &answerNow);
    return box->runModal();
}

void pressKey(int key, int modifiers = 0) {
    afViewPlatform* focused = afViewPlatform::viewFromHandle(GetFocus());
    if (!focused)
        return;
    afEvent down = makeEvent(focused->getHandle(), WM_KEYDOWN, key, 0, 0, modifiers);
    afEvent up = makeEvent(focused->getHandle(), WM_KEYUP, key, 0, 0, modifiers);
    focused->dispatchKeyDown(&down);
    focused->dispatchKeyUp(&up);
}

void clickButton(afControlButton* button) {
    SendMessageW(button->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// A question box as the prompts build it: Yes (Y, default), No (N), Cancel.
struct Question {
    explicit Question(afView* owner) : box(afMessageBox::create(owner)) {
        box->addLabel(L"Save the changes?", 2, 1, afLabel::WRAP_WORDS);
        yes = box->addButton(L"&Yes", RESULT_YES, true, 'Y');
        no = box->addButton(L"&No", RESULT_NO, false, 'N');
        cancel = box->addButton(L"&Cancel", RESULT_CANCEL, false);
    }
    afMessageBox* box;
    afControlButton *yes, *no, *cancel;
};

struct AnswerCase {
    const char* how;
    std::function<void(Question&)> answer;
    uint32_t result;
};

::testing::AssertionResult answersWith(const AnswerCase& c) {
    HostWindow host;
    Question question(&host);
    uint32_t result = runAnswered(question.box, [&] { c.answer(question); });
    if (result == c.result)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.how << ": 0x" << std::hex << result << " instead of 0x" << c.result;
}

TEST(MessageBoxTest, EachWayOfAnsweringGivesItsResult) {
    const AnswerCase cases[] = {
        {"click No", [](Question& q) { clickButton(q.no); }, RESULT_NO},
        {"Enter", [](Question&) { pressKey(VK_RETURN); }, RESULT_YES},
        {"Escape", [](Question&) { pressKey(VK_ESCAPE); }, RESULT_CANCEL},
        {"close box", [](Question& q) { SendMessageW(q.box->getHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, RESULT_CANCEL},
        {"N", [](Question&) { pressKey('N'); }, RESULT_NO},
        {"Ctrl+Y is not Y",
         [](Question& q) {
             pressKey('Y', 1);
             clickButton(q.cancel);
         },
         RESULT_CANCEL},
    };
    for (const AnswerCase& c : cases)
        EXPECT_TRUE(answersWith(c));
}

TEST(MessageBoxTest, ButtonsKeepTheirOrderAndTheLastDefaultHasTheFocus) {
    HostWindow host;
    afMessageBox* box = afMessageBox::create(&host);
    EXPECT_FALSE(box->getIconLabel()->isVisible()); // no icon until one is given
    afControlButton* first = box->addButton(L"First", RESULT_YES, true);
    afControlButton* second = box->addButton(L"Second", RESULT_NO, true);
    afControlButton* third = box->addButton(L"Third", RESULT_CANCEL, false);
    EXPECT_EQ(second->getHandle(), GetFocus());
    EXPECT_EQ(static_cast<afView*>(second), box->getDefaultButton());
    EXPECT_TRUE(second->isDefault());
    EXPECT_FALSE(first->isDefault());
    EXPECT_EQ(DLGC_DEFPUSHBUTTON, SendMessageW(second->getHandle(), WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(second->getHandle(), GetNextDlgTabItem(box->getHandle(), first->getHandle(), FALSE));
    EXPECT_EQ(third->getHandle(), GetNextDlgTabItem(box->getHandle(), second->getHandle(), FALSE));
    afIcon icon(110, 32);
    box->setIcon(&icon);
    EXPECT_TRUE(box->getIconLabel()->isVisible());
    EXPECT_EQ(nullptr, afMessageBox::create(nullptr));
    uint32_t result = runAnswered(box, [&] {
        RECT client;
        GetClientRect(box->getHandle(), &client);
        EXPECT_GE(client.right, afMessageBox::MINIMUM_WIDTH);
        clickButton(first);
    });
    EXPECT_EQ(RESULT_YES, result);
}

// Without a window manager every box opened at the screen's top left corner.
TEST(MessageBoxTest, ABoxOpensCentredOverItsOwnersWindow) {
    HostWindow host;
    SetWindowPos(host.getHandle(), nullptr, 200, 150, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    afMessageBox* box = afMessageBox::create(&host);
    box->addLabel(L"Search end reached", 0, 1, 0);
    box->addButton(L"&OK", RESULT_YES, true);
    RECT shown{};
    runAnswered(box, [&] {
        GetWindowRect(box->getHandle(), &shown);
        box->close(RESULT_YES);
    });
    RECT owner{};
    GetWindowRect(host.getHandle(), &owner);
    EXPECT_NEAR((owner.left + owner.right) / 2, (shown.left + shown.right) / 2, 2);
    EXPECT_NEAR((owner.top + owner.bottom) / 2, (shown.top + shown.bottom) / 2, 2);
    EXPECT_GE(shown.right - shown.left, afMessageBox::MINIMUM_WIDTH);
}

TEST(MessageBoxTest, ABoxWithoutButtonsClosesOnlyThroughItsCloseCommand) {
    HostWindow host;
    afMessageBox* box = afMessageBox::create(&host);
    box->addLabel(L"Working", 2, 0, afLabel::WRAP_ELLIPSIS);
    EXPECT_EQ(RESULT_CANCEL, runAnswered(box, [&] { PostMessageW(box->getHandle(), WM_CLOSE, 0, 0); }));
}

TEST(MessageBoxTest, TheCheckBoxStateOutlivesTheWindow) {
    HostWindow host;
    afMessageBox* box = afMessageBox::create(&host);
    EXPECT_FALSE(box->getCheckBox()->isVisible());
    wchar_t placeholder[64] = {};
    GetWindowTextW(box->getCheckBox()->getHandle(), placeholder, 64);
    EXPECT_STREQ(L"<Hey! Fill the text, will ya?>", placeholder);
    try {
        box->setCheckBox(L"");
        ADD_FAILURE() << "an empty check box text was taken";
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"Label was not set for visible checkbox.", e.message());
    }
    box->setCheckBox(L"Don't ask again");
    EXPECT_TRUE(box->getCheckBox()->isVisible());
    afControlButton* ok = box->addButton(L"OK", RESULT_YES, true);
    uint32_t result = runAnswered(box, [&] {
        SendMessageW(box->getHandle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(box->getCheckBox()->getHandle()));
        clickButton(ok);
    });
    EXPECT_EQ(RESULT_YES, result);
    EXPECT_EQ(nullptr, box->getHandle());
    EXPECT_TRUE(box->isChecked());
}

} // namespace
