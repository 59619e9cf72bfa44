// What the bundle editor keeps of one open entry while the user moves between entries:
// the edited content not yet written into the entry, and two flags that say where the
// changes stand. The editor that shows the state at the moment works on it.
#pragma once
#include "corvel/config/TaggedObject.h"
#include "corvel/ui/Callback.h"

namespace corvel {

class BundleEntry;
class BundleEntryEditor;

class BundleEntryEditorState : public TaggedObject {
public:
    // Called with the state whenever a flag changes as markChanged, save and the setters
    // describe.
    typedef Callback<void(BundleEntryEditorState*)> Notification;

    // Holds a reference on the entry for as long as the state lives.
    explicit BundleEntryEditorState(BundleEntry* entry);
    ~BundleEntryEditorState() override;
    BundleEntryEditorState(const BundleEntryEditorState&) = delete;
    BundleEntryEditorState& operator=(const BundleEntryEditorState&) = delete;

    // Writes the changes into the entry; false when they cannot be applied.
    virtual bool apply() { return false; }
    // Validates the content; false when it has problems.
    virtual bool check() { return false; }

    // Shows the state in editor (editor.attach).
    void attach(BundleEntryEditor* editor);
    // Checks a changed state through its editor, stores what the editor holds, then lets
    // the editor go.
    void detach();
    // The content changed: sets the changed flag, and the modified flag (with a
    // notification) unless it is set.
    void markChanged();
    // Applies pending changes (the editor's controls stored first). True at once when
    // nothing is modified; false, with the flag kept, when the changes cannot be applied.
    bool save();

    void setChanged(bool changed);
    void setModified(bool modified);
    bool isChanged() const { return m_changed; }
    bool isModified() const { return m_modified; }
    BundleEntry* getEntry() const { return m_entry; }
    BundleEntryEditor* getEditor() const { return m_editor; }
    void setNotification(void* receiver, Notification::Function function) { m_notify = {receiver, function}; }

private:
    void notify();

    bool m_changed = false;  // changed since last shown or checked
    bool m_modified = false; // changes not yet written into the entry
    Notification m_notify;
    BundleEntry* m_entry;                  // referenced
    BundleEntryEditor* m_editor = nullptr; // the editor showing the state, or null
};

} // namespace corvel
