#include "corvel/bundles/LanguageAction.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/Language.h"

namespace corvel {

LanguageAction::LanguageAction(Language* language)
    : m_language(language), m_name(language ? language->getUuid().toString() : std::wstring()) {}

std::wstring LanguageAction::getTitle() const {
    if (!m_language || m_language->getTitle().empty())
        return L"None";
    return m_language->getTitle();
}

std::wstring LanguageAction::getGroupText() const {
    if (!m_language || !m_language->getBundle())
        return L"<Unknown>";
    return m_language->getBundle()->getTitle();
}

} // namespace corvel
