// One grammar: the root of its pattern tree and a bundle item. Its name (the scope name,
// such as "source.c") identifies it to the grammar manager, to includes of other grammars
// and to the editor's grammar setting.
#pragma once
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/LanguagePattern.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class LanguageAction;

class Language : public LanguagePattern, public BundleItem {
public:
    typedef std::map<std::wstring, std::unique_ptr<LanguagePattern>> Repository;

    Language(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid);
    ~Language() override;

    uint32_t getType() const override { return BundleItem::getType(); }
    // A new grammar's source from the template, then the title.
    void initFromTemplate(const std::wstring& title) override;
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    void writeProperties(zem::DictionaryValue* dictionary) const override;
    void clear() override;

    const Repository& getRepository() const { return m_repository; }
    // Null when the key is not in the repository.
    const LanguagePattern* findRepositoryPattern(const std::wstring& key) const;
    std::vector<std::wstring> getFileTypes() const { return m_fileTypes; }
    const RegExLiteral& getFoldingStartMarker() const { return m_foldingStart; }
    const RegExLiteral& getFoldingEndMarker() const { return m_foldingEnd; }

    LanguageAction* getAction() const { return m_action; }
    void setAction(LanguageAction* action) { m_action = action; }

    // The text a new grammar entry starts from ({1} the title, {2} the name, quoted).
    static const wchar_t* const NEW_GRAMMAR_TEMPLATE;

private:
    Repository m_repository;
    std::vector<std::wstring> m_fileTypes; // lower case
    RegExLiteral m_foldingStart;
    RegExLiteral m_foldingEnd;
    LanguageAction* m_action = nullptr; // not owned
};

} // namespace corvel
