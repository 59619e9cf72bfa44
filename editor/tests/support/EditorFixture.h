// An editor in a hidden top-level test window, bound to a controller of an untitled
// document, laying out with the made monospaced face (12 x 20 pixel cells). Painting is
// read back by drawing the editor into a memory bitmap.
#pragma once
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/WidgetPalette.h"
#include "support/DibTarget.h"
#include "support/MonoFace.h"
#include "support/StandardDevices.h"
#include "support/TestWidgets.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace edtest {

class EditorFixture : public ::testing::Test {
protected:
    static constexpr int CELL = uitest::MONO_CELL;
    static constexpr int ROW = uitest::MONO_HEIGHT;

    void SetUp() override {
        documenttest::StandardDevices::ensure();
        // Clicks sent one after another are one gesture however loaded the machine is;
        // a test starts a new one with newGesture().
        savedClickClock = corvel::afViewPlatform::clickClock;
        corvel::afViewPlatform::clickClock = [] { return DWORD(1000); };
        if (!corvel::afResources::exists())
            corvel::afResources::create();
        if (!corvel::WidgetPalette::instance())
            palette.reset(new corvel::WidgetPalette());
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        ASSERT_TRUE(uitest::monoFontManager().hasFont(L"CorvelMono"));
        messages.reset(new zem::MessageRegistry());
        messages->init(window.handle());
        grammars.reset(new corvel::GrammarRegistry());
        documents.reset(new corvel::DocumentManager(nullptr, grammars.get()));
        controllers.reset(new corvel::DocumentControllerManager(documents.get()));
        controller = controllers->createUntitledDocument();
        corvel::EditorContext& services = corvel::EditorContext::get();
        saved = services;
        services.fonts = &uitest::monoFontManager();
        services.facePresets = nullptr;
        services.themes = nullptr;
        services.fallbackFontNames = {L"CorvelMono"};
        services.fallbackFontSize = uitest::MONO_POINTS;
        host = new uitest::TestWidget(nullptr, false);
        host->width = hostWidth;
        host->height = hostHeight;
        host->afViewPlatform::create();
        editor = corvel::Editor::create(host, 0);
        ASSERT_NE(nullptr, editor);
        editor->setFrameRect(0, 0, hostWidth, hostHeight);
        controller->setEditor(editor);
    }
    void TearDown() override {
        if (savedClickClock)
            corvel::afViewPlatform::clickClock = savedClickClock;
        if (controller)
            controller->setEditor(nullptr);
        delete host;
        host = nullptr;
        for (corvel::DocumentController* c : std::vector<corvel::DocumentController*>(controllers->getControllers()))
            controllers->destroyController(c);
        controllers.reset();
        documents.reset();
        grammars.reset();
        window.drain();
        messages->shutdown();
        messages.reset();
        corvel::EditorContext::get() = saved;
        palette.reset();
    }

    // Replaces the text, caret at 0, with an empty undo history.
    void setText(const std::wstring& all) {
        controller->setText(all);
        controller->getDocument()->clearUndoHistory();
    }
    std::wstring text() {
        std::wstring all;
        controller->getAllText(all);
        return all;
    }
    corvel::Selection* selection() const { return controller->getSelection(); }
    void setCaret(int32_t line, int32_t offset) {
        controller->beginEdit(corvel::DocumentController::EDIT_READ);
        selection()->select(corvel::TextPosition(line, offset), corvel::TextPosition(line, offset), 1,
                            corvel::Selection::ID_START_OVER);
        controller->endEdit();
    }
    corvel::TextPosition caret() const { return selection()->getCaret(); }
    RECT client() const {
        RECT r;
        GetClientRect(editor->getHandle(), &r);
        return r;
    }
    // The editor drawn into a bitmap of its client size.
    std::unique_ptr<corveltest::DibTarget> paint() {
        RECT r = client();
        std::unique_ptr<corveltest::DibTarget> target(new corveltest::DibTarget(r.right, r.bottom, RGB(1, 2, 3)));
        std::unique_ptr<corvel::afCanvas> canvas = corvel::afCanvas::create(target->dc());
        editor->onDraw(canvas.get(), nullptr);
        return target;
    }
    void pump() { uitest::drainMessages(); }

    int hostWidth = 400;
    int hostHeight = 240;
    std::unique_ptr<corvel::WidgetPalette> palette; // when none was live
    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> messages;
    std::unique_ptr<corvel::GrammarRegistry> grammars;
    std::unique_ptr<corvel::DocumentManager> documents;
    std::unique_ptr<corvel::DocumentControllerManager> controllers;
    corvel::DocumentController* controller = nullptr;
    corvel::EditorContext saved;
    uitest::TestWidget* host = nullptr;
    corvel::Editor* editor = nullptr;
    DWORD (*savedClickClock)() = nullptr;
};

} // namespace edtest
