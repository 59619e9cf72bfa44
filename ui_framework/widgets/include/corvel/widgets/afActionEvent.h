// What a handler method receives when an action runs: the action, the trigger that
// started it and the context it was aimed at. The event types tie triggers, invokers and
// events together; one invoker serves each type.
#pragma once
#include <cstdint>

namespace corvel {

class afAction;
class afActionTrigger;
class afMenu;
class afMenuItem;
class ScopePath;

namespace afActionEventType {
constexpr uint32_t KEY = 0x2EF83F9Cu;
constexpr uint32_t CHARACTER = 0x937AB034u;
constexpr uint32_t TAB = 0x62CD67B8u;
constexpr uint32_t MENU_ITEM_ACTIVATED = 0x251C1049u;
constexpr uint32_t MENU_ACTIVATED = 0x294C94A9u;
constexpr uint32_t PLAIN = 0x218568E4u;
} // namespace afActionEventType

// Events live on the caller's stack for one handler call.
class afActionEvent {
public:
    explicit afActionEvent(uint32_t eventType = afActionEventType::PLAIN) : type(eventType) {}
    virtual ~afActionEvent() = default;

    afAction* action = nullptr;
    afActionTrigger* trigger = nullptr;
    ScopePath* context = nullptr;
    uintptr_t word = 0;
    uint32_t type;
};

class afActionEventKey : public afActionEvent {
public:
    afActionEventKey() : afActionEvent(afActionEventType::CHARACTER) {}
    explicit afActionEventKey(uint32_t eventType) : afActionEvent(eventType) {}

    uint8_t flag1 = 0;
    uint8_t flag2 = 0;
    uint16_t value = 0;
};

class afActionEventTab : public afActionEvent {
public:
    afActionEventTab() : afActionEvent(afActionEventType::TAB) {}
};

class afActionEventMenuItemActivated : public afActionEvent {
public:
    explicit afActionEventMenuItemActivated(afMenuItem* menuItem)
        : afActionEvent(afActionEventType::MENU_ITEM_ACTIVATED), item(menuItem) {}

    afMenuItem* item;
};

// Raised while a context menu is gathered: the handler may add entries to the menu.
class afActionEventMenuActivated : public afActionEvent {
public:
    explicit afActionEventMenuActivated(afMenu* builtMenu)
        : afActionEvent(afActionEventType::MENU_ACTIVATED), menu(builtMenu) {}

    afMenu* menu;
};

} // namespace corvel
