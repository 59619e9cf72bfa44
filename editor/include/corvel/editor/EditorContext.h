// The application services every editor reaches: set once by the application at
// start-up (tests set their own). Any of them may be null: an editor then goes without
// (default font and preset, the built-in theme colours). Main thread only.
#pragma once
#include <string>
#include <vector>

namespace corvel {

class BundleManager;
class FacePresetManager;
class ThemeManager;
class afActionInvokerTab;
class afUnicodeFontManager;

struct EditorContext {
    afUnicodeFontManager* fonts = nullptr; // null: the process's font manager
    FacePresetManager* facePresets = nullptr;
    ThemeManager* themes = nullptr;
    afActionInvokerTab* tabInvoker = nullptr; // the tab-trigger invoker
    BundleManager* bundles = nullptr;         // the grammars and snippets the launchers offer
    // The font used while no face preset manager is set.
    std::vector<std::wstring> fallbackFontNames{L"Courier New"};
    int fallbackFontSize = 10;

    // The process's one context.
    static EditorContext& get();
};

} // namespace corvel
