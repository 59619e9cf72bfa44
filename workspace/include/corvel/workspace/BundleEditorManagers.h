// The managers the bundle editor and its entry editors work with. The program hands its
// own; tests build theirs. Only the bundle and controller managers are required.
#pragma once

namespace corvel {

class BundleManager;
class DockManager;
class DocumentControllerManager;
class LanguageManager;

struct BundleEditorManagers {
    BundleManager* bundles = nullptr;
    DocumentControllerManager* controllers = nullptr;
    LanguageManager* languages = nullptr; // the grammars of the source and content views; none without
    DockManager* docks = nullptr;         // registers the editor's docks; none without
};

} // namespace corvel
