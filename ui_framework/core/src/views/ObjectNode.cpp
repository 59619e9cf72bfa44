#include "corvel/ui/ObjectNode.h"

#include "zem/base/Exception.h"

#include <algorithm>

namespace corvel {

ObjectNode::~ObjectNode() {
    if (m_nodeOwner) {
        auto& list = m_nodeOwner->m_owned;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        m_nodeOwner = nullptr;
    }
    // Each deleted node takes itself off the list.
    while (!m_owned.empty()) {
        ObjectNode* first = m_owned.front();
        delete first;
    }
}

bool ObjectNode::ownsNode(const ObjectNode* node) const {
    return std::find(m_owned.begin(), m_owned.end(), node) != m_owned.end();
}

void ObjectNode::addNode(ObjectNode* node) {
    if (node->m_nodeOwner == this)
        throw zem::InvalidArgumentException(L"Object node already owned. (1)");
    if (node == this)
        throw zem::InvalidArgumentException(L"Cannot add myself.");
    if (ownsNode(node))
        throw zem::InvalidArgumentException(L"Object node already owned. (2)");
    if (node->m_nodeOwner)
        node->m_nodeOwner->removeNode(node);
    m_owned.push_back(node);
    node->m_nodeOwner = this;
}

void ObjectNode::removeNode(ObjectNode* node) {
    auto found = std::find(m_owned.begin(), m_owned.end(), node);
    if (found == m_owned.end())
        throw zem::InvalidArgumentException(L"Object node is not owned.");
    node->m_nodeOwner = nullptr;
    m_owned.erase(found);
}

} // namespace corvel
