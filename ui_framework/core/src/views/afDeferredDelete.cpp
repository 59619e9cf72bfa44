#include "corvel/ui/afDeferredDelete.h"

#include "corvel/ui/ObjectNode.h"
#include "zem/thread/Thread.h"

#include <memory>
#include <vector>

namespace corvel {

namespace {

std::vector<ObjectNode*>& waiting() {
    static std::vector<ObjectNode*> nodes; // owned; none has a node owner
    return nodes;
}

} // namespace

void afDeferredDelete::add(ObjectNode* node) {
    if (!node)
        return;
    zem::checkMainThread();
    if (ObjectNode* owner = node->getNodeOwner())
        owner->removeNode(node);
    waiting().push_back(node);
}

void afDeferredDelete::flush() {
    // A destructor may retire further views: they wait for the next flush.
    std::vector<ObjectNode*> nodes;
    nodes.swap(waiting());
    for (ObjectNode* node : nodes)
        delete node;
}

size_t afDeferredDelete::pending() {
    return waiting().size();
}

} // namespace corvel
