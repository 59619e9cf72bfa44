#include "corvel/config/ConfigNamespace.h"

#include <algorithm>

namespace corvel {

void ConfigNamespace::addListener(ConfigListener* listener) {
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void ConfigNamespace::removeListener(ConfigListener* listener) {
    auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (it != m_listeners.end())
        m_listeners.erase(it);
}

} // namespace corvel
