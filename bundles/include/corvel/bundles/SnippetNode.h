// The tree a snippet's content is read into: runs of text, and active nodes (tab stops,
// placeholders with default content, mirrors, variables, transformations).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class SnippetNode {
public:
    enum Kind : int32_t { TEXT = 0, MASTER = 1, MIRROR = 2 };

    SnippetNode(SnippetNode* parent, Kind kind) : m_parent(parent), m_kind(kind) {}
    virtual ~SnippetNode() = default;
    SnippetNode(const SnippetNode&) = delete;
    SnippetNode& operator=(const SnippetNode&) = delete;

    SnippetNode* getParent() const { return m_parent; }
    Kind getKind() const { return m_kind; }
    void setKind(Kind kind) { m_kind = kind; }

private:
    SnippetNode* m_parent; // null for the root
    Kind m_kind;
};

class SnippetTextNode : public SnippetNode {
public:
    SnippetTextNode(SnippetNode* parent, std::wstring text) : SnippetNode(parent, TEXT), m_text(std::move(text)) {}
    // Escapes already resolved.
    const std::wstring& getText() const { return m_text; }

private:
    std::wstring m_text;
};

class SnippetActiveNode : public SnippetNode {
public:
    explicit SnippetActiveNode(SnippetNode* parent) : SnippetNode(parent, MASTER) {}

    std::vector<std::unique_ptr<SnippetNode>> children;
    int32_t index = -1;  // in the model's master or mirror list
    std::wstring name;   // a tab stop's digits or a variable's name; empty for the root
    int32_t number = -1; // -1 when the name is not numeric
    bool isVariable = false;
    bool hasContent = false; // written with ":" and default content
    bool hasTransformation = false;
    std::wstring regex;
    std::wstring options;
    std::wstring format;

    // Which of two nodes of one number is the master: content beats a plain stop,
    // which beats a transformation.
    int rank() const { return hasTransformation ? 0 : hasContent ? 2 : 1; }
};

} // namespace corvel
