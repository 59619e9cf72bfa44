// The application's registry of docks and slot controllers: it names the docks ("main.left",
// "main.tabs", "main.bottom" and those other windows register), knows the controllers that
// own slots by their ids, tracks the dock that last took the focus, and stores and restores
// which slots each dock holds under "app.docks". One lives at a time, owned by the
// application; others reach it through instance(). Main thread only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class Config;
class afDock;
class afDockSlotController;

class DockManager {
public:
    DockManager();
    virtual ~DockManager();
    DockManager(const DockManager&) = delete;
    DockManager& operator=(const DockManager&) = delete;

    // The live manager, or null.
    static DockManager* instance();

    // Adds the dock under its name unless the name's id is taken; the dock becomes the
    // current one whenever it takes the focus.
    void registerDock(const std::wstring& name, afDock* dock);
    // A dock that goes away before the manager leaves here first (the application's docks
    // do so themselves).
    void unregisterDock(afDock* dock);
    // An id already present keeps its first controller.
    void registerSlotController(afDockSlotController* controller);
    void unregisterSlotController(afDockSlotController* controller);

    // Null for an unknown id and for the id of "null".
    afDockSlotController* findController(uint32_t id) const;
    afDock* findDock(const std::wstring& name) const;
    // The registered name of a dock, or empty.
    std::wstring getDockName(const afDock* dock) const;

    afDock* getCurrentDock() const { return m_current; }
    void setCurrentDock(afDock* dock) { m_current = dock; }

    // Writes every registered dock's slots into "app.docks", each through its controller.
    // The caller holds the configuration's lock.
    void store(Config& config);
    // Gives the slots stored in "app.docks" back to their controllers; malformed parts are
    // skipped. The caller holds the configuration's lock.
    void restore(Config& config);

private:
    struct DockEntry {
        uint32_t id; // of the name
        std::wstring name;
        afDock* dock;
    };
    // Tells every controller (what: serialize or deserialize; phase: begin or end).
    void notifyControllers(uint32_t what, uint32_t phase);
    const DockEntry* findEntry(uint32_t id) const;
    static void onDockFocus(void* self, afDock* dock);

    std::vector<DockEntry> m_docks;                   // in registration order
    std::vector<afDockSlotController*> m_controllers; // not owned; ids unique
    afDock* m_current = nullptr;                      // not owned
};

} // namespace corvel
