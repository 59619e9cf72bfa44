#include "corvel/ui/afWindowKinds.h"
#include "corvel/document/ScopePath.h"
#include "support/TestWidgets.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

struct KindCase {
    const char* name;
    afWindow* window;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

::testing::AssertionResult createdAs(const KindCase& c) {
    c.window->create();
    HWND hwnd = c.window->getHandle();
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & c.style;
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)) & c.exStyle;
    if (std::wstring(className) == c.className && style == c.style && exStyle == c.exStyle)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.name << ": class " << ::testing::PrintToString(std::wstring(className))
                                         << std::hex << " style " << style << " ex " << exStyle;
}

TEST(WindowKinds, ClassesAndStyles) {
    uitest::WithResources resources;
    afWindowDialog dialog(nullptr);
    afTaskWindow task(nullptr);
    afWindowHint hint(nullptr);
    const KindCase cases[] = {
        {"dialog", &dialog, L"afWindowDialog", 0x02CF0000, 0},
        {"task", &task, L"afTaskWindow", 0x00C80000, WS_EX_DLGMODALFRAME},
        {"hint", &hint, L"afHint", 0x80800000, WS_EX_TOOLWINDOW},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(createdAs(c));
    EXPECT_STREQ(L"ui.window", dialog.getTypeName());
    wchar_t title[16] = {};
    GetWindowTextW(dialog.getHandle(), title, 16);
    EXPECT_STREQ(L"afWindow", title); // until setTitle
}

TEST(WindowKinds, TheMainWindowEndsTheLoopAndTaskWindowsFollowTheirOwner) {
    uitest::WithResources resources;
    auto* main = new afWindowMain();
    main->create();
    EXPECT_STREQ(L"ui.window.main", main->getTypeName());
    afTaskWindow* task = new afTaskWindow(main);
    task->create();
    SetWindowPos(main->getHandle(), nullptr, 100, 80, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    task->setWindowFrame(afRect(10, 20, 110, 70));
    RECT rect;
    GetWindowRect(task->getHandle(), &rect);
    EXPECT_EQ(110, rect.left);
    EXPECT_EQ(100, rect.top);
    SendMessageW(main->getHandle(), WM_CLOSE, 0, 0); // no hide-on-close: destroyed
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
    delete main;
}

TEST(WindowKinds, AnOwnedWindowsScopeContinuesIntoItsOwner) {
    uitest::WithResources resources;
    afWindowMain main;
    main.setName(L"main");
    afWindowDialog* dialog = new afWindowDialog(&main);
    dialog->setName(L"find");
    EXPECT_EQ(L"ui.window.main.main ui.window.find", dialog->getScopePath().toString());
}

} // namespace
