#include "corvel/app/FileSelectWindow.h"

#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlLister.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

constexpr uint32_t RESULT_OK = 0x79dcdd47u;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;
constexpr uint32_t RESULT_DISMISSED = 0x130181c4u;

const std::vector<std::wstring> PATHS = {
    L"c:\\work\\src\\main.cpp", L"c:\\work\\src\\Makefile", L"c:\\work\\docs\\manual.txt",
    L"c:\\work\\src\\map.cpp",  L"c:\\other\\notes.txt",
};

struct Chooser {
    explicit Chooser(const std::vector<std::wstring>& paths = PATHS, const std::wstring& preset = L"") {
        window = new FileSelectWindow(&host);
        for (const std::wstring& path : paths)
            window->addFileText(path);
        if (!preset.empty())
            window->setFilterText(preset);
        window->afViewPlatform::create();
    }
    ~Chooser() {
        if (window->getHandle())
            DestroyWindow(window->getHandle());
    }

    // The candidate paths of the visible rows, top first.
    std::vector<std::wstring> rows() const {
        std::vector<std::wstring> out;
        for (const auto& row : window->getVisibleRows())
            out.push_back(PATHS[static_cast<size_t>(row.second)]);
        return out;
    }
    // As the user types: the field's text is replaced.
    void type(const wchar_t* text) {
        HWND field = window->getFilterField()->getHandle();
        SendMessageW(field, EM_SETSEL, 0, -1);
        SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    }
    void key(int virtualKey) {
        afEvent event = widgetstest::makeEvent(window->getFilterField()->getHandle(), WM_KEYDOWN, virtualKey);
        window->getFilterField()->onKeyDown(&event);
    }
    // A last step cancels a run the steps did not end, so a fault fails instead of hanging.
    uint32_t run(std::vector<std::function<void()>> steps) {
        for (int i = 0; i < 10; ++i)
            steps.push_back([] {});
        steps.push_back([this] { window->cancel(); });
        return widgetstest::runWithSteps([this] { return window->runModal(); }, std::move(steps));
    }

    HostWindow host;
    FileSelectWindow* window = nullptr;
};

::testing::AssertionResult listsAs(const wchar_t* filter, const std::vector<std::wstring>& expected) {
    Chooser chooser;
    chooser.window->refilter(filter);
    std::vector<std::wstring> actual = chooser.rows();
    if (actual == expected && chooser.window->getList()->getCount() == static_cast<int>(expected.size()))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "filter \"" << std::string(filter, filter + wcslen(filter)) << "\" listed " << actual.size() << ":";
    for (const std::wstring& path : actual)
        failure << " " << std::string(path.begin(), path.end());
    return failure;
}

TEST(FileSelectWindowTest, IsBuiltAsTheFileChooser) {
    Chooser chooser;
    wchar_t className[64] = {};
    GetClassNameW(chooser.window->getHandle(), className, 64);
    EXPECT_STREQ(L"CorvelSuggestionWindow", className);
    EXPECT_STREQ(L"ui.suggestions", chooser.window->getTypeName());
    LONG style = GetWindowLongW(chooser.window->getHandle(), GWL_STYLE);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_THICKFRAME), style & static_cast<LONG>(WS_POPUP | WS_THICKFRAME));
    EXPECT_EQ(L"Enter search string", chooser.window->getFilterField()->getCueText());
    EXPECT_EQ(15, chooser.window->getList()->getVisibleRows());
    EXPECT_TRUE(chooser.window->getList()->isPassive());
    EXPECT_EQ(chooser.window->getFilterField()->getHandle(), GetFocus());
    EXPECT_EQ(-1, chooser.window->getSelectedValue());
}

TEST(FileSelectWindowTest, FiltersNarrowTheListBestFirstKeepingTheOrderOfEqualScores) {
    EXPECT_TRUE(listsAs(L"", PATHS));
    // The shorter last segment leaves fewer units unmatched.
    EXPECT_TRUE(listsAs(L"txt", {L"c:\\other\\notes.txt", L"c:\\work\\docs\\manual.txt"}));
    EXPECT_TRUE(listsAs(L"src map", {L"c:\\work\\src\\map.cpp", L"c:\\work\\src\\main.cpp"}));
    EXPECT_TRUE(listsAs(L"zzz", {}));

    // Equal scores keep the order the paths were added in.
    const std::vector<std::wstring> twins = {L"c:\\b\\x.txt", L"c:\\a\\x.txt", L"c:\\c\\xy.txt", L"c:\\d\\x.txt"};
    Chooser chooser(twins);
    chooser.window->refilter(L"x.txt");
    std::vector<int> order;
    for (const auto& row : chooser.window->getVisibleRows())
        order.push_back(row.second);
    EXPECT_EQ((std::vector<int>{0, 1, 3, 2}), order);
}

TEST(FileSelectWindowTest, TheSamePathIsListedOnce) {
    Chooser chooser(std::vector<std::wstring>{});
    FileSelectWindow* window = chooser.window;
    EXPECT_TRUE(window->addFileText(L"c:\\a.txt"));
    EXPECT_FALSE(window->addFileText(L"c:\\a.txt"));
    EXPECT_TRUE(window->addFileText(L"c:\\A.txt"));
    EXPECT_TRUE(window->addFile(7, L"c:\\b.txt", true));
    EXPECT_FALSE(window->addFile(7, L"c:\\c.txt", true));
    EXPECT_TRUE(window->addFile(7, L"c:\\c.txt", false));
    EXPECT_EQ(4u, window->getFileCount());
}

TEST(FileSelectWindowTest, EnterPicksTheSelectedRowAndArrowsMoveIt) {
    Chooser chooser;
    uint32_t result = chooser.run({
        [&] { chooser.type(L"txt"); },
        [&] { chooser.key(VK_DOWN); },
        [&] { chooser.key(VK_RETURN); },
    });
    EXPECT_EQ(RESULT_OK, result);
    EXPECT_EQ(L"txt", chooser.window->getFilterText());
    std::wstring path;
    ASSERT_TRUE(chooser.window->getSelectedPath(path));
    EXPECT_EQ(L"c:\\work\\docs\\manual.txt", path);
}

TEST(FileSelectWindowTest, EnterOnAnEmptyListKeepsTheWindowOpen) {
    Chooser chooser;
    bool stillOpen = false;
    uint32_t result = chooser.run({
        [&] { chooser.type(L"qqq"); },
        [&] { chooser.key(VK_RETURN); },
        [&] {
            stillOpen = chooser.window->isModal();
            chooser.window->cancel();
        },
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(RESULT_CANCEL, result);
    std::wstring path;
    EXPECT_FALSE(chooser.window->getSelectedPath(path));
    EXPECT_EQ(-1, chooser.window->getSelectedValue());
}

TEST(FileSelectWindowTest, AClickPicksTheRowUnderThePointer) {
    Chooser chooser;
    uint32_t result = chooser.run({[&] {
        afControlLister* list = chooser.window->getList();
        int y = list->getRowHeight() * 2 + 1;
        // Views find the target of a button under the cursor.
        POINT point{5, y};
        ClientToScreen(list->getHandle(), &point);
        SetCursorPos(point.x, point.y);
        SendMessageW(list->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y));
        SendMessageW(list->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5, y));
    }});
    EXPECT_EQ(RESULT_OK, result);
    EXPECT_EQ(2, chooser.window->getSelectedValue());
}

TEST(FileSelectWindowTest, LosingActivationDismissesIt) {
    Chooser chooser;
    uint32_t result = chooser.run({[&] { SendMessageW(chooser.window->getHandle(), WM_ACTIVATE, WA_INACTIVE, 0); }});
    EXPECT_EQ(RESULT_DISMISSED, result);
}

TEST(FileSelectWindowTest, AFilterSetBeforeCreationIsAppliedAndSelected) {
    Chooser chooser(PATHS, L"notes");
    EXPECT_EQ((std::vector<std::wstring>{L"c:\\other\\notes.txt"}), chooser.rows());
    EXPECT_EQ(L"notes", chooser.window->getFilterField()->getText());
    int start = 0;
    int end = 0;
    EXPECT_TRUE(chooser.window->getFilterField()->getSelection(start, end));
    EXPECT_EQ(0, start);
    EXPECT_EQ(5, end);
}

} // namespace

// The window follows its content. Caught: the list took the width of the empty window it was
// made in and the field its frame alone, so the chooser came up 18 pixels wide, its paths and
// its cue cut off.
TEST(FileSelectWindowTest, IsWideEnoughForItsLongestPathAndForTheCue) {
    const std::wstring longest = L"c:\\a rather long folder name\\and another one below it\\the file.txt";
    struct Case {
        const char* how;
        std::vector<std::wstring> paths;
    };
    const Case cases[] = {
        {"no candidates", {}},
        {"one short path", {L"c:\\a.txt"}},
        {"a long path among short ones", {L"c:\\a.txt", longest, L"c:\\b.txt"}},
    };
    for (const Case& c : cases) {
        Chooser chooser(c.paths);
        // What the layout message posted at creation does once the window's loop runs.
        chooser.window->validateLayout();
        afControlEdit* field = chooser.window->getFilterField();
        HDC dc = GetDC(field->getHandle());
        HGDIOBJ old = SelectObject(dc, field->getFontHandle());
        SIZE cue{0, 0}, path{0, 0};
        GetTextExtentPoint32W(dc, L"Enter search string", 19, &cue);
        for (const std::wstring& candidate : c.paths) {
            SIZE size{0, 0};
            GetTextExtentPoint32W(dc, candidate.c_str(), static_cast<int>(candidate.size()), &size);
            path.cx = std::max(path.cx, size.cx);
        }
        SelectObject(dc, old);
        ReleaseDC(field->getHandle(), dc);

        RECT fieldRect, listRect;
        GetClientRect(field->getHandle(), &fieldRect);
        GetClientRect(chooser.window->getList()->getHandle(), &listRect);
        EXPECT_GT(fieldRect.right, cue.cx) << c.how;
        // The row draws its path 10 pixels in from either side.
        EXPECT_GE(listRect.right, path.cx + 20) << c.how;
    }
}
