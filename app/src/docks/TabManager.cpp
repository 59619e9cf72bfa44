#include "corvel/app/TabManager.h"

#include "corvel/app/Tabs.h"
#include "corvel/ui/afResources.h"

namespace corvel {

namespace {

TabManager* g_instance = nullptr;

} // namespace

TabManager::TabManager() {
    g_instance = this;
}

TabManager::~TabManager() {
    if (g_instance == this)
        g_instance = nullptr;
}

TabManager* TabManager::instance() {
    return g_instance;
}

Tabs* TabManager::getDock(afView* window) {
    if (m_dock)
        return m_dock;
    m_dock = Tabs::create(window);
    if (m_dock && afResources::exists())
        m_dock->setEmptyPicture(afResources::find(EMPTY_PICTURE));
    return m_dock;
}

} // namespace corvel
