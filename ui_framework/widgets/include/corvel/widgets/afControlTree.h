// The native tree with an item object of ours behind every entry. Adds what the program's
// trees need: folders that remember being expanded before they had children, the view
// state saved and restored by item paths, an empty-tree text, decoration icons right of
// the text, renaming in place with a two-step commit (also for new, still unnamed items),
// drag start and a right-click hook. Operations on a null item do nothing.
#pragma once
#include "corvel/widgets/afControl.h"
#include "corvel/widgets/afControlTreeItem.h"
#include "corvel/widgets/afControlTreeState.h"
#include "corvel/widgets/afImageList.h"

#include <string>

namespace corvel {

class afControlTreeInplaceEdit;
class afDataObject;

class afControlTree : public afControl {
public:
    typedef void (*ItemFunction)(void* object, afControlTree* tree, afControlTreeItem* item);
    typedef bool (*ItemQueryFunction)(void* object, afControlTree* tree, afControlTreeItem* item);
    typedef bool (*ExpandingFunction)(void* object, afControlTree* tree, afControlTreeItem* item, bool expanding);
    // Decides a rename; cancelled when the edit ended without text (Escape).
    typedef bool (*RenameFunction)(void* object, afControlTree* tree, afControlTreeItem* item, const std::wstring& text,
                                   bool cancelled);
    typedef void (*CheckFunction)(void* object, afControlTree* tree, afControlTreeItem* item, bool checked);
    // Item or null under the cursor; screen coordinates.
    typedef void (*ContextMenuFunction)(void* object, afControlTree* tree, afControlTreeItem* item, int x, int y);
    // The object to drag (the tree takes it) or null; allowed holds afDropAction bits and may
    // be changed. x and y are client coordinates.
    typedef afDataObject* (*BeginDragFunction)(void* object, afControlTree* tree, afControlTreeItem* item, int x, int y,
                                               int& allowed);
    // The drag's object, now the receiver's, and the action the drop performed.
    typedef void (*DragEndedFunction)(void* object, afControlTree* tree, afControlTreeItem* item, afDataObject* data,
                                      int effect);
    // Negative, zero or positive as a goes before, with or after b.
    typedef int (*CompareFunction)(void* object, afControlTreeItem* a, afControlTreeItem* b);

    explicit afControlTree(afView* parent);
    ~afControlTree() override;

    // Null for a null parent.
    static afControlTree* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onRawMessage(afMessage* message) override;
    bool onNotify(afMessage* message) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // Appends an item under parent (null: at the root). A parent that was asked to expand
    // while empty shows expanded at once. Null when the native tree refuses.
    afControlTreeItem* insertItem(afControlTreeItem* parent, const std::wstring& text);
    // Removes the item with its children.
    void removeItem(afControlTreeItem* item);
    void clear();
    int getItemCount() const { return m_count; }
    bool isEmpty() const { return m_empty; }

    void setItemText(afControlTreeItem* item, const std::wstring& text);
    // At most 260 characters.
    std::wstring getItemText(const afControlTreeItem* item) const;
    void setItemBold(afControlTreeItem* item, bool bold);

    // The item behind a native handle; null when there is none.
    afControlTreeItem* getItem(HTREEITEM handle) const;
    afControlTreeItem* getParentItem(const afControlTreeItem* item) const;
    afControlTreeItem* getFirstChild(const afControlTreeItem* item) const;
    afControlTreeItem* getNextSibling(const afControlTreeItem* item) const;
    afControlTreeItem* getFirstItem() const;
    afControlTreeItem* getSelectedItem() const;
    afControlTreeItem* getFirstVisibleItem() const;

    // Null clears the selection.
    void selectItem(afControlTreeItem* item);
    void ensureVisible(afControlTreeItem* item);
    void setFirstVisible(afControlTreeItem* item);
    // The item at a client point, or null.
    afControlTreeItem* itemAt(int x, int y) const;
    void invalidateItem(afControlTreeItem* item);

    // An item without children answers whether it was asked to expand.
    bool isExpanded(afControlTreeItem* item) const;
    // Keeps the first visible item where it was. An item without children only remembers.
    void expandItem(afControlTreeItem* item, bool expand);

    // The check boxes of a tree with TVS_CHECKBOXES.
    void setCheck(afControlTreeItem* item, bool checked);
    bool isChecked(afControlTreeItem* item) const;

    // Nothing when the comparer is unset.
    void sortChildren(afControlTreeItem* parent, const afCallback<CompareFunction>& comparer);

    // The first child (null parent: root item) with exactly this text; null for empty text.
    afControlTreeItem* findChild(afControlTreeItem* parent, const std::wstring& text) const;
    // The item of the path, or the deepest ancestor on it that exists; null for an empty
    // path or a missing first component.
    afControlTreeItem* findByPath(const std::wstring& path) const;
    // "\" before the text of each ancestor and of the item: "\a\b".
    std::wstring getItemPath(const afControlTreeItem* item) const;

    void saveState(afControlTreeState& state) const;
    void restoreState(const afControlTreeState& state);

    void setEmptyText(const std::wstring& text);
    const std::wstring& getEmptyText() const { return m_emptyText; }
    // The normal image list; a list owned before is destroyed.
    void setImageList(HIMAGELIST list, bool owned);
    // Columns of decoration icons reserved at the right edge.
    void setIconColumns(int columns) { m_iconColumns = columns; }

    afControlTreeInplaceEdit* getInplaceEdit() const { return m_edit; }

    afCallback<ItemFunction> onItemActivated;
    afCallback<ItemFunction> onSelectionChanged;
    afCallback<ItemFunction> onItemDeleted;
    afCallback<ExpandingFunction> onItemExpanding;
    afCallback<ItemFunction> onBeginRename;
    afCallback<ItemQueryFunction> canRename;
    afCallback<RenameFunction> onRenamed;
    afCallback<RenameFunction> onNewItemNamed;
    afCallback<ItemFunction> onRenameEnded;
    afCallback<CheckFunction> onCheckChanged;
    afCallback<ContextMenuFunction> onContextMenu;
    afCallback<BeginDragFunction> onBeginDrag;
    afCallback<DragEndedFunction> onDragEnded;

protected:
    // Runs the drag of data; tests replace the OLE drag. Returns the performed action.
    virtual int runDrag(afDataObject* data, int allowed);

private:
    LRESULT handleNotification(const NMHDR* header);
    bool beginRename(afControlTreeItem* item);
    void commitRename(afControlTreeItem* item, const wchar_t* text);
    void beginDrag(const NMTREEVIEWW* info);
    void contextMenu();
    void toggleCheck(afControlTreeItem* item);
    LRESULT customDraw(NMTVCUSTOMDRAW* draw);
    void drawIcons(const afControlTreeItem* item, HDC dc);
    void onItemGone(afControlTreeItem* item);
    void setEmpty(bool empty);
    void setChildrenMarker(afControlTreeItem* item, bool on);
    // Expands or collapses natively, keeping the first visible item at the top.
    bool expandNative(afControlTreeItem* item, bool expand);
    afControlTreeItem* nextItem(const afControlTreeItem* item, UINT relation) const;
    // The walks below stay on native handles: each item object is one more message away.
    HTREEITEM nextHandle(HTREEITEM from, UINT relation) const;
    std::wstring textOf(HTREEITEM handle) const;
    HTREEITEM findChildHandle(HTREEITEM parent, const std::wstring& text) const;
    std::wstring pathOf(HTREEITEM handle) const;
    // Frees every item object without callbacks: the window is going.
    void dropItems();

    std::wstring m_emptyText;
    bool m_empty = true; // m_empty == (m_count == 0) outside of insert and removal
    int m_count = 0;     // native items alive, counted per deletion notification
    int m_iconColumns = 0;
    afImageList m_imageList;
    afControlTreeInplaceEdit* m_edit = nullptr; // owned as a child view
    bool m_removing = false;                    // an item is being removed from inside the commit
    // The item whose edit began and is not committed yet: a tree may end one edit twice.
    afControlTreeItem* m_editing = nullptr;
};

} // namespace corvel
