// A popup menu (or, in afMenuBar, a window's menu bar) as a tree of owned nodes mirrored
// by a native menu. Ids come from the topmost menu of the chain; the menu data of the
// native menu points at the afMenu, so the window procedure can prepare it.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/widgets/afMenuItem.h"

#include <map>
#include <memory>
#include <uxtheme.h>
#include <vector>

namespace corvel {

class afMenu : public afMenuNode, public afIMenuModel {
public:
    typedef Callback<void(afMenu* menu)> PrepareCallback;

    afMenu(const std::wstring& title, afIcon* icon = nullptr, bool bar = false);
    ~afMenu() override;

    // A created popup; null when the native menu cannot be made.
    static afMenu* createPopup(const std::wstring& title);

    virtual bool create();
    // Take ownership; null in, null out.
    virtual afMenuItem* addItem(afMenuItem* item);
    virtual afMenu* addMenu(afMenu* submenu);
    virtual afMenuItem* addSeparator();
    virtual void setItemFlags(afMenuItem* item, bool checked, bool second);
    virtual void setItemText(afMenuNode* node, const std::wstring& text);
    virtual void setItemEnabled(afMenuItem* item, bool enabled);
    virtual bool getItemState(afMenuItem*) { return false; }
    // False when the node is not a child.
    virtual bool remove(afMenuNode* node);
    virtual void clear();
    // The chosen node, or null when nothing was chosen or there is no owner window.
    virtual afMenuNode* popup(HWND owner, int x, int y, bool bottomAligned);
    virtual const std::vector<afMenuNode*>& children() const { return m_children; }
    virtual bool isEmpty() const { return m_children.empty(); }
    // Runs the prepare callback, or brings the items' enabled states up to date.
    virtual void prepare();
    virtual void measureItem(afMenuNode* node, afCanvas& canvas, MEASUREITEMSTRUCT& item);
    virtual void drawItem(afMenuNode* node, afCanvas& canvas, const DRAWITEMSTRUCT& item);

    void updateItemStates();
    // The node of an id given out by this menu or, recursively, a submenu; null if none.
    afMenuNode* findById(uint16_t id) const;
    HMENU getHandle() const { return m_handle; }
    // The system's menu font and an item's title as the menu shows it (no mnemonic mark).
    static HFONT getMenuFont();
    static std::wstring getShownTitle(const afMenuNode* node);
    bool isBar() const { return m_bar != 0; }
    void setOwnerDrawn(bool ownerDrawn) { m_ownerDrawn = ownerDrawn ? 1 : 0; }

    // afIMenuModel: the window procedure's WM_INITMENUPOPUP.
    void refresh(HMENU) override { prepare(); }

    PrepareCallback prepareCallback;

protected:
    HMENU m_handle = nullptr;
    uint8_t m_ownerDrawn = 1;
    uint8_t m_bar;

private:
    void measureThemed(afMenuNode* node, HTHEME theme, HDC dc, MEASUREITEMSTRUCT& item);
    void drawThemed(afMenuNode* node, HTHEME theme, HDC dc, const DRAWITEMSTRUCT& item);
    afMenu* topmost();
    uint16_t takeId();
    void releaseId(uint16_t id);
    int positionOf(const afMenuNode* node) const;
    void insertNative(afMenuNode* node, MENUITEMINFOW& info, const wchar_t* failure, const wchar_t* method);
    std::wstring nativeText(afMenuNode* node) const;

    std::vector<afMenuNode*> m_children;   // owned, in display order
    std::map<uint16_t, afMenuNode*> m_ids; // ids this menu gave out
    std::vector<uint16_t> m_freeIds;       // released ids, the last released on top
    uint16_t m_nextId = 1;
};

class afMenuBar : public afMenu {
public:
    afMenuBar() : afMenu(L"[Menu]", nullptr, true) {}
    bool create() override;
};

} // namespace corvel
