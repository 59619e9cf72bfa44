#include "corvel/widgets/afMenuDef.h"

#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionMatch.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afActionRegistry.h"

namespace corvel {
namespace {

bool neverEnabled(void*, afMenuItem*) {
    return false;
}

} // namespace

afMenuDef::afMenuDef(const std::wstring& title, const MenuDefNodePtr& definition)
    : afMenu(title), m_definition(definition) {}

void afMenuDef::prepare() {
    clear();
    if (!m_definition)
        return;
    afActionRegistry* registry = afActionRegistry::getInstance();
    for (const MenuDefNodePtr& node : m_definition->children) {
        if (node->separator) {
            addSeparator();
        } else if (node->menu) {
            if (!node->children.empty())
                addMenu(new afMenuDef(node->title, node));
        } else if (node->item) {
            afAction* action = registry ? registry->findAction(node->itemId.c_str()) : nullptr;
            if (action) {
                addItem(new afActionMenuItem(action));
            } else {
                // Stays greyed through later state updates too.
                afMenuItem* missing = new afMenuItem(node->itemId);
                missing->enabledCallback = afMenuItem::EnabledCallback(nullptr, &neverEnabled);
                setItemEnabled(addItem(missing), false);
            }
        }
    }
    updateItemStates();
}

afMenu* createActionContextMenu(ScopePath& context) {
    afMenu* menu = afMenu::createPopup(std::wstring());
    afActionRegistry* registry = afActionRegistry::getInstance();
    if (!menu || !registry)
        return menu;
    afActionMatchList matches;
    registry->findActions(matches, context);
    sortActionMatchesByScore(matches);
    for (const afActionMatch& match : matches) {
        afActionEventMenuActivated event(menu);
        event.action = match.action;
        event.context = &context;
        match.action->execute(&event);
    }
    menu->updateItemStates();
    return menu;
}

} // namespace corvel
