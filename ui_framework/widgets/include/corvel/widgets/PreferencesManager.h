// Gathers the preference pages other parts of the program contribute and runs the
// preferences dialog. Subscribers stay for the manager's life.
#pragma once
#include "corvel/widgets/afActionHandler.h"
#include "zem/base/CallbackList.h"

namespace corvel {

class PreferencesDialog;
class afActionEvent;
class afView;

class PreferencesManager : public afActionHandler {
public:
    typedef zem::CallbackList<void(PreferencesDialog*)> DialogList;
    // Run in order, stopping at the first false.
    typedef zem::CallbackList<bool()> VetoableList;

    // Registers "view.dlg.preferences" and plays the "PreferencesManager" role.
    explicit PreferencesManager(afActionRegistry* registry = nullptr);

    // The dialogs' owner: the main window.
    void setOwner(afView* owner) { m_owner = owner; }
    // Runs the dialog modally over the owner; returns its result.
    uint32_t openDialog();
    bool onOpenDialog(afActionEvent* event);

    PreferencesDialog* getOpenDialog() const { return m_dialog; }

    // Called with the dialog while it is built: each adds its page(s).
    DialogList pageBuilders;
    // Called with the dialog when its window is destroyed.
    DialogList pageClosers;
    VetoableList applyHandlers;
    VetoableList cancelHandlers;

private:
    afView* m_owner = nullptr;
    PreferencesDialog* m_dialog = nullptr;
};

} // namespace corvel
