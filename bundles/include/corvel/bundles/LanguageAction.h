// The select-grammar action of one grammar: named by the grammar entry's UUID, run in
// the editor context, titled by the grammar and grouped by its bundle.
#pragma once
#include <string>

namespace corvel {

class Language;

class LanguageAction {
public:
    explicit LanguageAction(Language* language);

    const std::wstring& getName() const { return m_name; }
    // The grammar's title, or "None" when it is empty or there is no grammar.
    std::wstring getTitle() const;
    // The title of the grammar's bundle, or "<Unknown>".
    std::wstring getGroupText() const;
    Language* getLanguage() const { return m_language; }
    void clearLanguage() { m_language = nullptr; }

private:
    Language* m_language; // not owned; null once the grammar went
    std::wstring m_name;
};

} // namespace corvel
