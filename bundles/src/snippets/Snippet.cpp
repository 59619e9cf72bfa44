#include "corvel/bundles/Snippet.h"

#include "corvel/bundles/SnippetReader.h"
#include "zem/text/StringTemplate.h"
#include "zem/writer/Quoting.h"

namespace corvel {

namespace {

const wchar_t TEMPLATE[] = L"{\n"
                           L"\ttitle: {1}\n"
                           L"\t\n"
                           L"\t// Snippet template to be inserted.\n"
                           L"\tcontent: \"\"\n"
                           L"\t\n"
                           L"\t// Scope selector in which the snippet can be executed.\n"
                           L"\tscope: \"\"\n"
                           L"\t\n"
                           L"\t// Keyboard shortcut to launch the snippet.\n"
                           L"\tshortcut: \"\"\n"
                           L"\t\n"
                           L"\t// A word shortcut that will expand in editor when TAB is pressed.\n"
                           L"\ttab_trigger: \"\"\n"
                           L"}\n";

} // namespace

Snippet::Snippet(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid) : ExecutableBundleItem(typeInfo, uuid) {}

Snippet::~Snippet() = default;

void Snippet::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    ExecutableBundleItem::readProperties(dictionary);
    dropParsedContent();
}

std::wstring Snippet::templateText(const std::wstring& title) {
    std::wstring quoted;
    zem::appendJsonQuoted(title, quoted);
    zem::StringTemplate text(TEMPLATE);
    text.setParameter(1, zem::StringTemplate::Parameter::textCopy(quoted.c_str()));
    return text.getText();
}

void Snippet::initFromTemplate(const std::wstring& title) {
    setSource(templateText(title));
    setTitle(title);
}

SnippetModel* Snippet::getParsedContent() {
    if (!m_parsed)
        m_parsed = parseSnippet(getContent());
    return m_parsed.get();
}

} // namespace corvel
