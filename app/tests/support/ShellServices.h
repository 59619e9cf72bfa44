// What the application makes before its main window, for tests that make one alone: the
// resource registry, the widget palette, the dock and tab managers and a message
// registry that bind() ties to the window once it exists.
#pragma once
#include "corvel/app/DockManager.h"
#include "corvel/app/TabManager.h"
#include "corvel/widgets/WidgetPalette.h"
#include "support/TestWidgets.h"
#include "zem/thread/MessageRegistry.h"

#include <memory>

namespace apptest {

struct ShellServices {
    ShellServices() : palette(new corvel::WidgetPalette()), docks(new corvel::DockManager()), tabs(new corvel::TabManager()),
                      registry(new zem::MessageRegistry()) {}
    ~ShellServices() {
        registry->shutdown();
        uitest::drainMessages();
    }
    void bind(HWND window) { registry->init(window); }

    uitest::WithResources resources;
    std::unique_ptr<corvel::WidgetPalette> palette;
    std::unique_ptr<corvel::DockManager> docks;
    std::unique_ptr<corvel::TabManager> tabs;
    std::unique_ptr<zem::MessageRegistry> registry;
};

} // namespace apptest
