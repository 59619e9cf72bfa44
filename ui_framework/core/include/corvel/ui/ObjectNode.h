// The ownership tree: a node owns the nodes it adopted and deletes them with itself.
// Lifetime only; the view hierarchy (parents and children) is kept apart by afView.
#pragma once
#include "zem/base/Object.h"

#include <vector>

namespace corvel {

class ObjectNode : public zem::Object {
public:
    ObjectNode() = default;
    // Leaves its owner, then deletes every node it owns, first adopted first.
    ~ObjectNode() override;
    ObjectNode(const ObjectNode&) = delete;
    ObjectNode& operator=(const ObjectNode&) = delete;

    // Adopts node, first releasing it from another owner. InvalidArgumentException
    // "Object node already owned. (1)" when this node owns it already, "Cannot add
    // myself." for this node itself.
    void addNode(ObjectNode* node);
    // InvalidArgumentException "Object node is not owned." when this node does not own it.
    void removeNode(ObjectNode* node);

    ObjectNode* getNodeOwner() const { return m_nodeOwner; }
    const std::vector<ObjectNode*>& getOwnedNodes() const { return m_owned; }
    bool ownsNode(const ObjectNode* node) const;

private:
    std::vector<ObjectNode*> m_owned; // in adoption order; each one's m_nodeOwner is this
    ObjectNode* m_nodeOwner = nullptr;
};

} // namespace corvel
