// Holds the document tabs: the dock the file manager puts its editors in, made for the
// main window on first request. One lives at a time, owned by the application; others
// reach it through instance(). Main thread only.
#pragma once
#include <cstdint>

namespace corvel {

class Tabs;
class afView;

class TabManager {
public:
    static constexpr uint32_t EMPTY_PICTURE = 0x519C0F88u; // the 128-pixel icon of an empty dock

    TabManager();
    virtual ~TabManager();
    TabManager(const TabManager&) = delete;
    TabManager& operator=(const TabManager&) = delete;

    // The live manager, or null.
    static TabManager* instance();

    // The document dock, made first as a child of window (with the empty picture) when
    // there is none; null when there is none and window is null.
    Tabs* getDock(afView* window);
    // The document dock, or null while none was made.
    Tabs* getDock() const { return m_dock; }
    // The dock is going away with its window.
    void forgetDock() { m_dock = nullptr; }

private:
    Tabs* m_dock = nullptr; // owned by its window
};

} // namespace corvel
