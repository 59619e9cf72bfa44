#include "corvel/widgets/afMenuNode.h"

#include "corvel/widgets/afMenu.h"

namespace corvel {

void afMenuNode::setTitle(const std::wstring& title) {
    if (m_parent)
        m_parent->setItemText(this, title);
    else
        m_title = title;
}

void afMenuNode::measureItem(afCanvas& canvas, MEASUREITEMSTRUCT& item) {
    if (m_parent)
        m_parent->measureItem(this, canvas, item);
}

void afMenuNode::drawItem(afCanvas& canvas, const DRAWITEMSTRUCT& item) {
    if (m_parent)
        m_parent->drawItem(this, canvas, item);
}

} // namespace corvel
