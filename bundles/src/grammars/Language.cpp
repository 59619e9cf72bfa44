#include "corvel/bundles/Language.h"

#include "corvel/bundles/BundleManager.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/text/StringTemplate.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"
#include "zem/value/Values.h"
#include "zem/writer/Quoting.h"

#include <windows.h>

namespace corvel {

const wchar_t* const Language::NEW_GRAMMAR_TEMPLATE =
    L"{\n"
    L"\t// Title displayed to user in the user interface\n"
    L"\ttitle: {1}\n"
    L"\t\n"
    L"\t// Name will uniquelly identify top-level scope name the grammar.\n"
    L"\t// For example source.php, text.html, text.html.markdown\n"
    L"\t// REQUIRED \n"
    L"\tname: \"\"\n"
    L"\t\n"
    L"\t// Fill in default file extensions.\n"
    L"\t// For example [ \"html\" \"php\" \"phtml\" ]\n"
    L"\tfile_types: [  ]\n"
    L"\t\n"
    L"\t// Top-level patterns that define how the text is parsed.\n"
    L"\tpatterns: [\n"
    L"\t]\n"
    L"\t\n"
    L"\t// Reusable patterns you can include from main `patterns`.\n"
    L"\trepository: {\n"
    L"\t}\n"
    L"}\n";

Language::Language(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid)
    : LanguagePattern(std::wstring(), nullptr, 0), BundleItem(typeInfo, uuid) {
    setKind(KIND_ROOT);
}

Language::~Language() = default;

void Language::clear() {
    LanguagePattern::clear();
    m_repository.clear();
}

const LanguagePattern* Language::findRepositoryPattern(const std::wstring& key) const {
    auto it = m_repository.find(key);
    return it == m_repository.end() ? nullptr : it->second.get();
}

void Language::initFromTemplate(const std::wstring& title) {
    std::wstring quotedTitle;
    zem::appendJsonQuoted(title, quotedTitle);
    std::wstring quotedName;
    zem::appendJsonQuoted(L"none", quotedName);
    zem::StringTemplate text(NEW_GRAMMAR_TEMPLATE);
    text.setParameter(1, zem::StringTemplate::Parameter::textCopy(quotedTitle.c_str()));
    text.setParameter(2, zem::StringTemplate::Parameter::textCopy(quotedName.c_str()));
    setSource(text.getText());
    setTitle(title);
}

void Language::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    BundleItem::readProperties(dictionary);
    clear();
    setName(std::wstring());
    m_fileTypes.clear();
    m_foldingStart = RegExLiteral();
    m_foldingEnd = RegExLiteral();
    setKind(KIND_ROOT);
    if (!dictionary)
        return;
    if (!read(*dictionary, true))
        return;
    if (auto* marker = static_cast<const zem::RegExpValue*>(
            dictionary->findTyped(L"folding_start_marker", zem::Value::KIND_REGEXP)))
        m_foldingStart = RegExLiteral(marker->pattern(), marker->options());
    if (auto* marker = static_cast<const zem::RegExpValue*>(
            dictionary->findTyped(L"folding_end_marker", zem::Value::KIND_REGEXP)))
        m_foldingEnd = RegExLiteral(marker->pattern(), marker->options());
    if (const zem::ListValue* types = dictionary->findList(L"file_types")) {
        for (size_t i = 0; i < types->size(); ++i) {
            std::wstring type;
            if (!types->at(i)->getString(&type) || types->at(i)->kind() != zem::Value::KIND_STRING)
                continue;
            if (!type.empty())
                CharLowerBuffW(&type[0], static_cast<DWORD>(type.size()));
            m_fileTypes.push_back(type);
        }
    }
    const zem::Value* repository = dictionary->find(L"repository");
    if (!repository)
        return;
    if (repository->kind() != zem::Value::KIND_DICTIONARY)
        return;
    int32_t index = 0;
    for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(repository)->inOrder()) {
        ++index;
        if (!entry.value || entry.value->isNull())
            throw zem::NullPointerException(L"Null reference.");
        if (entry.value->kind() != zem::Value::KIND_DICTIONARY)
            throw zem::IllegalStateException(L"Unexpected state");
        std::unique_ptr<LanguagePattern> pattern(new LanguagePattern(entry.key, this, index));
        if (pattern->read(*static_cast<const zem::DictionaryValue*>(entry.value), false))
            m_repository[entry.key] = std::move(pattern);
    }
}

void Language::writeProperties(zem::DictionaryValue* dictionary) const {
    BundleItem::writeProperties(dictionary);
    if (!write(*dictionary))
        return;
    zem::ListValue* types = zem::createListValue();
    for (const std::wstring& type : m_fileTypes)
        types->append(zem::createStringValue(type));
    dictionary->set(L"file_types", types);
    if (!m_foldingStart.pattern().empty())
        dictionary->set(L"folding_start_marker",
                        zem::createRegExpValue(m_foldingStart.pattern(), m_foldingStart.options()));
    if (!m_foldingEnd.pattern().empty())
        dictionary->set(L"folding_end_marker", zem::createRegExpValue(m_foldingEnd.pattern(), m_foldingEnd.options()));
    zem::DictionaryValue* repository = zem::createDictionaryValue();
    for (auto& entry : m_repository) {
        zem::DictionaryValue* written = zem::createDictionaryValue();
        entry.second->write(*written);
        repository->set(entry.first, written);
    }
    dictionary->set(L"repository", repository);
}

} // namespace corvel
