// Registers the entry editors of this library with the kinds' managers: the snippet form
// for snippets, the source editor for every other kind. The bundle editor does it when it
// is made; the editors made later work with these managers.
#pragma once
#include "corvel/workspace/BundleEditorManagers.h"

namespace corvel {

void registerBundleEntryEditors(const BundleEditorManagers& managers);
// Withdraws them (the bundle editor going away).
void unregisterBundleEntryEditors();

} // namespace corvel
