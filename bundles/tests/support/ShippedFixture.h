// The shipped bundles loaded as the program loads them (grammar manager, optionally the
// real theme manager and scope preferences), and helpers that parse a text with one of
// their grammars line by line and read back the scopes the parser stored.
#pragma once
#include "ManagerFixture.h"

#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/bundles/ScopePreferencesManager.h"
#include "corvel/bundles/ThemeManager.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentScopeStore.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"

#include <windows.h>

#include <string>

namespace bundletest {

// The folder the build keeps the shipped bundles in, as a Windows path.
inline std::wstring shippedFolder() {
    std::wstring path = std::wstring(L"Z:") + CORVEL_SHIPPED_DIR;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

inline bool copyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = copyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

// The scope runs of a parsed line; null when it has none.
inline const corvel::ScopeRun* runsOf(corvel::Document& document, int32_t line, size_t& count) {
    const corvel::LineHeader* header = document.getLineHeader(line);
    count = 0;
    if (!header || !header->parserBlock)
        return nullptr;
    const corvel::ParserBlockHeader* block = header->blockHeader();
    count = (block->endStateOffset - block->runsOffset) / sizeof(corvel::ScopeRun);
    return reinterpret_cast<const corvel::ScopeRun*>(header->parserBlock + block->runsOffset);
}

inline std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The runs of a parsed line as "column:scope" words.
inline std::string describeRuns(corvel::Document& document, int32_t line) {
    size_t count = 0;
    const corvel::ScopeRun* runs = runsOf(document, line, count);
    if (!runs)
        return "<none>";
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const corvel::DocumentScope* scope = document.getScopeStore().getScope(runs[i].scope);
        out += (i ? " " : "") + std::to_string(runs[i].column) + ":" + (scope ? narrow(scope->getName()) : "?");
    }
    return out;
}

// Sets the grammar, inserts the text and parses every line, each from the state the line
// above left; the document is locked for edits.
inline bool parseWhole(const corvel::ParserRule& root, const wchar_t* grammar, const std::wstring& text,
                       corvel::Document& document) {
    document.setGrammar(&root, root.getId(), grammar, true);
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    corvel::EndPatternCache cache;
    corvel::LineParser parser;
    parser.bind(&document, &cache);
    bool parsed = true;
    for (int32_t line = 0; line < document.getLineCount(); ++line)
        parsed = parser.parseLine(line) && parsed;
    parser.unbind();
    return parsed;
}

// The scope of the run that starts at the column of a parsed line.
inline const corvel::DocumentScope* scopeAt(corvel::Document& document, int32_t line, int32_t column) {
    size_t count = 0;
    const corvel::ScopeRun* runs = runsOf(document, line, count);
    for (size_t i = 0; i < count; ++i) {
        if (static_cast<int32_t>(runs[i].column) == column)
            return document.getScopeStore().getScope(runs[i].scope);
    }
    return nullptr;
}

// The innermost scope in force at the character of a parsed line.
inline const corvel::DocumentScope* scopeCovering(corvel::Document& document, int32_t line, int32_t column) {
    size_t count = 0;
    const corvel::ScopeRun* runs = runsOf(document, line, count);
    const corvel::DocumentScope* found = nullptr;
    for (size_t i = 0; i < count && static_cast<int32_t>(runs[i].column) <= column; ++i)
        found = document.getScopeStore().getScope(runs[i].scope);
    return found;
}

class ShippedFixture : public ManagerFixture {
protected:
    // Loads the shipped bundles as the program does, with the grammar and theme managers.
    void loadShipped(bool realThemes, corvel::BundleUiHost* pairsHost = nullptr) {
        ASSERT_TRUE(copyTree(shippedFolder(), native(L"root:bundles")));
        makeManager(nullptr, !realThemes);
        if (pairsHost) { // owned once registered
            ASSERT_TRUE(m_manager->registerEntryManager(new corvel::ScopePreferencesManager(*m_manager, *pairsHost)));
        }
        if (realThemes) {
            m_themeManager =
                new corvel::ThemeManager(*m_manager, corvel::BundleUiHost::none()); // owned once registered
            ASSERT_TRUE(m_manager->registerEntryManager(m_themeManager));
        }
        m_languages = new corvel::LanguageManager(*m_manager); // the bundle manager owns it once registered
        m_languages->onConfigReady(*m_config);
        ASSERT_TRUE(loadAndWait());
        ASSERT_TRUE(m_window.pumpUntil([&] { return !m_languages->isCompiling() && m_languages->getRepository(); }));
    }
    corvel::ThemeManager* m_themeManager = nullptr;
    corvel::LanguageManager* m_languages = nullptr;

    void TearDown() override {
        m_manager.reset();
        ManagerFixture::TearDown();
    }
};

} // namespace bundletest
