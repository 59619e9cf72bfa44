// The snippets that ship with the language bundles: each reads cleanly, has a tab word and
// its language's scope, no two of a language share a word, and each expands to the text a
// programmer expects.
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/bundles/SnippetReader.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include "../../service/document/tests/support/ControllerFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using corvel::Snippet;

// The folder the build keeps the shipped bundles in, as a Windows path.
std::wstring shippedPath(const std::wstring& below) {
    std::wstring path = std::wstring(L"Z:") + CORVEL_SHIPPED_DIR + L"/" + below;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

// Names in folder matching pattern (no "." or "..").
std::vector<std::wstring> namesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// The shipped files are plain ASCII.
std::wstring readAscii(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    return std::wstring(text.begin(), text.end());
}

struct Language {
    const wchar_t* bundle; // the bundle folder's name before its UUID
    const wchar_t* scope;
};
const Language LANGUAGES[] = {
    {L"c", L"source.c"},         {L"cpp", L"source.cpp"},   {L"python", L"source.python"},
    {L"shell", L"source.shell"}, {L"json", L"source.json"}, {L"markdown", L"text.markdown"},
};

class ShippedSnippetsTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        documenttest::ControllerFixture::SetUp();
        corvel::fillStandardEntryType(corvel::SNIPPET_TYPE_ID, kind);
        for (const Language& language : LANGUAGES)
            load(language);
    }
    void TearDown() override {
        for (auto& entry : snippets)
            entry.second->release();
        documenttest::ControllerFixture::TearDown();
    }

    void load(const Language& language) {
        const std::vector<std::wstring> bundles =
            namesIn(shippedPath(L""), (std::wstring(language.bundle) + L".*").c_str());
        ASSERT_EQ(1u, bundles.size()) << "bundle of " << testing::PrintToString(std::wstring(language.bundle));
        const std::wstring folder = shippedPath(bundles[0] + L"/snippets");
        for (const std::wstring& name : namesIn(folder, L"*.cvSnippet")) {
            std::unique_ptr<zem::Value> value(zem::parseJasmine(readAscii(folder + L"\\" + name)));
            auto* dictionary = dynamic_cast<zem::DictionaryValue*>(value.get());
            EXPECT_NE(nullptr, dictionary) << testing::PrintToString(name);
            if (!dictionary)
                continue;
            auto* snippet = new Snippet(&kind, zem::Uuid());
            snippet->readProperties(dictionary);
            files[snippet] = name;
            snippets.emplace(std::wstring(language.scope) + L" " + snippet->getTabTrigger(), snippet);
            ++counts[language.scope];
        }
    }

    // The snippet's expansion on an empty line indented by a tab, "|" at the caret and
    // "[" "]" around the selected first field.
    std::wstring expand(Snippet* snippet) {
        setText(L"\t");
        selectOffsets(1, 1);
        controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
        corvel::SnippetManager::insertSnippet(*controller, *snippet->getParsedContent());
        controller->endEdit();
        std::wstring all = text();
        controller->beginEdit(corvel::DocumentController::EDIT_READ);
        const int32_t anchor = controller->positionToOffset(selection()->getAnchor());
        const int32_t caret = controller->positionToOffset(selection()->getCaret());
        controller->endEdit();
        if (anchor == caret)
            return all.insert(static_cast<size_t>(caret), L"|");
        all.insert(static_cast<size_t>(std::max(anchor, caret)), L"]");
        return all.insert(static_cast<size_t>(std::min(anchor, caret)), L"[");
    }

    corvel::BundleEntryTypeInfo kind;
    std::multimap<std::wstring, Snippet*> snippets; // by "scope word"
    std::map<Snippet*, std::wstring> files;
    std::map<std::wstring, size_t> counts; // by scope
};

TEST_F(ShippedSnippetsTest, EveryLanguageShipsSnippetsWithAWordAndItsScope) {
    for (const Language& language : LANGUAGES)
        EXPECT_LE(2u, counts[language.scope]) << testing::PrintToString(std::wstring(language.scope));
    for (auto& entry : snippets) {
        Snippet* snippet = entry.second;
        const std::string file = testing::PrintToString(files[snippet]);
        EXPECT_FALSE(snippet->getTitle().empty()) << file;
        EXPECT_FALSE(snippet->getTabTrigger().empty()) << file;
        EXPECT_EQ(1u, snippets.count(entry.first)) << "a tab word used twice in one language: " << file;
        corvel::SnippetReader reader(snippet->getContent());
        EXPECT_NO_THROW(reader.read()) << file;
        EXPECT_TRUE(reader.getWarnings().empty()) << file;
    }
}

TEST_F(ShippedSnippetsTest, EachExpandsToItsText) {
    struct Case {
        const wchar_t* key; // "scope word"
        const wchar_t* expanded;
    };
    const Case cases[] = {
        {L"source.c for", L"\tfor ([i] = 0; i < count; i++) {\n\t\t\n\t}"},
        {L"source.c if", L"\tif ([condition]) {\n\t\t\n\t}"},
        {L"source.c ife", L"\tif ([condition]) {\n\t\t\n\t} else {\n\t\t\n\t}"},
        {L"source.c while", L"\twhile ([condition]) {\n\t\t\n\t}"},
        {L"source.c fn", L"\t[void] name(void)\n\t{\n\t\t\n\t}"},
        {L"source.c main", L"\tint main(int argc, char *argv[])\n\t{\n\t\t|\n\t\treturn 0;\n\t}"},
        {L"source.c inc", L"\t#include <[stdio].h>\n\t"},
        {L"source.c st", L"\tstruct [name] {\n\t\t\n\t};"},
        {L"source.cpp for", L"\tfor ([int] i = 0; i < count; ++i) {\n\t\t\n\t}"},
        {L"source.cpp forr", L"\tfor ([const auto&] item : items) {\n\t\t\n\t}"},
        {L"source.cpp if", L"\tif ([condition]) {\n\t\t\n\t}"},
        {L"source.cpp ife", L"\tif ([condition]) {\n\t\t\n\t} else {\n\t\t\n\t}"},
        {L"source.cpp fn", L"\t[void] name()\n\t{\n\t\t\n\t}"},
        {L"source.cpp main", L"\tint main(int argc, char* argv[])\n\t{\n\t\t|\n\t\treturn 0;\n\t}"},
        {L"source.cpp cls", L"\tclass [Name] {\n\tpublic:\n\t\tName();\n\t\t~Name();\n\t\n\tprivate:\n\t\t\n\t};"},
        {L"source.cpp ns", L"\tnamespace [name] {\n\t\n\t\n\t\n\t} // namespace name"},
        {L"source.cpp inc", L"\t#include <[string]>\n\t"},
        {L"source.python def", L"\tdef [name]():\n\t\tpass"},
        {L"source.python class", L"\tclass [Name]:\n\t\tdef __init__(self):\n\t\t\tpass"},
        {L"source.python if", L"\tif [condition]:\n\t\tpass"},
        {L"source.python ife", L"\tif [condition]:\n\t\tpass\n\telse:\n\t\tpass"},
        {L"source.python for", L"\tfor [item] in items:\n\t\tpass"},
        {L"source.python while", L"\twhile [condition]:\n\t\tpass"},
        {L"source.python main", L"\tif __name__ == \"__main__\":\n\t\t[main()]"},
        {L"source.python try", L"\ttry:\n\t\t[pass]\n\texcept Exception as error:\n\t\traise"},
        {L"source.shell shebang", L"\t#!/usr/bin/env bash\n\tset -euo pipefail\n\t\n\t|"},
        {L"source.shell if", L"\tif [ [condition] ]; then\n\t\t\n\tfi"},
        {L"source.shell ife", L"\tif [ [condition] ]; then\n\t\t\n\telse\n\t\t\n\tfi"},
        {L"source.shell for", L"\tfor [item] in \"$@\"; do\n\t\t\n\tdone"},
        {L"source.shell while", L"\twhile [condition]; do\n\t\t\n\tdone"},
        {L"source.shell fn", L"\t[name]() {\n\t\t\n\t}"},
        {L"source.shell case", L"\tcase [\"$1\"] in\n\t\tpattern)\n\t\t\t\n\t\t\t;;\n\tesac"},
        {L"source.json obj", L"\t{\n\t\t\"[key]\": value\n\t}"},
        {L"source.json arr", L"\t[\n\t\t[value]\n\t]"},
        {L"text.markdown link", L"\t[[text]](address)"},
        {L"text.markdown img", L"\t![[description]](address)"},
        {L"text.markdown code", L"\t```[language]\n\t\n\t```"},
        {L"text.markdown table", L"\t| [Column] | Column |\n\t| --- | --- |\n\t|  |  |"},
    };
    size_t checked = 0;
    for (const Case& c : cases) {
        auto found = snippets.find(c.key);
        if (found == snippets.end()) {
            ADD_FAILURE() << "no snippet " << testing::PrintToString(std::wstring(c.key));
            continue;
        }
        EXPECT_EQ(std::wstring(c.expanded), expand(found->second)) << testing::PrintToString(std::wstring(c.key));
        ++checked;
    }
    EXPECT_EQ(snippets.size(), checked) << "every shipped snippet has its row";
}

} // namespace
