#include "WidgetHost.h"
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlGroup.h"
#include "corvel/widgets/afControlLister.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

struct CreationCase {
    const char* what;
    std::function<afViewPlatform*(afView*)> create;
    const wchar_t* typeName;
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

::testing::AssertionResult createsAs(const CreationCase& c) {
    HostWindow host;
    if (c.create(nullptr))
        return ::testing::AssertionFailure() << c.what << ": created with a null parent";
    afViewPlatform* view = c.create(&host);
    if (!view || !view->getHandle())
        return ::testing::AssertionFailure() << c.what << ": no window";
    HWND hwnd = view->getHandle();
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    DWORD style = GetWindowLongW(hwnd, GWL_STYLE);
    DWORD exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    if (std::wstring(view->getTypeName()) != c.typeName || std::wstring(className) != c.windowClass ||
        (style & c.style) != c.style || (exStyle & c.exStyle) != c.exStyle)
        return ::testing::AssertionFailure() << c.what << ": type " << ::testing::PrintToString(view->getTypeName())
                                             << ", class " << ::testing::PrintToString(className) << std::hex
                                             << ", style 0x" << style << ", ex-style 0x" << exStyle;
    if (GetParent(hwnd) != host.getHandle())
        return ::testing::AssertionFailure() << c.what << ": not a child of its parent's window";
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &afWidget::s_WndProc)
        return ::testing::AssertionFailure() << c.what << ": not served by the framework's window procedure";
    return ::testing::AssertionSuccess();
}

TEST(ControlBaseTest, EachControlIsCreatedFromItsSeedAndSubclassed) {
    const CreationCase cases[] = {
        {"container", [](afView* p) -> afViewPlatform* { return afContainer::create(p); }, L"ui.container",
         L"afContainer", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, WS_EX_CONTROLPARENT},
        {"button", [](afView* p) -> afViewPlatform* { return afControlButton::create(p); }, L"ui.button",
         L"afControlButton", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0},
        {"check box", [](afView* p) -> afViewPlatform* { return afControlCheckBox::create(p); }, L"ui.check_box",
         L"Button", 0x50010002, 0},
        {"group", [](afView* p) -> afViewPlatform* { return afControlGroup::create(p); }, L"ui.group",
         L"afControlGroup", WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT},
        {"lister", [](afView* p) -> afViewPlatform* { return afControlLister::create(p); }, L"ui.lister",
         L"afControlLister", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0}, // the scroll bar shows with rows
    };
    for (const CreationCase& c : cases)
        EXPECT_TRUE(createsAs(c));
    widgetstest::drainMessages();
}

struct ChangeCounter {
    int changes = 0;
    static void onChange(void* self, afControlCheckBox*) { ++static_cast<ChangeCounter*>(self)->changes; }
};

TEST(ControlBaseTest, ANativeControlTakesBackOnlyItsOwnNotifications) {
    HostWindow host;
    afControlCheckBox* first = afControlCheckBox::create(&host);
    afControlCheckBox* second = afControlCheckBox::create(&host);
    ChangeCounter firstCount, secondCount;
    first->changeCallback.set(&firstCount, &ChangeCounter::onChange);
    second->changeCallback.set(&secondCount, &ChangeCounter::onChange);
    SendMessageW(host.getHandle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(first->getHandle()));
    EXPECT_TRUE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
    EXPECT_EQ(1, firstCount.changes);
    EXPECT_EQ(0, secondCount.changes);
    // A notification from a window no control owns reaches nobody.
    SendMessageW(host.getHandle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(host.getHandle()));
    EXPECT_EQ(1, firstCount.changes);
    EXPECT_EQ(0, secondCount.changes);
}

TEST(ControlBaseTest, AContainerGivesTheFocusToItsFirstTabStop) {
    HostWindow host;
    ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
    afContainer* empty = afContainer::create(&host);
    afContainer* filled = afContainer::create(&host);
    afControlGroup* notTabbed = afControlGroup::create(filled);
    SetWindowLongW(notTabbed->getHandle(), GWL_STYLE, GetWindowLongW(notTabbed->getHandle(), GWL_STYLE) & ~WS_TABSTOP);
    afControlCheckBox* box = afControlCheckBox::create(filled);
    afControlButton* button = afControlButton::create(filled);
    SetFocus(host.getHandle());
    empty->requestFocus();
    EXPECT_EQ(host.getHandle(), GetFocus()); // nothing focusable: nothing moves
    filled->requestFocus();
    EXPECT_EQ(box->getHandle(), GetFocus());
    (void)button;
}

} // namespace
