#include "corvel/bundles/SnippetReader.h"

#include "corvel/document/FormatProgram.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using corvel::SnippetActiveNode;
using corvel::SnippetModel;
using corvel::SnippetNode;
using corvel::SnippetReader;
using corvel::SnippetTextNode;

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += c == L'\n'   ? std::string("\\n")
               : c == L'\t' ? std::string("\\t")
                            : std::string(1, c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// T"text", M<name>[children] for a master, R<name> for a mirror, V<name> for a variable;
// a transformation adds /regex/format/options.
std::string describe(const SnippetNode& node) {
    if (node.getKind() == SnippetNode::TEXT)
        return "T\"" + narrow(static_cast<const SnippetTextNode&>(node).getText()) + "\"";
    const SnippetActiveNode& active = static_cast<const SnippetActiveNode&>(node);
    std::string out = active.isVariable ? "V" : node.getKind() == SnippetNode::MASTER ? "M" : "R";
    out += narrow(active.name);
    if (active.hasTransformation)
        out += "/" + narrow(active.regex) + "/" + narrow(active.format) + "/" + narrow(active.options);
    if (!active.children.empty()) {
        out += "[";
        for (size_t i = 0; i < active.children.size(); ++i)
            out += (i ? " " : "") + describe(*active.children[i]);
        out += "]";
    }
    return out;
}

::testing::AssertionResult readsAs(const std::wstring& text, const std::string& expected) {
    std::unique_ptr<SnippetModel> model;
    try {
        model = corvel::parseSnippet(text);
    } catch (const zem::Exception& e) {
        return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" threw " << narrow(e.message());
    }
    std::string actual = describe(*model->root);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" read as " << actual << ", expected "
                                         << expected;
}

// The exception's message and its begin position as "message @line:column".
::testing::AssertionResult failsAs(const std::wstring& text, const std::string& expected) {
    try {
        corvel::parseSnippet(text);
    } catch (const zem::ParserException& e) {
        std::string actual =
            narrow(e.detail()) + " @" + std::to_string(e.begin().line) + ":" + std::to_string(e.begin().column);
        if (actual == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "\"" << narrow(text) << "\" failed as " << actual << ", expected " << expected;
    }
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" did not fail";
}

TEST(SnippetReaderTest, BuildsTheTree) {
    EXPECT_TRUE(readsAs(L"if (${1:cond}) {\n\t$0\n}", "M[T\"if (\" M1[T\"cond\"] T\") {\\n\\t\" M0 T\"\\n}\"]"));
    EXPECT_TRUE(readsAs(L"$1 ${1:x}", "M[R1 T\" \" M1[T\"x\"]]"));
    EXPECT_TRUE(readsAs(L"${1:x} $1", "M[M1[T\"x\"] T\" \" R1]"));
    EXPECT_TRUE(readsAs(L"${1/a/b/g}", "M[M1/a/b/g]"));
    EXPECT_TRUE(readsAs(L"$1 ${1/a/b/g}", "M[M1 T\" \" R1/a/b/g]"));
    EXPECT_TRUE(readsAs(L"${1/a/b/} ${1}", "M[R1/a/b/ T\" \" M1]"));
    EXPECT_TRUE(readsAs(L"${1/a\\/x/(?1:y)/}", "M[M1/a\\/x/(?1:y)/]"));
    EXPECT_TRUE(readsAs(L"$TM_X ${SELECTED_TEXT:none}", "M[VTM_X T\" \" VSELECTED_TEXT[T\"none\"]]"));
    EXPECT_TRUE(readsAs(L"${1:a ${2:b} c}", "M[M1[T\"a \" M2[T\"b\"] T\" c\"]]"));
    EXPECT_TRUE(readsAs(L"$ x", "M[T\"$ x\"]"));
    EXPECT_TRUE(readsAs(L"a}b", "M[T\"a}b\"]"));
    EXPECT_TRUE(readsAs(L"\\${1}", "M[T\"${1}\"]"));
    EXPECT_TRUE(readsAs(L"a\\\\b\\qc\\`\\}", "M[T\"a\\b\\qc`}\"]"));
    EXPECT_TRUE(readsAs(L"a`date \\` x`b", "M[T\"a\" T\"b\"]"));
    EXPECT_TRUE(readsAs(L"$12x", "M[M12 T\"x\"]"));
    EXPECT_TRUE(readsAs(L"x${", "M[T\"x\"]"));
    EXPECT_TRUE(readsAs(L"", "M"));
}

TEST(SnippetReaderTest, RecordsWarningsWithPositions) {
    SnippetReader reader(L"a\r\nb$ c\n${");
    reader.read();
    ASSERT_EQ(2u, reader.getWarnings().size());
    EXPECT_EQ(L"Not escaped `$`.", reader.getWarnings()[0].message);
    EXPECT_EQ(corvel::SnippetWarning::DOLLAR_NOT_ESCAPED, reader.getWarnings()[0].kind);
    EXPECT_EQ(2, reader.getWarnings()[0].position.line);
    EXPECT_EQ(2, reader.getWarnings()[0].position.column);
    EXPECT_EQ(4, reader.getWarnings()[0].position.offset);
    EXPECT_EQ(L"Placeholder was ignored.", reader.getWarnings()[1].message);
    EXPECT_EQ(3, reader.getWarnings()[1].position.line);
    EXPECT_EQ(1, reader.getWarnings()[1].position.column);
}

TEST(SnippetReaderTest, RefusesBadSyntaxWithExactTexts) {
    EXPECT_TRUE(failsAs(L"${1:abc", "Parsing ended unexpectedly. @1:8"));
    EXPECT_TRUE(failsAs(L"${1", "Parsing ended unexpectedly. @1:4"));
    EXPECT_TRUE(failsAs(L"${1/a/b", "Parsing ended unexpectedly. @1:8"));
    EXPECT_TRUE(failsAs(L"${:x}", "Unexpected token `unknown`, expected `variable or number`. @1:3"));
    EXPECT_TRUE(failsAs(L"\n${1 }", "Unexpected token. @2:4"));
    EXPECT_TRUE(failsAs(L"${1x}", "Unexpected token `unknown`, expected `} : or /`. @1:4"));
    EXPECT_TRUE(failsAs(L"${1/a/b/g:}", "Unexpected token `unknown`, expected `}`. @1:10"));
    EXPECT_TRUE(failsAs(L"${1/a/b/:}", "Unexpected token `unknown`, expected `}`. @1:9"));
    std::wstring deep;
    for (int i = 0; i < SnippetReader::MAX_NESTING + 1; ++i)
        deep += L"${1:";
    EXPECT_THROW(corvel::parseSnippet(deep), zem::ParserException);
    // Found by fuzzing: a transformation's format nested too deeply was refused only when
    // the snippet was inserted, and the refusal left the insertion halfway.
    std::wstring format;
    for (int i = 0; i <= corvel::FormatProgram::MAX_NESTING; ++i)
        format += L"(?1:";
    EXPECT_THROW(corvel::parseSnippet(L"${1/(a)/" + format + L"/g}"), zem::ParserException);
    EXPECT_NO_THROW(corvel::parseSnippet(L"${1/(a)/(?1:(?1:x))/g}"));
}

TEST(SnippetReaderTest, FilesMastersAndMirrors) {
    std::unique_ptr<SnippetModel> model = corvel::parseSnippet(L"$1 ${1:x} ${2} ${1/a/b/} $NAME");
    ASSERT_EQ(2u, model->masters.size());
    ASSERT_EQ(3u, model->mirrors.size());
    EXPECT_EQ(L"x", static_cast<SnippetTextNode&>(*model->masters[0]->children[0]).getText());
    EXPECT_EQ(0, model->masterByNumber[1]);
    EXPECT_EQ(1, model->masterByNumber[2]);
    EXPECT_EQ(2u, model->mirrorsByMaster.count(0));
    EXPECT_TRUE(model->mirrors[2]->isVariable);
    EXPECT_EQ(-1, model->mirrors[2]->number);
}

TEST(SnippetReaderTest, Unescapes) {
    EXPECT_EQ(L"$\\`}", corvel::unescapeSnippetText(L"\\$\\\\\\`\\}"));
    EXPECT_EQ(L"\\n", corvel::unescapeSnippetText(L"\\n"));
    EXPECT_EQ(L"ab", corvel::unescapeSnippetText(L"ab\\"));
}

} // namespace
