// A file manager whose document dock is a tab strip in the editor fixture's host window,
// over real files in a fresh folder, with the question boxes answered from a timer.
#pragma once
#include "corvel/workspace/FileManager.h"

#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/OpenMessageBox.h"
#include "corvel/app/DockSimple.h"
#include "corvel/app/Tabs.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "corvel/widgets/afMessageBox.h"
#include "support/EditorFixture.h"
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <functional>
#include <string>
#include <vector>

using namespace corvel;
using zemtest::makeTempFolder;
using zemtest::readNativeFile;
using zemtest::removeTree;
using zemtest::writeNativeFile;

namespace filemanagertest {

constexpr uint32_t RESULT_SAVE = 0x79DCDD47u;
constexpr uint32_t RESULT_DISCARD = 0x67AA281Fu;
constexpr uint32_t RESULT_CANCEL = 0x5616C572u;

// What a question box showed, and the answer given from inside its modal run.
struct Prompt {
    std::wstring title;
    std::vector<std::wstring> labels;
    std::vector<std::wstring> buttons;
};

// A file manager whose document dock is a tab strip in the fixture's host window, over
// real files in a fresh folder.
class FileManagerTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        folder = makeTempFolder(L"files");
        ASSERT_FALSE(folder.empty());
        // The file manager opens full paths, which are native ones.
        native = std::make_unique<zem::FileDeviceWin32>(nullptr, zem::FILEDEV_NATIVE);
        ASSERT_TRUE(zem::fileAttachDevice(native.get(), L"__filesnative", 256));
        tabs = Tabs::create(host);
        ASSERT_NE(nullptr, tabs);
        manager.reset(new FileManager(documents.get(), controllers.get(), &registry));
        manager->setDocumentDock(tabs);
        addServices();
        manager->createActions(nullptr);
    }
    void TearDown() override {
        manager.reset();
        removeTree(folder);
        zem::fileDetachDevice(L"__filesnative");
        native.reset();
        edtest::EditorFixture::TearDown();
    }

    // Gives the manager what a fixture adds before its actions are made.
    virtual void addServices() {}

    static std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    std::wstring file(const wchar_t* name, const std::string& text = "text\n") {
        std::wstring path = folder + name;
        writeNativeFile(path, text);
        return path;
    }
    DocumentController* open(const std::wstring& path, int index = -1) {
        return manager->open(path.c_str(), nullptr, index).second;
    }
    std::vector<std::wstring> tabTexts() const {
        std::vector<std::wstring> texts;
        for (int i = 0; i < tabs->getSlotCount(); ++i) {
            ViewVirtualButton* button = DockSimple::getButton(tabs->getSlot(i));
            texts.push_back(button ? button->getText() : L"<no button>");
        }
        return texts;
    }
    void type(DocumentController* controller, const wchar_t* text) {
        EditBracket bracket(*controller, DocumentController::EDIT_WRITE);
        controller->insertString(text);
    }
    // Runs call with a step that records the box on top and answers it with result.
    template <class Call> Prompt answering(uint32_t result, Call call) {
        Prompt prompt;
        widgetstest::runWithSteps(
            [&] {
                call();
                return 0u;
            },
            {[&] {
                afMessageBox* box = widgetstest::findOpenMessageBox();
                if (!box)
                    return;
                prompt.title = box->getTitle();
                for (afControlButton* button : box->getButtons())
                    prompt.buttons.push_back(button->getText());
                collectLabels(box, prompt.labels);
                box->close(result);
            }});
        return prompt;
    }
    static void collectLabels(afView* view, std::vector<std::wstring>& out) {
        for (int i = 0; i < view->getChildCount(); ++i) {
            afView* child = view->getChildAt(i);
            if (auto* label = dynamic_cast<afLabel*>(child)) {
                if (label->isVisible() && !label->getText().empty())
                    out.push_back(label->getText());
            }
            collectLabels(child, out);
        }
    }

    std::wstring folder;
    std::unique_ptr<zem::FileDeviceWin32> native;
    afActionRegistry registry;
    Tabs* tabs = nullptr;
    std::unique_ptr<FileManager> manager;
};

// The editor of the controller's tab; null while the tab has no view.
inline Editor* editorOf(FileManager& manager, DocumentController* document) {
    afDockSlot* slot = manager.slotOf(document);
    auto* wrapper = slot ? dynamic_cast<EditorWrapper*>(slot->getView()) : nullptr;
    return wrapper ? wrapper->getEditor() : nullptr;
}

} // namespace filemanagertest
