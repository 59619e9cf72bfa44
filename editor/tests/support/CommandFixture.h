// An editor with the process's action registry, key invoker and clipboard, its command
// tables registered and its command handler live: keys run through the key invoker as
// the message loop would run them, characters arrive as WM_CHAR.
#pragma once
#include "corvel/editor/EditorCmd.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afClipboard.h"
#include "EditorFixture.h"

#include <memory>

namespace edtest {

class CommandFixture : public EditorFixture {
protected:
    void SetUp() override {
        // The editor finds the registry when it is made.
        registry.reset(new corvel::afActionRegistry());
        keys.reset(new corvel::afActionInvokerKey(registry.get()));
        registry->addInvoker(keys.get(), corvel::afActionEventType::KEY);
        registry->addInvoker(keys.get(), corvel::afActionEventType::CHARACTER);
        clipboard.reset(new corvel::afClipboard());
        EditorFixture::SetUp();
        corvel::EditorCmd::registerCommandTables(registry.get());
        editor->getCmd().activate();
    }
    void TearDown() override {
        EditorFixture::TearDown();
        registry->removeInvoker(keys.get());
        keys.reset();
        registry.reset();
        clipboard.reset();
    }

    // True when a binding of the key matched the editor's context.
    bool press(const wchar_t* keyText) {
        const int code = corvel::afKey::parse(keyText);
        EXPECT_NE(0, code) << "key " << testing::PrintToString(std::wstring(keyText));
        return keys->invokeKey(editor->getScopePath(), editor, code);
    }
    void typeChar(wchar_t character) {
        SendMessageW(editor->getHandle(), WM_CHAR, character, 1);
    }
    void select(int32_t anchor, int32_t caret) {
        controller->beginEdit(corvel::DocumentController::EDIT_READ);
        selection()->selectOffsets(anchor, caret, corvel::Selection::ID_NORMAL);
        controller->endEdit();
    }
    int32_t caretOffset() { return controller->getCaretOffset(); }

    std::unique_ptr<corvel::afActionRegistry> registry;
    std::unique_ptr<corvel::afActionInvokerKey> keys;
    std::unique_ptr<corvel::afClipboard> clipboard;
};

} // namespace edtest
