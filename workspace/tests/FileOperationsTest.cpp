#include "corvel/fileops/FileOperations.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "PromptSteps.h"
#include "WorkspaceDevices.h"
#include "corvel/app/OperationProgressDialog.h"
#include "corvel/fileops/FileErrorUI.h"
#include "corvel/fileops/FileProgressOperationUI.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afLabel.h"
#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileProgressHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using corvel::FileCopyUI;
using corvel::FileErrorUI;
using corvel::FileProgressOperationUI;
using corvel::FileRemoveUI;
using workspacetest::answerPrompt;
using workspacetest::runWithPrompts;
using workspacetest::SeenPrompt;
using zem::FileProgressHandler;
namespace fileops = corvel::fileops;

namespace {

using workspacetest::exists;

std::string readFile(const std::wstring& path) {
    return zemtest::readNativeFile(path);
}

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"fileops");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { zemtest::removeTree(dir); }

    std::wstring dir;
    widgetstest::HostWindow host;
};

// Asks the handler about code as a file operation would, answered by the steps.
uint32_t askAbout(FileProgressHandler& handler, uint32_t code, std::vector<workspacetest::PromptStep> steps,
                  size_t* left) {
    uint32_t answer = 0;
    *left = runWithPrompts(
        [&] {
            zem::setError(code);
            answer = handler.ask(false);
        },
        std::move(steps));
    return answer;
}

::testing::AssertionResult titles(uint32_t operation, const std::wstring& expected) {
    std::wstring actual = FileErrorUI::operationTitle(operation);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "operation " << operation << " gives \""
                                         << std::string(actual.begin(), actual.end()) << "\"";
}

TEST(FileErrorUITest, TitlesAndAnswersFollowTheOperationAndTheButton) {
    EXPECT_TRUE(titles(0, L"File operation..."));
    EXPECT_TRUE(titles(2, L"File operation..."));
    EXPECT_TRUE(titles(3, L"Creating file..."));
    EXPECT_TRUE(titles(16, L"Copying file..."));
    EXPECT_TRUE(titles(17, L"Unspecified file operation..."));
    EXPECT_TRUE(titles(0xFFFFFFFFu, L"Unspecified file operation..."));

    struct Case {
        uint32_t result;
        uint32_t answer;
    };
    const Case cases[] = {{0x79dcdd47u, 0}, {0x2ee051e3u, 1}, {0x0d88d6e2u, 2},
                          {0x67aa281fu, 2}, {0x5616c572u, 3}, {0, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, FileErrorUI::answerFor(c.result)) << std::hex << c.result;
}

TEST_F(FileOperationsTest, QuestionsShowTheirButtonsAndAnswerWithTheirCodes) {
    FileProgressHandler handler;
    FileErrorUI ui(&host, &handler);
    handler.setOperation(200);
    handler.setPath(L"C:\\some\\file.txt");
    SeenPrompt seen;
    size_t left = 0;

    // A yes/no question answered "&No" skips.
    EXPECT_EQ(FileProgressHandler::UI_Skip,
              askAbout(handler, FileProgressHandler::Q_CONFIRM, {answerPrompt(L"&No", &seen)}, &left));
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Unspecified file operation...", seen.title);
    EXPECT_EQ((std::vector<std::wstring>{L"&Yes", L"&No"}), seen.buttons);
    EXPECT_TRUE(seen.hasLabel(L"C:\\some\\file.txt"));
    EXPECT_FALSE(seen.checkBox);
    EXPECT_EQ(host.getHandle(), seen.owner);

    // A handler that forbids ignoring disables "&Ignore" and shows no repeat box.
    handler.setOperation(FileProgressHandler::OP_READ);
    handler.setSkipAllowed(false);
    EXPECT_EQ(FileProgressHandler::UI_Retry,
              askAbout(handler, ERROR_ACCESS_DENIED, {answerPrompt(L"&Retry", &seen)}, &left));
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Reading data...", seen.title);
    EXPECT_EQ((std::vector<std::wstring>{L"&Retry", L"&Ignore", L"&Cancel"}), seen.buttons);
    EXPECT_EQ((std::vector<bool>{true, false, true}), seen.enabled);
    EXPECT_FALSE(seen.checkBox);

    // Ignoring allowed: the repeat box shows; ticked, the answer is kept for the code.
    handler.setSkipAllowed(true);
    EXPECT_EQ(FileProgressHandler::UI_Skip,
              askAbout(handler, ERROR_ACCESS_DENIED, {answerPrompt(L"&Ignore", &seen, true)}, &left));
    EXPECT_TRUE(seen.checkBox);
    uint32_t kept = 99;
    EXPECT_TRUE(handler.findAnswer(ERROR_ACCESS_DENIED, &kept));
    EXPECT_EQ(FileProgressHandler::UI_Skip, kept);
    EXPECT_EQ(FileProgressHandler::UI_Skip, askAbout(handler, ERROR_ACCESS_DENIED, {}, &left));

    // A fatal error only acknowledges, and ends the operation.
    EXPECT_EQ(FileProgressHandler::UI_Cancel,
              askAbout(handler, ERROR_FILE_NOT_FOUND, {answerPrompt(L"&OK", &seen)}, &left));
    EXPECT_EQ(0u, left);
    EXPECT_EQ((std::vector<std::wstring>{L"&OK"}), seen.buttons);
}

TEST_F(FileOperationsTest, CopyOntoExistingTargetsAsksOnceForAll) {
    zemtest::writeNativeFile(dir + L"a.txt", "new a");
    zemtest::writeNativeFile(dir + L"b.txt", "new b");
    ASSERT_TRUE(CreateDirectoryW((dir + L"to").c_str(), nullptr));
    zemtest::writeNativeFile(dir + L"to\\a.txt", "old a");
    zemtest::writeNativeFile(dir + L"to\\b.txt", "old b");

    SeenPrompt seen;
    bool copied = false;
    size_t left = runWithPrompts(
        [&] {
            copied = fileops::copyList(&host, {dir + L"a.txt", dir + L"b.txt"}, dir + L"to");
        },
        {answerPrompt(L"&Replace", &seen, true)});
    EXPECT_TRUE(copied);
    EXPECT_EQ(0u, left);
    EXPECT_EQ((std::vector<std::wstring>{L"&Replace", L"&Don't replace", L"&Cancel"}), seen.buttons);
    EXPECT_TRUE(seen.checkBox);
    EXPECT_TRUE(seen.hasLabel(L"with"));
    EXPECT_TRUE(seen.hasLabel(dir + L"to\\a.txt"));
    EXPECT_TRUE(seen.hasLabel(dir + L"a.txt"));
    EXPECT_TRUE(seen.hasLabel(L"a.txt"));
    // The prompt belongs to the progress dialog, not to the window the copy started from.
    EXPECT_NE(host.getHandle(), seen.owner);
    EXPECT_EQ("new a", readFile(dir + L"to\\a.txt"));
    EXPECT_EQ("new b", readFile(dir + L"to\\b.txt"));

    // "&Cancel" ends the copy as a failure and leaves the target alone.
    zemtest::writeNativeFile(dir + L"a.txt", "newer a");
    left = runWithPrompts([&] { copied = fileops::copyPath(&host, dir + L"a.txt", dir + L"to"); },
                          {answerPrompt(L"&Cancel")});
    EXPECT_FALSE(copied);
    EXPECT_EQ(0u, left);
    EXPECT_EQ("new a", readFile(dir + L"to\\a.txt"));
}

TEST_F(FileOperationsTest, DriversWorkOnTheDiskWithAndWithoutAnOwner) {
    EXPECT_TRUE(fileops::createFile(nullptr, dir + L"made.txt"));
    EXPECT_TRUE(exists(dir + L"made.txt"));
    EXPECT_TRUE(fileops::createDirectory(&host, dir + L"sub"));
    EXPECT_TRUE(fileops::rename(&host, dir + L"made.txt", L"renamed.txt"));
    EXPECT_TRUE(exists(dir + L"renamed.txt"));
    EXPECT_TRUE(fileops::movePath(&host, dir + L"renamed.txt", dir + L"sub"));
    EXPECT_TRUE(exists(dir + L"sub\\renamed.txt"));
    ASSERT_TRUE(CreateDirectoryW((dir + L"sub2").c_str(), nullptr));
    EXPECT_TRUE(fileops::copyPath(nullptr, dir + L"sub", dir + L"sub2"));
    EXPECT_TRUE(exists(dir + L"sub2\\sub\\renamed.txt"));
    // Removing never asks whether each file may go.
    EXPECT_TRUE(fileops::removeList(&host, {dir + L"sub", dir + L"sub2"}));
    EXPECT_FALSE(exists(dir + L"sub"));
    EXPECT_FALSE(exists(dir + L"sub2"));

    // An existing file asked about by an ownerless box; "&Don't replace" keeps it.
    zemtest::writeNativeFile(dir + L"keep.txt", "kept");
    SeenPrompt seen;
    bool created = true;
    size_t left = runWithPrompts([&] { created = fileops::createFile(nullptr, dir + L"keep.txt"); },
                                 {answerPrompt(L"&Don't replace", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_FALSE(created);
    EXPECT_EQ(nullptr, seen.owner);
    EXPECT_EQ("kept", readFile(dir + L"keep.txt"));
}

TEST_F(FileOperationsTest, ProgressShowsPhasesAndCancelAsksFirst) {
    FileProgressHandler handler;
    FileRemoveUI ui(&host, &handler);
    corvel::OperationProgressDialog* dialog = ui.getDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(FileProgressOperationUI::PHASE_NONE, ui.getPhase());

    handler.setPath(L"C:\\gone.txt");
    handler.notify(FileProgressHandler::EVENT_LIST_STARTED, L"C:\\gone.txt");
    EXPECT_EQ(FileProgressOperationUI::PHASE_ESTIMATING, ui.getPhase());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(L"Estimating...", dialog->getHeading()->getText());
    EXPECT_FALSE(dialog->getTarget()->isVisible());
    EXPECT_EQ(L"C:\\gone.txt", dialog->getSource()->getText());

    handler.setTotals(1, 12);
    handler.notify(FileProgressHandler::EVENT_EXECUTION_STARTED, L"C:\\gone.txt");
    EXPECT_EQ(FileProgressOperationUI::PHASE_WORKING, ui.getPhase());
    EXPECT_EQ(L"Removing 1 file (12 B)...", dialog->getHeading()->getText());
    EXPECT_EQ(L"Copying 3 files (1.5 KB)...", FileProgressOperationUI::countedText(L"Copying", 3, 1536));

    // Cancel while the operation runs asks; "&No" keeps going, "&Yes" raises the flag, and
    // the dialog stays until the operation ends.
    SeenPrompt seen;
    size_t left = runWithPrompts(
        [&] {
            dialog->getCancelButton()->click();
            widgetstest::pumpUntil([&] { return seen.title.size() > 0; }, 3000);
        },
        {answerPrompt(L"&No", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(L"Cancel operation...", seen.title);
    EXPECT_TRUE(seen.hasLabel(L"Do you really want to cancel this operation?"));
    EXPECT_FALSE(handler.isCancelRequested());
    seen = SeenPrompt();
    left = runWithPrompts(
        [&] {
            dialog->getCancelButton()->click();
            widgetstest::pumpUntil([&] { return seen.title.size() > 0; }, 3000);
        },
        {answerPrompt(L"&Yes", &seen)});
    EXPECT_EQ(0u, left);
    EXPECT_TRUE(handler.isCancelRequested());
    EXPECT_NE(nullptr, dialog->getHandle());
}

} // namespace
