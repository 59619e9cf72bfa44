// A snippet: an executable item whose content is a template with tab stops, parsed on
// first use and parsed again after its content changes.
#pragma once
#include "corvel/bundles/ExecutableBundleItem.h"
#include "corvel/bundles/SnippetModel.h"

#include <memory>

namespace corvel {

class SnippetAction;

class Snippet : public ExecutableBundleItem {
public:
    Snippet(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid);
    ~Snippet() override;

    // The executable item's properties; the parsed content is dropped.
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    // The new-snippet template with the title filled in becomes the source; then the title.
    void initFromTemplate(const std::wstring& title) override;
    void dropParsedContent() override { m_parsed.reset(); }

    // Parses the content when needed; parser exceptions pass to the caller.
    SnippetModel* getParsedContent();

    SnippetAction* getAction() const { return m_action; }
    void setAction(SnippetAction* action) { m_action = action; }

    // The template text of a new snippet titled title.
    static std::wstring templateText(const std::wstring& title);

private:
    std::unique_ptr<SnippetModel> m_parsed; // none until first use
    SnippetAction* m_action = nullptr;      // owned by the snippet manager; none while not installed
};

} // namespace corvel
