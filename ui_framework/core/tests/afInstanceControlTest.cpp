#include "corvel/ui/afInstanceControl.h"
#include "support/ChildTest.h"

#include <gtest/gtest.h>

#include <string>

using corvel::afInstanceControl;

namespace {

const wchar_t NAME[] = L"CorvelTestInstanceClass";

std::wstring g_received;
LRESULT g_answer = 1;

LRESULT CALLBACK receiver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* copy = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        g_received.assign(static_cast<const wchar_t*>(copy->lpData), copy->cbData / sizeof(wchar_t));
        return g_answer;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND makeWindow(const wchar_t* className) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &receiver;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

struct InstanceControl : ::testing::Test {
    void SetUp() override { afInstanceControl::setNameForTests(NAME); }
    void TearDown() override { afInstanceControl::setNameForTests(L"Corvel35WindowClass"); }
};

TEST_F(InstanceControl, DISABLED_ChildReportsFirstInstance) {
    afInstanceControl control;
    ExitProcess(control.isFirstInstance() ? 10 : 20);
}

TEST_F(InstanceControl, TheMutexLivesWithTheProcess) {
    {
        afInstanceControl control;
        EXPECT_EQ(&control, afInstanceControl::instance());
    }
    EXPECT_EQ(nullptr, afInstanceControl::instance());
    // Deleted here, the control's mutex still marks this process as running.
    EXPECT_EQ(20, uitest::runTestInChild("InstanceControl.DISABLED_ChildReportsFirstInstance"));
}

TEST_F(InstanceControl, FindsExactClassMatchesAndSendsData) {
    HWND exact = makeWindow(NAME);
    HWND longer = makeWindow(L"CorvelTestInstanceClassX");
    HWND otherCase = makeWindow(L"corveltestinstanceclass2");
    afInstanceControl control;
    std::vector<HWND> found;
    control.findWindows(found);
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(exact, found[0]);
    const wchar_t text[] = L"corvel.exe file.txt";
    struct Case {
        LRESULT answer;
        bool expected;
    };
    for (Case c : {Case{1, true}, Case{2, false}, Case{0, false}}) {
        g_answer = c.answer;
        g_received.clear();
        EXPECT_EQ(c.expected, control.sendData(exact, text, sizeof(text))) << c.answer;
        EXPECT_EQ(std::wstring(text, sizeof(text) / sizeof(wchar_t)), g_received);
    }
    DestroyWindow(exact);
    DestroyWindow(longer);
    DestroyWindow(otherCase);
}

} // namespace
