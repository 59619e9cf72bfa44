// Building a parsed snippet into a document: text becomes spans with their text,
// numbered fields become the masters or mirrors of their placeholder groups, variables
// are looked up, transformations become transforming mirrors.
#pragma once
#include "corvel/bundles/SnippetNode.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvel {

class DocumentController;
class Span;

struct SnippetEnvironment {
    DocumentController* controller = nullptr;
    int32_t tabWidth = 4;
    bool softTabs = false;
    int32_t lineIndentWidth = 0; // columns of the insertion line's indentation
    // The insertion at the primary selection range: its fields are the masters.
    bool primary = true;
    std::map<uint32_t, std::wstring> variables; // by the symbol id of the variable's name
    // The numbers of the fields being built around the node being built, outermost first.
    std::vector<int32_t> openFields;

    // columns of indentation as tabs of tabWidth and spaces, or spaces only.
    std::wstring makeIndent(int32_t columns) const;
    // Every line's leading white space written again in this environment's style; the
    // lines after the first get the insertion line's indentation in front.
    std::wstring reindent(const std::wstring& text) const;
};

// The symbol id variables are looked up by: CRC-32 of the name's lower-case ASCII text.
uint32_t snippetVariableId(const std::wstring& name);

// Builds node's children under parent; false when any child failed.
bool instantiateSnippet(const SnippetActiveNode& node, Span* parent, SnippetEnvironment& environment);

} // namespace corvel
