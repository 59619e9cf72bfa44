// A message registry bound to a hidden test window, and a Config registered with it:
// change deliveries arrive when the test pumps the window.
#pragma once
#include "corvel/config/Config.h"

#include "support/TestWindow.h"
#include "zem/thread/MessageRegistry.h"

#include <memory>

namespace corveltest {

class RegistryFixture {
protected:
    void setUpRegistry() {
        m_registry.reset(new zem::MessageRegistry());
        m_registry->init(m_window.handle());
        m_config.reset(new corvel::Config());
    }
    void tearDownRegistry() {
        m_config.reset();
        if (m_registry)
            m_registry->shutdown();
        m_registry.reset();
        m_window.drain();
    }

    zemtest::TestWindow m_window;
    std::unique_ptr<zem::MessageRegistry> m_registry;
    std::unique_ptr<corvel::Config> m_config;
};

} // namespace corveltest
