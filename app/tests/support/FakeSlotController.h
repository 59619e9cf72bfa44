// A slot controller for dock tests: slots carry a name (a static string) as their data
// word, views are plain layouts in the slot's dock, and stored slots keep their name under
// "name". It records what the docks and the dock manager tell it.
#pragma once
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDockSlotController.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "zem/base/Crc.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace apptest {

inline std::string nameOf(const corvel::afDockSlot* slot) {
    return slot ? static_cast<const char*>(slot->getData()) : "-";
}

// The names the tests use, kept alive for the data words.
inline const char* intern(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

class FakeSlotController : public corvel::afDockSlotController {
public:
    explicit FakeSlotController(const wchar_t* idName) : afDockSlotController(zem::symbolId(idName)) {}

    corvel::afView* createSlotView(corvel::afDockSlot* slot) override {
        ++viewsMade;
        return new corvel::afLayoutLinear(slot->getDock(), corvel::afLayoutLinear::VERTICAL);
    }
    bool storeSlot(corvel::afDockSlot* slot, corvel::JasmineValue& value) override {
        if (refused.count(nameOf(slot)))
            return false;
        std::string name = nameOf(slot);
        value.getOrAddEntry(L"name").setString(std::wstring(name.begin(), name.end()));
        return true;
    }
    bool restoreSlot(const corvel::JasmineValue& value, corvel::afDock* dock, int position) override {
        std::wstring wide = value.find(L"name").asString(L"?");
        restored.push_back(std::string(wide.begin(), wide.end()));
        dock->addSlot(this, const_cast<char*>(intern(restored.back())), corvel::afDockSlot::DEFAULT_ID, position);
        return true;
    }
    void onDockEvent(uint32_t eventId, void* detail) override {
        uint32_t phase = *static_cast<uint32_t*>(detail);
        std::string what = eventId == zem::symbolId(L"serialize")     ? "serialize"
                           : eventId == zem::symbolId(L"deserialize") ? "deserialize"
                                                                      : "?";
        events.push_back(what + (phase == zem::symbolId(L"begin") ? ".begin" : ".end"));
    }
    // Tabs move: none and move, as the document tabs offer.
    int getSlotDragData(corvel::afDockSlot*, corvel::afDataObjectComposite*) override { return 1 | 8; }
    void onSlotsClosing(std::vector<corvel::afDockSlot*>& slots) override {
        for (corvel::afDockSlot* slot : slots)
            closing.push_back(nameOf(slot));
    }
    void fillSlotMenu(corvel::afDockSlot*, corvel::afMenu* menu) override {
        corvel::afMenuItem* item = menu->addItem(new corvel::afMenuItem(L"Own item"));
        item->activateCallback = corvel::afMenuItem::ActivateCallback(this, [](void* self, void*, corvel::afMenuItem*) {
            ++static_cast<FakeSlotController*>(self)->ownItemRuns;
        });
    }

    std::set<std::string> refused; // slots storeSlot declines
    std::vector<std::string> restored;
    std::vector<std::string> events;
    std::vector<std::string> closing;
    int viewsMade = 0;
    int ownItemRuns = 0;
};

} // namespace apptest
