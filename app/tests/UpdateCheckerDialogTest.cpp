#include "corvel/app/UpdateCheckerDialog.h"

#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "corvel/app/UpdateInfo.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afLabel.h"

#include <gtest/gtest.h>

#include <string>

using corvel::UpdateCheckerDialog;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A dialog owned by a top-level host window, as the main window owns it.
class UpdateCheckerDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        uitest::WithResources resources;
        host.create();
        ASSERT_NE(nullptr, host.getHandle()) << "windows need a display (run under Xvfb)";
        dialog = UpdateCheckerDialog::create(&host);
    }

    std::wstring windowTitle() const {
        wchar_t text[128] = {};
        GetWindowTextW(dialog->getHandle(), text, 128);
        return text;
    }

    uitest::TestWidget host{nullptr, false};
    UpdateCheckerDialog* dialog = nullptr; // owned by the host
};

struct PageCase {
    int page;
    const wchar_t* title;
    const wchar_t* primary; // the default button's name
};

::testing::AssertionResult showsPage(UpdateCheckerDialog& dialog, const PageCase& c, const std::wstring& title) {
    if (dialog.getPage() != c.page || title != c.title)
        return ::testing::AssertionFailure()
               << "page " << dialog.getPage() << " titled " << narrow(title) << ", expected " << c.page;
    if (dialog.getDefaultButton() != dialog.findOnPage(c.page, c.primary))
        return ::testing::AssertionFailure() << "page " << c.page << ": default is not " << narrow(c.primary);
    for (int page = 1; page <= 4; ++page) {
        bool shown = dialog.findOnPage(page, L"cancel")->getParent()->getParent()->isVisible();
        if (shown != (page == c.page))
            return ::testing::AssertionFailure()
                   << "page " << page << (shown ? " shown" : " hidden") << " on page " << c.page;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(UpdateCheckerDialogTest, OpensOnTheCheckingPageWithItsOwnersDisabled) {
    EXPECT_TRUE(showsPage(*dialog, {1, L"Checking for updates...", L"cancel"}, windowTitle()));
    EXPECT_FALSE(IsWindowEnabled(host.getHandle()));
    EXPECT_EQ(host.getHandle(), GetWindow(dialog->getHandle(), GW_OWNER));
}

TEST_F(UpdateCheckerDialogTest, EachPageHasItsTitleAndDefaultButton) {
    const PageCase cases[] = {
        {2, L"Update has been found!", L"download"},
        {3, L"Corvel is up to date!", L"cancel"},
        {4, L"Error!", L"cancel"},
        {1, L"Checking for updates...", L"cancel"},
    };
    for (const PageCase& c : cases) {
        dialog->setPage(c.page);
        EXPECT_TRUE(showsPage(*dialog, c, windowTitle()));
    }
    // Pages outside 1 to 4 change nothing.
    dialog->setPage(0);
    dialog->setPage(5);
    EXPECT_EQ(1, dialog->getPage());
}

TEST_F(UpdateCheckerDialogTest, PagesCarryTheirTextsAndButtons) {
    const struct {
        int page;
        const wchar_t* name;
        const wchar_t* text;
    } views[] = {
        {1, L"cancel", L"&Cancel"},
        {2, L"download", L"&Download Corvel"},
        {2, L"cancel", L"&Close"},
        {2, L"title", L"Update is available!"},
        {2, L"version", L"Corvel <version>"},
        {3, L"cancel", L"&Close"},
        {4, L"cancel", L"&Close"},
    };
    for (const auto& v : views) {
        corvel::afView* view = dialog->findOnPage(v.page, v.name);
        ASSERT_NE(nullptr, view) << v.page << " " << narrow(v.name);
        std::wstring text = view->isVirtual() ? static_cast<corvel::afLabel*>(view)->getText()
                                              : static_cast<corvel::afViewPlatform*>(view)->getText();
        EXPECT_EQ(v.text, text) << v.page << " " << narrow(v.name);
    }
}

TEST_F(UpdateCheckerDialogTest, ShowsTheUpdatesVersionAndKeepsItsDownloadUrl) {
    corvel::UpdateInfo info;
    info.downloadUrl = L"http://127.0.0.1/get";
    info.version = L"3.6.0";
    info.build = L"20130101-1";
    info.branch = L"stable";
    dialog->showInfo(info);
    EXPECT_EQ(L"http://127.0.0.1/get", dialog->getDownloadUrl());
    EXPECT_EQ(L"Corvel 3.6.0 (20130101-1) stable",
              static_cast<corvel::afLabel*>(dialog->findOnPage(2, L"version"))->getText());
    EXPECT_EQ(L"&Download Corvel 3.6.0",
              static_cast<corvel::afViewPlatform*>(dialog->findOnPage(2, L"download"))->getText());
}

TEST_F(UpdateCheckerDialogTest, TakesAtLeastItsMinimumWidth) {
    dialog->show();
    uitest::drainMessages();
    RECT client;
    GetClientRect(dialog->getHandle(), &client);
    EXPECT_GE(client.right - client.left, UpdateCheckerDialog::MINIMUM_WIDTH);
}

TEST_F(UpdateCheckerDialogTest, CloseIsGrantedAndEnablesTheOwnersAgain) {
    static_cast<corvel::afControlButton*>(dialog->findOnPage(1, L"cancel"))->click();
    ASSERT_TRUE(uitest::pumpUntil([&] { return dialog->getHandle() == nullptr; }));
    EXPECT_TRUE(IsWindowEnabled(host.getHandle()));
}
