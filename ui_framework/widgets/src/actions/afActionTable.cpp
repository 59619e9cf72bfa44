#include "corvel/widgets/afActionTable.h"

#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"

namespace corvel {

std::vector<afAction*> registerActionTable(afActionHandler& handler, const afActionTableRow* rows, size_t count,
                                           bool priority) {
    std::vector<afAction*> actions;
    afActionRegistry* registry = handler.getRegistry();
    if (!registry)
        return actions;
    auto* keys = dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afActionEventType::KEY));
    for (size_t i = 0; i < count; ++i) {
        const afActionTableRow& row = rows[i];
        afAction* action = registry->addAction(
            new afActionSystem(row.title, handler.getHandlerClass(), row.name, row.scope, row.method));
        if (keys) {
            if (row.key && *row.key)
                keys->bindShortcut(action, row.key, priority);
            if (row.secondKey && *row.secondKey)
                keys->bindShortcut(action, row.secondKey, priority);
        }
        actions.push_back(action);
    }
    return actions;
}

} // namespace corvel
