#include "corvel/bundles/SnippetModel.h"

namespace corvel {

void SnippetModel::addActiveNode(SnippetActiveNode* node) {
    if (node->isVariable) {
        node->number = -1;
        node->setKind(SnippetNode::MIRROR);
        node->index = static_cast<int32_t>(mirrors.size());
        mirrors.push_back(node);
        return;
    }
    auto found = masterByNumber.find(node->number);
    if (found == masterByNumber.end()) {
        node->setKind(SnippetNode::MASTER);
        node->index = static_cast<int32_t>(masters.size());
        masterByNumber[node->number] = node->index;
        masters.push_back(node);
        return;
    }
    int32_t masterIndex = found->second;
    SnippetActiveNode* master = masters[masterIndex];
    if (!node->hasTransformation && node->rank() > master->rank()) {
        // The better-ranked node takes over the master's slot; the old master mirrors it.
        addMirror(master, masterIndex);
        node->setKind(SnippetNode::MASTER);
        node->index = masterIndex;
        masters[masterIndex] = node;
        return;
    }
    addMirror(node, masterIndex);
}

void SnippetModel::addMirror(SnippetActiveNode* node, int32_t masterIndex) {
    node->setKind(SnippetNode::MIRROR);
    node->index = static_cast<int32_t>(mirrors.size());
    mirrors.push_back(node);
    mirrorsByMaster.insert(std::make_pair(masterIndex, node->index));
}

} // namespace corvel
