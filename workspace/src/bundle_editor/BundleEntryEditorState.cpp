#include "corvel/workspace/BundleEntryEditorState.h"

#include "corvel/bundles/BundleEntry.h"
#include "corvel/workspace/BundleEntryEditor.h"

namespace corvel {

BundleEntryEditorState::BundleEntryEditorState(BundleEntry* entry) : m_entry(entry) {
    if (m_entry)
        m_entry->addRef();
}

BundleEntryEditorState::~BundleEntryEditorState() {
    if (m_entry)
        m_entry->release();
}

void BundleEntryEditorState::attach(BundleEntryEditor* editor) {
    m_editor = editor;
    if (m_editor)
        m_editor->attach(this);
}

void BundleEntryEditorState::detach() {
    if (!m_editor)
        return;
    BundleEntryEditor* editor = m_editor;
    if (m_changed) {
        editor->checkState(this);
        m_changed = false;
    }
    editor->storeState(this);
    editor->detach(this);
    m_editor = nullptr;
}

void BundleEntryEditorState::markChanged() {
    // The modified flag follows every change, not only the first since the state was
    // shown: an edit after a save must be saved again.
    m_changed = true;
    if (m_modified)
        return;
    m_modified = true;
    notify();
}

bool BundleEntryEditorState::save() {
    if (!m_modified)
        return true;
    if (m_editor)
        m_editor->storeState(this);
    if (!apply())
        return false;
    m_modified = false;
    notify();
    return true;
}

void BundleEntryEditorState::setChanged(bool changed) {
    if (m_changed == changed)
        return;
    m_changed = changed;
    notify();
}

void BundleEntryEditorState::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    notify();
}

void BundleEntryEditorState::notify() {
    if (m_notify.function)
        m_notify(this);
}

} // namespace corvel
