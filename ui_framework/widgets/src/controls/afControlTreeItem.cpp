#include "corvel/widgets/afControlTreeItem.h"

#include "corvel/widgets/afControlTree.h"

namespace corvel {

afControlTreeItem::~afControlTreeItem() {
    if (m_flags & FLAG_OWNS_DATA)
        delete m_data;
}

void afControlTreeItem::setData(zem::Object* data, bool owned) {
    if ((m_flags & FLAG_OWNS_DATA) && data != m_data)
        delete m_data;
    m_data = data;
    setFlag(FLAG_OWNS_DATA, owned && data);
}

void afControlTreeItem::setImage(int index) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = m_handle;
    item.iImage = index;
    item.iSelectedImage = index;
    m_tree->sendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

afControlTreeItem* afControlTreeItem::getParent() const {
    return m_tree->getParentItem(this);
}

afControlTreeItem* afControlTreeItem::getFirstChild() const {
    return m_tree->getFirstChild(this);
}

afControlTreeItem* afControlTreeItem::getNextSibling() const {
    return m_tree->getNextSibling(this);
}

void afControlTreeItem::addIcon(HICON icon) {
    if (!m_icons)
        m_icons.reset(new std::vector<HICON>());
    m_icons->push_back(icon);
    m_tree->invalidateItem(this);
}

void afControlTreeItem::clearIcons() {
    if (!m_icons || m_icons->empty())
        return;
    m_icons->clear();
    m_tree->invalidateItem(this);
}

} // namespace corvel
