// A parsed snippet: the node tree and, per tab-stop number, its master and mirrors.
#pragma once
#include "corvel/bundles/SnippetNode.h"

#include <map>
#include <memory>
#include <vector>

namespace corvel {

struct SnippetModel {
    std::unique_ptr<SnippetActiveNode> root{new SnippetActiveNode(nullptr)};
    std::map<int32_t, int32_t> masterByNumber;       // tab-stop number -> index in masters
    std::multimap<int32_t, int32_t> mirrorsByMaster; // master index -> index in mirrors
    std::vector<SnippetActiveNode*> mirrors;         // mirrors and variables, not owned
    std::vector<SnippetActiveNode*> masters;         // not owned

    // Files a finished active node as master, mirror or variable.
    void addActiveNode(SnippetActiveNode* node);

private:
    void addMirror(SnippetActiveNode* node, int32_t masterIndex);
};

} // namespace corvel
