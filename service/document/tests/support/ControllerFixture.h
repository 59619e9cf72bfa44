// A document manager without file watching, a controller manager over it and one
// controller on an untitled document, with a fake monospaced editor (10 units a column)
// for rectangular selections.
#pragma once
#include "StandardDevices.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/IEditor.h"
#include "corvel/document/Selection.h"
#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace documenttest {

class FakeEditor : public corvel::IEditor {
public:
    static constexpr int32_t COLUMN = 10;

    void setDocumentController(corvel::DocumentController* controller) override { this->controller = controller; }
    corvel::DocumentController* getDocumentController() const override { return controller; }
    void beginUpdate() override { ++updates; }
    void endUpdate() override {}
    void invalidateLines(int32_t first, int32_t last, bool, int32_t) override {
        invalidatedFirst = first;
        invalidatedLast = last;
    }
    void invalidateLine(int32_t line) override { invalidatedFirst = invalidatedLast = line; }
    int32_t getXAtPosition(const corvel::TextPosition& position) override { return position.offset * COLUMN; }
    corvel::TextPosition getPositionAtX(int32_t x, int32_t line) override {
        return corvel::TextPosition(line, (x + COLUMN / 2) / COLUMN);
    }

    corvel::DocumentController* controller = nullptr;
    int updates = 0;
    int32_t invalidatedFirst = -2;
    int32_t invalidatedLast = -2;
};

class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        StandardDevices::ensure();
        ASSERT_NE(nullptr, window.handle()) << "windows need a display (run under Xvfb)";
        messages.reset(new zem::MessageRegistry());
        messages->init(window.handle());
        grammars.reset(new corvel::GrammarRegistry());
        documents.reset(new corvel::DocumentManager(nullptr, grammars.get()));
        controllers.reset(new corvel::DocumentControllerManager(documents.get()));
        controller = controllers->createUntitledDocument();
    }
    void TearDown() override {
        for (corvel::DocumentController* c : std::vector<corvel::DocumentController*>(controllers->getControllers()))
            controllers->destroyController(c);
        controllers.reset();
        documents.reset();
        grammars.reset();
        window.drain();
        messages->shutdown();
        messages.reset();
    }

    corvel::Document* document() const { return controller->getDocument(); }
    corvel::Selection* selection() const { return controller->getSelection(); }

    // The whole text, read in a bracket.
    std::wstring text() {
        std::wstring all;
        controller->getAllText(all);
        return all;
    }
    // Replaces the text, caret at 0, with an empty undo history.
    void setText(const std::wstring& all) {
        controller->setText(all);
        document()->clearUndoHistory();
    }
    // Types at the caret in one mode-2 bracket.
    void type(const std::wstring& units) {
        controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
        controller->insertString(units);
        controller->endEdit();
    }
    void selectOffsets(int32_t anchor, int32_t caret) {
        controller->beginEdit(corvel::DocumentController::EDIT_READ);
        selection()->selectOffsets(anchor, caret, corvel::Selection::ID_NORMAL);
        controller->endEdit();
    }
    int32_t caret() { return controller->getCaretOffset(); }

    zemtest::TestWindow window;
    std::unique_ptr<zem::MessageRegistry> messages;
    std::unique_ptr<corvel::GrammarRegistry> grammars;
    std::unique_ptr<corvel::DocumentManager> documents;
    std::unique_ptr<corvel::DocumentControllerManager> controllers;
    corvel::DocumentController* controller = nullptr;
};

} // namespace documenttest
