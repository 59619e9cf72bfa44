// One entry of a menu tree that mirrors a native menu: an item, a separator or a submenu.
// The native item's data points at the node, so the window procedure finds it again.
#pragma once
#include "corvel/config/TaggedObject.h"
#include "corvel/ui/afWidgetKit.h"

#include <cstdint>
#include <string>

namespace corvel {

class afIcon;
class afMenu;

class afMenuNode : public TaggedObject, public afIMenuItemNode {
public:
    enum Kind { ITEM = 0, SEPARATOR = 1, MENU = 2 };

    afMenuNode(const std::wstring& title, int kind, afIcon* icon) : m_title(title), m_kind(kind), m_icon(icon) {}
    ~afMenuNode() override = default;

    int getKind() const override { return m_kind; }
    // With a parent the native item's text changes too.
    virtual void setTitle(const std::wstring& title);
    virtual std::wstring getTitle() const { return m_title; }
    virtual afIcon* getIcon() const { return m_icon; }
    virtual uint16_t getId() const { return m_id; }
    virtual void setId(uint16_t id) { m_id = id; }

    afMenu* getParent() const { return m_parent; }
    void setParent(afMenu* parent) { m_parent = parent; }
    // The title as stored, without going through overrides.
    const std::wstring& getOwnTitle() const { return m_title; }
    void storeTitle(const std::wstring& title) { m_title = title; }

    // afIMenuItemNode: drawing goes through the parent menu.
    void runCommand() override {}
    void measureItem(afCanvas& canvas, MEASUREITEMSTRUCT& item) override;
    void drawItem(afCanvas& canvas, const DRAWITEMSTRUCT& item) override;

private:
    uint16_t m_id = 0;
    std::wstring m_title; // may hold one "&" before the mnemonic
    afMenu* m_parent = nullptr;
    int m_kind;
    afIcon* m_icon;
};

} // namespace corvel
