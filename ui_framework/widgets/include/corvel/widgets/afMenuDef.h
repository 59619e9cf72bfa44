// A menu rebuilt from its definition each time it opens: separators, submenus, and items
// that run the action named by their item id (greyed with the id as title when none).
#pragma once
#include "corvel/config/MenuDefNode.h"
#include "corvel/widgets/afMenu.h"

namespace corvel {

class ScopePath;

class afMenuDef : public afMenu {
public:
    afMenuDef(const std::wstring& title, const MenuDefNodePtr& definition);

    void prepare() override;
    const MenuDefNodePtr& getDefinition() const { return m_definition; }

private:
    MenuDefNodePtr m_definition;
};

// A created popup of every action that matches the context, best score first: each
// action's live handler is asked to add its entries.
afMenu* createActionContextMenu(ScopePath& context);

} // namespace corvel
