// What the tree keeps for each native tree entry: the caller's data (owned or not), the
// flags the native tree has no room for and the decoration icons drawn right of the text.
// Callers may hang tagged data on it. The tree creates and deletes items.
#pragma once
#include "corvel/config/TaggedObject.h"

#include <cstdint>
#include <memory>
#include <vector>
#include <windows.h>

#include <commctrl.h>

namespace corvel {

class afControlTree;

class afControlTreeItem : public TaggedObject {
public:
    enum : uint32_t {
        FLAG_NEW = 1,                 // made to be named by the user; removed when the name is refused
        FLAG_OWNS_DATA = 2,           // the data is deleted with the item or on replacement
        FLAG_REMEMBERED_EXPANDED = 4, // asked to expand while it had no children
        FLAG_CHILDREN_MARKED = 8,     // the tree set the native children marker
    };

    afControlTreeItem(afControlTree* tree, HTREEITEM handle) : m_tree(tree), m_handle(handle) {}
    ~afControlTreeItem() override;
    afControlTreeItem(const afControlTreeItem&) = delete;
    afControlTreeItem& operator=(const afControlTreeItem&) = delete;

    afControlTree* getTree() const { return m_tree; }
    HTREEITEM getHandle() const { return m_handle; }
    uint32_t getFlags() const { return m_flags; }

    zem::Object* getData() const { return m_data; }
    // Replaces the data, deleting the old one when it was owned.
    void setData(zem::Object* data, bool owned);
    bool isNew() const { return (m_flags & FLAG_NEW) != 0; }
    void setNew(bool on) { setFlag(FLAG_NEW, on); }
    // The normal and the selected image.
    void setImage(int index);

    afControlTreeItem* getParent() const;
    afControlTreeItem* getFirstChild() const;
    afControlTreeItem* getNextSibling() const;
    bool hasChildren() const { return getFirstChild() != nullptr; }

    // Decoration icons are not owned; the item repaints.
    void addIcon(HICON icon);
    void clearIcons();
    const std::vector<HICON>* getIcons() const { return m_icons.get(); }

private:
    friend class afControlTree;
    void setFlag(uint32_t flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

    afControlTree* m_tree; // not owned
    HTREEITEM m_handle;
    zem::Object* m_data = nullptr; // owned when FLAG_OWNS_DATA is set
    uint32_t m_flags = 0;
    std::unique_ptr<std::vector<HICON>> m_icons; // made on first use
};

} // namespace corvel
