#include "corvel/workspace/registerBundleEntryEditors.h"

#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/workspace/BundleEntrySourceEditor.h"
#include "corvel/workspace/SnippetEditor.h"

namespace corvel {

namespace {

// The managers the registered makers give their editors.
BundleEditorManagers& current() {
    static BundleEditorManagers managers;
    return managers;
}

afView* makeSnippetEditor(afView* parent, BundleEntry*) {
    return SnippetEditor::create(parent, current());
}

afView* makeSourceEditor(afView* parent, BundleEntry*) {
    return BundleEntrySourceEditor::create(parent, current());
}

} // namespace

void registerBundleEntryEditors(const BundleEditorManagers& managers) {
    current() = managers;
    BundleEntryEditorMakers makers;
    makers.snippet = &makeSnippetEditor;
    makers.source = &makeSourceEditor;
    setBundleEntryEditorMakers(makers);
}

void unregisterBundleEntryEditors() {
    setBundleEntryEditorMakers(BundleEntryEditorMakers());
    current() = BundleEditorManagers();
}

} // namespace corvel
