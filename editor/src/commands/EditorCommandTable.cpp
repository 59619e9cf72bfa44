#include "EditorCommandTable.h"

#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"

namespace corvel {

void registerEditorCommands(afActionRegistry* registry, const EditorCommandRow* rows, size_t count) {
    if (!registry)
        return;
    afActionHandlerClass* handlerClass = registry->getHandlerClass(EditorCmd::HANDLER_CLASS);
    auto* keys = dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afActionEventType::KEY));
    for (size_t i = 0; i < count; ++i) {
        const EditorCommandRow& row = rows[i];
        const EditorCommandRow::Handler handler = row.handler;
        afActionMethod method(afActionMethod::Call([handler](afActionHandler& target, afActionEvent* event) {
            return handler(static_cast<EditorCmd&>(target), event);
        }));
        afAction* action = registry->addAction(new afActionSystem(row.title, handlerClass, row.name, row.scope, method));
        if (!keys)
            continue;
        for (const EditorCommandKey& key : row.keys) {
            if (key.text && *key.text)
                keys->bindShortcut(action, key.text, key.priority);
        }
    }
}

DocumentController* commandController(EditorCmd& cmd) {
    return cmd.getEditor().getDocumentController();
}

} // namespace corvel
