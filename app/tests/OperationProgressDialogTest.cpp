#include "corvel/app/OperationProgressDialog.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlProgressBar.h"
#include "corvel/widgets/afLabel.h"
#include "zem/text/ReadableSize.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::pumpUntil;

namespace {

std::wstring captionOf(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

bool hasStyle(HWND hwnd, DWORD bits) {
    return (static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & bits) == bits;
}

::testing::AssertionResult showsRemaining(OperationProgressDialog* dialog, int64_t seconds,
                                          const std::wstring& caption) {
    dialog->setRemaining(seconds);
    std::wstring shown = captionOf(dialog->getHandle());
    if (shown == caption)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << seconds << " s shows \"" << std::string(shown.begin(), shown.end()) << "\"";
}

TEST(OperationProgressDialogTest, TheCaptionTellsTheTimeLeft) {
    HostWindow host;
    OperationProgressDialog* dialog = OperationProgressDialog::create(&host);
    ASSERT_NE(nullptr, dialog);
    std::wstring zero, ninety;
    zem::formatDuration(&zero, 0);
    zem::formatDuration(&ninety, 90);
    EXPECT_TRUE(showsRemaining(dialog, -1, L"Estimating time..."));
    EXPECT_TRUE(showsRemaining(dialog, 0, zero + L" remaining..."));
    EXPECT_TRUE(showsRemaining(dialog, 90, ninety + L" remaining..."));
    EXPECT_TRUE(showsRemaining(dialog, -30, L"Estimating time..."));
    DestroyWindow(dialog->getHandle());
}

TEST(OperationProgressDialogTest, IsBuiltHiddenWithItsTextsAndDrivesTheBar) {
    HostWindow host;
    EXPECT_EQ(nullptr, OperationProgressDialog::create(nullptr));
    OperationProgressDialog* dialog = OperationProgressDialog::create(&host);
    HWND hwnd = dialog->getHandle();
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    EXPECT_STREQ(L"OperationProgressDialog", className);
    EXPECT_EQ(L"operation_progress_dialog", dialog->getName());
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(L"Copying...", dialog->getHeading()->getText());
    EXPECT_EQ(L"...", dialog->getSource()->getText());
    EXPECT_EQ(L"...", dialog->getTarget()->getText());
    dialog->setHeading(L"Moving...");
    dialog->setSource(L"C:\\a\\file.txt");
    dialog->setTarget(L"D:\\b");
    EXPECT_EQ(L"Moving...", dialog->getHeading()->getText());
    EXPECT_EQ(L"C:\\a\\file.txt", dialog->getSource()->getText());
    EXPECT_EQ(L"D:\\b", dialog->getTarget()->getText());

    HWND bar = dialog->getProgressBar()->getHandle();
    EXPECT_EQ(100, SendMessageW(bar, PBM_GETRANGE, FALSE, 0)) << "0-100 at creation";
    dialog->setProgressStyle(0);
    EXPECT_TRUE(hasStyle(bar, PBS_MARQUEE));
    dialog->setProgressStyle(2);
    dialog->setProgressStyle(-1);
    EXPECT_TRUE(hasStyle(bar, PBS_MARQUEE)) << "an unknown style changed the bar";
    dialog->setProgressStyle(1);
    EXPECT_TRUE(hasStyle(bar, PBS_SMOOTH));
    EXPECT_FALSE(hasStyle(bar, PBS_MARQUEE));
    dialog->setRange(250);
    dialog->setPosition(125);
    EXPECT_EQ(250, SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(0, SendMessageW(bar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(125, SendMessageW(bar, PBM_GETPOS, 0, 0));

    DestroyWindow(hwnd);
}

// The front end's close request: refuses while the operation is still winding down.
struct CloseRequest {
    int asked = 0;
    bool allow = false;
    static bool ask(void* self, afWindow*) {
        auto* me = static_cast<CloseRequest*>(self);
        ++me->asked;
        return me->allow;
    }
};

TEST(OperationProgressDialogTest, CancelAsksTheFrontEndWhichDecidesTheClosing) {
    HostWindow host;
    OperationProgressDialog* dialog = OperationProgressDialog::create(&host);
    HWND hwnd = dialog->getHandle();
    CloseRequest request;
    dialog->setCloseCallback(&request, &CloseRequest::ask);
    dialog->getCancelButton()->click();
    ASSERT_TRUE(pumpUntil([&] { return request.asked == 1; }));
    EXPECT_TRUE(IsWindow(hwnd)) << "closed although the front end refused";
    request.allow = true;
    dialog->getCancelButton()->click();
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_EQ(2, request.asked);
}

TEST(OperationProgressDialogTest, OnlyTheOwnersItDisabledAreEnabledAgain) {
    struct Case {
        const char* what;
        bool ownerEnabledBefore;
    };
    const Case cases[] = {{"an enabled owner", true}, {"an owner an outer modal window disabled", false}};
    for (const Case& c : cases) {
        HostWindow host;
        EnableWindow(host.getHandle(), c.ownerEnabledBefore ? TRUE : FALSE);
        OperationProgressDialog* dialog = OperationProgressDialog::create(&host);
        EXPECT_FALSE(IsWindowEnabled(host.getHandle())) << c.what << " was left enabled";
        DestroyWindow(dialog->getHandle());
        EXPECT_EQ(c.ownerEnabledBefore, IsWindowEnabled(host.getHandle()) != FALSE) << c.what;
        EnableWindow(host.getHandle(), TRUE);
    }
}

} // namespace
