// The shipped C, C++ and Python grammars on short snippets: each snippet is parsed line
// by line with the state carried, as a parse job does, and chosen characters must carry
// the expected innermost scope.
#include "support/LogCapture.h"
#include "support/ShippedFixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace corvel;
using namespace bundletest;

namespace {

// A character of a snippet's line: the first occurrence of `at` in the line, or, when
// `at` holds a '|', the character after the '|' in that occurrence.
struct Probe {
    int line;
    const wchar_t* at;
    const char* scope;
};

struct Snippet {
    const wchar_t* text;
    std::vector<Probe> probes;
};

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            return lines;
        start = end + 1;
    }
}

int columnOf(const std::wstring& line, std::wstring needle) {
    size_t bar = needle.find(L'|');
    size_t offset = 0;
    if (bar != std::wstring::npos) {
        needle.erase(bar, 1);
        offset = bar;
    }
    size_t at = line.find(needle);
    return at == std::wstring::npos ? -1 : static_cast<int>(at + offset);
}

class ShippedGrammarsTest : public ShippedFixture {
protected:
    void SetUp() override {
        ShippedFixture::SetUp();
        zemtest::LogCapture capture(BundleManager::logSource());
        loadShipped(false);
        for (auto& line : capture.lines()) {
            if (line.level >= 2)
                ADD_FAILURE() << "logged: " << narrow(line.text);
        }
    }

    ::testing::AssertionResult scopesAre(const wchar_t* grammar, const Snippet& snippet) {
        const ParserRule* root = m_languages->getRepository()->findRule(grammar);
        if (!root)
            return ::testing::AssertionFailure() << "no rule for " << narrow(grammar);
        Document document(nullptr);
        document.lockEdit();
        bool parsed = parseWhole(*root, grammar, snippet.text, document);
        std::vector<std::wstring> lines = splitLines(snippet.text);
        std::ostringstream failures;
        for (const Probe& probe : snippet.probes) {
            int column = probe.line < static_cast<int>(lines.size()) ? columnOf(lines[probe.line], probe.at) : -1;
            if (column < 0) {
                failures << "line " << probe.line << " has no `" << narrow(probe.at) << "`\n";
                continue;
            }
            const DocumentScope* scope = scopeCovering(document, probe.line, column);
            std::string actual = scope ? narrow(scope->getName()) : "<none>";
            if (actual != probe.scope)
                failures << "line " << probe.line << " `" << narrow(probe.at) << "` (column " << column
                         << "): " << probe.scope << " expected, " << actual << " found; runs "
                         << describeRuns(document, probe.line) << "\n";
        }
        document.unlockEdit();
        if (!parsed)
            failures << "a line did not parse\n";
        if (!failures.str().empty())
            return ::testing::AssertionFailure() << narrow(snippet.text) << "\n" << failures.str();
        return ::testing::AssertionSuccess();
    }

    void checkAll(const wchar_t* grammar, const std::vector<Snippet>& snippets) {
        for (const Snippet& snippet : snippets)
            EXPECT_TRUE(scopesAre(grammar, snippet));
    }
};

} // namespace

TEST_F(ShippedGrammarsTest, C) {
    const std::vector<Snippet> snippets = {
        // Directives; a macro's body continues over an escaped line break and ends with it.
        {L"#include <stdio.h>\n"
         L"#  include \"local.h\" // note\n"
         L"#define MAX(a, b) \\\n"
         L"    ((a) > (b) ? (a) : (b))\n"
         L"int x;",
         {{0, L"#", "punctuation.definition.directive.c"},
          {0, L"include", "keyword.control.directive.include.c"},
          {0, L"stdio", "string.quoted.other.lt_gt.include.c"},
          {1, L"local", "string.quoted.double.include.c"},
          {1, L"note", "comment.line.double_slash.c"},
          {2, L"define", "keyword.control.directive.define.c"},
          {2, L"MAX", "entity.name.function.preprocessor.c"},
          {2, L"b)", "variable.parameter.preprocessor.c"},
          {2, L"\\", "constant.character.escape.line_continuation.c"},
          {3, L"(a)", "punctuation.section.parens.c"},
          {3, L"(|a)", "meta.preprocessor.macro.c"},
          {3, L"?", "keyword.operator.ternary.c"},
          {4, L"int", "storage.type.built_in.c"},
          {4, L"x", "source.c"}}},
        // Conditionals; `#if 0` hides code up to its own `#else`, nested conditionals included.
        {L"#if defined(WIN32) && __has_include(<windows.h>)\n"
         L"#if 0\n"
         L"int hidden(void);\n"
         L"#  ifdef X\n"
         L"#  endif\n"
         L"#else\n"
         L"int shown;\n"
         L"#endif /* WIN32 */",
         {{0, L"defined", "keyword.control.directive.defined.c"},
          {0, L"WIN32", "meta.preprocessor.conditional.c"},
          {0, L"&&", "keyword.operator.logical.c"},
          {0, L"windows", "string.quoted.other.lt_gt.include.c"},
          {1, L"0", "constant.numeric.decimal.c"},
          {2, L"hidden", "comment.block.preprocessor.if_branch.c"},
          {3, L"ifdef", "comment.block.preprocessor.nested.c"},
          {4, L"endif", "comment.block.preprocessor.nested.c"},
          {5, L"else", "keyword.control.directive.conditional.c"},
          {6, L"int", "storage.type.built_in.c"},
          {7, L"endif", "keyword.control.directive.conditional.c"},
          {7, L"WIN32", "comment.block.c"}}},
        {L"#pragma once\n#error \"no\" stop\n#line 12 \"x.c\"\n#undef MAX\n#warning unfinished",
         {{0, L"pragma", "keyword.control.directive.pragma.c"},
          {0, L"once", "entity.other.attribute_name.pragma.c"},
          {1, L"error", "keyword.control.directive.diagnostic.c"},
          {1, L"no", "string.quoted.double.c"},
          {1, L"stop", "string.unquoted.single.c"},
          {2, L"12", "constant.numeric.integer.decimal.c"},
          {3, L"MAX", "entity.name.function.preprocessor.c"},
          {4, L"unfinished", "string.unquoted.single.c"}}},
        // Comments: documentation blocks with their commands, a line comment continued.
        {L"/** Adds two numbers.\n"
         L" * @param a the first\n"
         L" * @return the sum */\n"
         L"// line comment \\\n"
         L"   continued\n"
         L"int y; /* tail */",
         {{0, L"Adds", "comment.block.documentation.c"},
          {1, L"@param", "storage.type.class.doc.c"},
          {1, L"a the", "variable.parameter.doc.c"},
          {1, L"first", "comment.block.documentation.c"},
          {2, L"@return", "storage.type.class.doc.c"},
          {3, L"line", "comment.line.double_slash.c"},
          {4, L"continued", "comment.line.double_slash.c"},
          {5, L"int", "storage.type.built_in.c"},
          {5, L"tail", "comment.block.c"}}},
        // Literals with their prefixes, escapes, placeholders, separators and suffixes.
        {L"char *s = u8\"tab\\t%5.2f\\q\", c = L'\\x41';\n"
         L"long n = 0x1Fu + 0b1010 + 017 + 1'000'000ULL + 42;\n"
         L"double d = 1.5e-3f + .5 + 0x1.8p3 + 10.;\n"
         L"const char *m = \"first \\\n"
         L"second\";\n"
         L"int after;",
         {{0, L"u8", "storage.type.string.prefix.c"},
          {0, L"tab", "string.quoted.double.c"},
          {0, L"\\t", "constant.character.escape.c"},
          {0, L"%5", "constant.character.format.placeholder.c"},
          {0, L"\\q", "invalid.illegal.unknown_escape.c"},
          {0, L"L'", "storage.type.string.prefix.c"},
          {0, L"\\x41", "constant.character.escape.c"},
          {0, L"=", "keyword.operator.assignment.c"},
          {1, L"0x1F", "constant.numeric.integer.hexadecimal.c"},
          {1, L"1F|u", "keyword.other.unit.suffix.integer.c"},
          {1, L"0b1010", "constant.numeric.integer.binary.c"},
          {1, L"017", "constant.numeric.integer.octal.c"},
          {1, L"1'0|00'", "constant.numeric.integer.decimal.c"},
          {1, L"ULL", "keyword.other.unit.suffix.integer.c"},
          {1, L"42", "constant.numeric.integer.decimal.c"},
          {2, L"1.5e", "constant.numeric.float.decimal.c"},
          {2, L"3f", "constant.numeric.float.decimal.c"},
          {2, L"3|f", "keyword.other.unit.suffix.floating_point.c"},
          {2, L".5", "constant.numeric.float.decimal.c"},
          {2, L"0x1.8p3", "constant.numeric.float.hexadecimal.c"},
          {2, L"10.", "constant.numeric.float.decimal.c"},
          {4, L"second", "string.quoted.double.c"},
          {5, L"int", "storage.type.built_in.c"}}},
        // A function definition over its parameters and body; calls, labels and members.
        {L"static inline int add(const int a, my_t *b, ...) {\n"
         L"    int total = a + b->count;\n"
         L"    if (total > MAX) return printf(\"%d\", total);\n"
         L"  out:\n"
         L"    return helper(total,\n"
         L"                  sizeof(int));\n"
         L"}\n"
         L"void next(void);",
         {{0, L"static", "storage.modifier.c"},
          {0, L"inline", "storage.modifier.c"},
          {0, L"add", "entity.name.function.c"},
          {0, L"(", "punctuation.section.parameters.begin.c"},
          {0, L"const", "storage.modifier.c"},
          {0, L"a,", "variable.parameter.c"},
          {0, L"my_t", "entity.name.type.c"},
          {0, L"b,", "variable.parameter.c"},
          {0, L"...", "keyword.operator.variadic.c"},
          {0, L"{", "punctuation.section.block.begin.c"},
          {1, L"total", "meta.block.c"},
          {1, L"->", "punctuation.separator.member_access.c"},
          {1, L"count", "variable.other.member.c"},
          {2, L"if", "keyword.control.conditional.c"},
          {2, L">", "keyword.operator.comparison.c"},
          {2, L"return", "keyword.control.flow.c"},
          {2, L"printf", "support.function.c"},
          {2, L"%d", "constant.character.format.placeholder.c"},
          {3, L"out", "entity.name.label.c"},
          {4, L"helper", "entity.name.function.c"},
          {5, L"sizeof", "keyword.operator.sizeof.c"},
          {5, L"int", "storage.type.built_in.c"},
          {5, L"))", "punctuation.section.parens.end.c"},
          {5, L")|)", "punctuation.section.arguments.end.c"},
          {6, L"}", "punctuation.section.block.end.c"},
          {7, L"next", "entity.name.function.c"}}},
        // Structure bodies with bit-fields, pointers to functions, inline assembly and
        // generic selections.
        {L"struct __attribute__((aligned(8))) packet {\n"
         L"    unsigned kind : 4, flags : 4;\n"
         L"    void (*handler)(int code);\n"
         L"};\n"
         L"struct packet p;\n"
         L"void (*on_exit)(void) = NULL;\n"
         L"int f(void) {\n"
         L"    __asm__ volatile (\"mov %0, %1\" : \"=r\"(x) : \"r\"(y) : \"memory\");\n"
         L"    return _Generic(x, int: 1, default: 0) + (*cmp)(a, b);\n"
         L"}",
         {{0, L"struct", "storage.type.struct.c"},
          {0, L"aligned", "meta.attribute.gnu.c"},
          {0, L"packet", "entity.name.type.struct.c"},
          {1, L"kind |:", "punctuation.separator.bitfield.c"},
          {1, L"4,", "constant.numeric.integer.decimal.c"},
          {2, L"(*", "punctuation.section.parens.begin.c"},
          {2, L"handler", "variable.other.function_pointer.c"},
          {2, L"code", "meta.parens.c"},
          {3, L"}", "punctuation.section.block.end.c"},
          {4, L"packet", "entity.name.type.struct.c"},
          {4, L"p;", "source.c"},
          {5, L"on_exit", "variable.other.function_pointer.c"},
          {5, L"(void)", "punctuation.section.parens.begin.c"},
          {5, L"NULL", "constant.language.c"},
          {7, L"__asm__", "keyword.other.asm.c"},
          {7, L"volatile", "storage.modifier.c"},
          {7, L"mov", "string.quoted.double.c"},
          {7, L"\" |:", "punctuation.separator.asm.c"},
          {8, L"_Generic", "keyword.other.generic.c"},
          {8, L"int:", "storage.type.built_in.c"},
          {8, L"default", "keyword.control.case.c"},
          {8, L"t|:", "punctuation.separator.generic.c"},
          {8, L"(*", "punctuation.section.parens.begin.c"}}},
        // Case labels end at their own colon; the conditional operator keeps its own.
        {L"void f(int c) {\n"
         L"    switch (c) {\n"
         L"    case 'a': case A + 1:\n"
         L"        break;\n"
         L"    default:\n"
         L"        c = c ? 1 : 2;\n"
         L"    }\n"
         L"}",
         {{1, L"switch", "keyword.control.conditional.c"},
          {2, L"case", "keyword.control.case.c"},
          {2, L"'a'", "string.quoted.single.c"},
          {2, L"'|:", "punctuation.separator.case.c"},
          {2, L"+", "keyword.operator.arithmetic.c"},
          {2, L"1|:", "punctuation.separator.case.c"},
          {3, L"break", "keyword.control.flow.c"},
          {4, L"default", "keyword.control.case.c"},
          {4, L"t|:", "punctuation.separator.case.c"},
          {5, L"?", "keyword.operator.ternary.c"},
          {5, L":", "keyword.operator.ternary.c"},
          {7, L"}", "punctuation.section.block.end.c"}}},
        // Types, typedefs and attributes.
        {L"struct point { int x, y; };\n"
         L"typedef struct point point_t;\n"
         L"typedef void (*handler)(int code);\n"
         L"[[nodiscard]] size_t count(void) __attribute__((pure));\n"
         L"enum color { RED = 1, GREEN };\n"
         L"_Atomic unsigned long long z = NULL;",
         {{0, L"struct", "storage.type.struct.c"},
          {0, L"point", "entity.name.type.struct.c"},
          {0, L"x,", "meta.body.struct.c"},
          {1, L"point_t", "entity.name.type.typedef.c"},
          {2, L"handler", "entity.name.type.typedef.c"},
          {2, L"code", "variable.parameter.c"},
          {3, L"nodiscard", "entity.other.attribute_name.c"},
          {3, L"size_t", "support.type.stddef.c"},
          {3, L"count", "entity.name.function.c"},
          {3, L"__attribute__", "storage.modifier.attribute.c"},
          {3, L"pure", "entity.other.attribute_name.c"},
          {4, L"enum", "storage.type.enum.c"},
          {4, L"color", "entity.name.type.enum.c"},
          {4, L"RED", "variable.other.enummember.c"},
          {4, L"GREEN", "variable.other.enummember.c"},
          {4, L"1", "constant.numeric.integer.decimal.c"},
          {5, L"_Atomic", "storage.modifier.c"},
          {5, L"long long", "storage.type.built_in.c"},
          {5, L"NULL", "constant.language.c"}}},
    };
    checkAll(L"source.c", snippets);
}

TEST_F(ShippedGrammarsTest, Cpp) {
    const std::vector<Snippet> snippets = {
        // Namespaces, templates, classes with their bases and members.
        {L"namespace app::detail {\n"
         L"template <typename T, int N = 4>\n"
         L"class Buffer final : public Base<T>, private Other {\n"
         L"public:\n"
         L"    explicit Buffer(const T& value) : data_(value), size_{N} {}\n"
         L"    ~Buffer() override;\n"
         L"    T* get() const noexcept { return &data_; }\n"
         L"    bool operator==(const Buffer& other) const = default;\n"
         L"private:\n"
         L"    T data_;\n"
         L"};\n"
         L"}",
         {{0, L"namespace", "storage.type.namespace.cpp"},
          {0, L"app", "entity.name.namespace.cpp"},
          {1, L"template", "storage.type.template.cpp"},
          {1, L"typename", "storage.type.template.cpp"},
          {1, L"T,", "entity.name.type.template.cpp"},
          {1, L"N", "variable.parameter.template.cpp"},
          {1, L"4", "constant.numeric.integer.decimal.cpp"},
          {2, L"class", "storage.type.class.cpp"},
          {2, L"Buffer", "entity.name.type.class.cpp"},
          {2, L"final", "storage.modifier.cpp"},
          {2, L"public", "storage.modifier.access.cpp"},
          {2, L"Base", "entity.name.type.cpp"},
          {2, L"Other", "entity.other.inherited_class.cpp"},
          {3, L"public", "storage.modifier.access.cpp"},
          {4, L"explicit", "storage.modifier.cpp"},
          {4, L"Buffer", "entity.name.function.cpp"},
          {4, L"T&", "entity.name.type.cpp"},
          {4, L"value)", "variable.parameter.cpp"},
          {4, L"data_", "variable.other.member.cpp"},
          {4, L"size_", "variable.other.member.cpp"},
          {4, L"} |{}", "punctuation.section.block.begin.cpp"},
          {5, L"~Buffer", "entity.name.function.cpp"},
          {5, L"override", "storage.modifier.cpp"},
          {6, L"get", "entity.name.function.cpp"},
          {6, L"noexcept", "storage.modifier.cpp"},
          {6, L"return", "keyword.control.flow.cpp"},
          {7, L"operator", "keyword.other.operator.cpp"},
          {7, L"==", "entity.name.function.operator.cpp"},
          {7, L"default", "keyword.control.case.cpp"},
          {8, L"private", "storage.modifier.access.cpp"},
          {9, L"T", "entity.name.type.cpp"},
          {10, L"}", "punctuation.section.block.end.cpp"},
          {11, L"}", "punctuation.section.block.end.cpp"}}},
        // An export macro before the class name; a class name used as a type.
        {L"class CORVEL_EXPORT Widget : public Base {\n"
         L"public:\n"
         L"    void paint();\n"
         L"};\n"
         L"struct stat info;",
         {{0, L"CORVEL_EXPORT", "storage.modifier.export.cpp"},
          {0, L"Widget", "entity.name.type.class.cpp"},
          {0, L"Base", "entity.other.inherited_class.cpp"},
          {1, L"public", "storage.modifier.access.cpp"},
          {2, L"paint", "entity.name.function.cpp"},
          {4, L"stat", "entity.name.type.class.cpp"},
          {4, L"info", "source.cpp"}}},
        // Raw strings over lines, lambdas, template arguments, casts and literals.
        {L"auto text = R\"sql(SELECT \"x\" FROM t\n"
         L"WHERE a = ')';)sql\"_q;\n"
         L"auto f = [this, &count](int x) mutable -> int { return x + count++; };\n"
         L"auto v = std::vector<std::pair<int, int>>{};\n"
         L"auto n = static_cast<std::size_t>(10'000ull) + 1.5e3f + 0b1010 + 42ms + u8'c';",
         {{0, L"R\"", "string.quoted.double.raw.cpp"},
          {0, L"sql", "constant.other.raw_delimiter.cpp"},
          {0, L"SELECT", "string.quoted.double.raw.cpp"},
          {0, L"x\"", "string.quoted.double.raw.cpp"},
          {1, L"WHERE", "string.quoted.double.raw.cpp"},
          {1, L"')'", "string.quoted.double.raw.cpp"},
          {1, L"_q", "keyword.other.unit.suffix.string.cpp"},
          {1, L"q|;", "punctuation.terminator.statement.cpp"},
          {2, L"[", "punctuation.definition.capture.begin.lambda.cpp"},
          {2, L"this", "variable.parameter.capture.cpp"},
          {2, L"int x", "storage.type.built_in.cpp"},
          {2, L"x)", "variable.parameter.cpp"},
          {2, L"mutable", "storage.modifier.cpp"},
          {2, L"return", "keyword.control.flow.cpp"},
          {2, L"++", "keyword.operator.increment.cpp"},
          {2, L"count++", "meta.body.lambda.cpp"},
          {2, L"}", "punctuation.section.block.end.cpp"},
          {3, L"std", "entity.name.scope_resolution.cpp"},
          {3, L"::", "punctuation.separator.scope_resolution.cpp"},
          {3, L"vector", "entity.name.type.cpp"},
          {3, L"pair", "entity.name.type.cpp"},
          {3, L"int>", "storage.type.built_in.cpp"},
          {4, L"static_cast", "keyword.operator.cast.cpp"},
          {4, L"size_t", "support.type.stddef.cpp"},
          {4, L"10'000", "constant.numeric.integer.decimal.cpp"},
          {4, L"ull", "keyword.other.unit.suffix.integer.cpp"},
          {4, L"1.5e3", "constant.numeric.float.decimal.cpp"},
          {4, L"0b1010", "constant.numeric.integer.binary.cpp"},
          {4, L"ms", "keyword.other.unit.suffix.integer.cpp"},
          {4, L"u8", "storage.type.string.prefix.cpp"},
          {4, L"c'", "string.quoted.single.cpp"}}},
        // Directives and comments as in C.
        {L"#include <vector>\n#if 0\nint dead;\n#endif\n/// Documented.\nint live;",
         {{0, L"include", "keyword.control.directive.include.cpp"},
          {0, L"vector", "string.quoted.other.lt_gt.include.cpp"},
          {2, L"dead", "comment.block.preprocessor.if_branch.cpp"},
          {3, L"endif", "keyword.control.directive.conditional.cpp"},
          {4, L"Documented", "comment.line.double_slash.documentation.cpp"},
          {5, L"int", "storage.type.built_in.cpp"}}},
        // Statements, enums, aliases and a C linkage block.
        {L"int main() {\n"
         L"    for (const auto& [key, value] : table) {\n"
         L"        if (key == nullptr) throw std::runtime_error(\"bad\");\n"
         L"    }\n"
         L"    co_return;\n"
         L"}\n"
         L"enum class Color : std::uint8_t { Red = 1, Green };\n"
         L"using Map = std::map<int, Color>;\n"
         L"using namespace std::chrono;\n"
         L"extern \"C\" {\n"
         L"void exported(int code);\n"
         L"}",
         {{1, L"for", "keyword.control.loop.cpp"},
          {1, L"auto", "storage.type.built_in.cpp"},
          {1, L"key,", "meta.brackets.cpp"},
          {1, L"table", "meta.parens.cpp"},
          {2, L"nullptr", "constant.language.cpp"},
          {2, L"throw", "keyword.control.exception.cpp"},
          {2, L"runtime_error", "entity.name.function.cpp"},
          {4, L"co_return", "keyword.control.coroutine.cpp"},
          {6, L"enum", "storage.type.enum.cpp"},
          {6, L"class", "storage.type.enum.cpp"},
          {6, L"Color", "entity.name.type.enum.cpp"},
          {6, L"uint8_t", "support.type.stdint.cpp"},
          {6, L"Red", "variable.other.enummember.cpp"},
          {6, L"1", "constant.numeric.integer.decimal.cpp"},
          {7, L"using", "keyword.other.using.cpp"},
          {7, L"Map", "entity.name.type.alias.cpp"},
          {7, L"map", "entity.name.type.cpp"},
          {8, L"namespace", "storage.type.namespace.cpp"},
          {8, L"chrono", "entity.name.namespace.cpp"},
          {9, L"extern", "storage.modifier.cpp"},
          {9, L"\"C\"", "string.quoted.double.cpp"},
          {10, L"exported", "entity.name.function.cpp"},
          {10, L"code", "variable.parameter.cpp"}}},
    };
    checkAll(L"source.cpp", snippets);
}

TEST_F(ShippedGrammarsTest, Python) {
    const std::vector<Snippet> snippets = {
        // Decorators, definitions with type hints, docstrings over lines.
        {L"@app.route(\"/items\", methods=[\"GET\"])\n"
         L"async def handler(self, item_id: int, *args, limit: Optional[int] = None, **kw) -> dict[str, Any]:\n"
         L"    \"\"\"Fetch an item.\n"
         L"\n"
         L"    Returns a dict.\"\"\"\n"
         L"    return {\"id\": item_id}",
         {{0, L"@", "punctuation.definition.decorator.python"},
          {0, L"app", "entity.name.function.decorator.python"},
          {0, L"route", "entity.name.function.decorator.python"},
          {0, L"/items", "string.quoted.double.python"},
          {0, L"methods", "variable.parameter.function_call.python"},
          {1, L"async", "storage.modifier.async.python"},
          {1, L"def", "storage.type.function.python"},
          {1, L"handler", "entity.name.function.python"},
          {1, L"self", "variable.parameter.function.language.special.self.python"},
          {1, L"item_id", "variable.parameter.function.python"},
          {1, L"int,", "support.type.python"},
          {1, L"*args", "keyword.operator.unpacking.parameter.python"},
          {1, L"args", "variable.parameter.function.python"},
          {1, L"Optional", "entity.name.type.python"},
          {1, L"None", "constant.language.python"},
          {1, L"**", "keyword.operator.unpacking.parameter.python"},
          {1, L"->", "punctuation.separator.annotation.result.python"},
          {1, L"dict[", "support.type.python"},
          {1, L"Any", "entity.name.type.python"},
          {1, L"]|:", "punctuation.section.function.begin.python"},
          {2, L"Fetch", "string.quoted.double.block.python"},
          {4, L"Returns", "string.quoted.double.block.python"},
          {5, L"return", "keyword.control.flow.python"},
          {5, L"\"id", "string.quoted.double.python"},
          {5, L"item_id", "meta.dictionary.python"}}},
        // f-strings with conversions, nested specifications and escaped braces; raw, byte
        // and formatted strings; a triple-quoted string over lines; an unterminated one.
        {L"name = f\"Hello {user.name!r:>{width}} {{literal}} {count + 1:05d}\"\n"
         L"path = rf\"C:\\new\\{folder}\"\n"
         L"raw = r'\\d+\\'' + b\"\\x00\\n\" + '%s and %(key)d' % args + \"{0} {name}\".format(1)\n"
         L"text = '''multi\n"
         L"line ''' + \"unterminated\n"
         L"x = 1",
         {{0, L"f\"", "storage.type.string.python"},
          {0, L"Hello", "string.interpolated.double.python"},
          {0, L"{user", "punctuation.section.interpolation.begin.python"},
          {0, L"user", "meta.interpolation.python"},
          {0, L"!r", "storage.type.format.conversion.python"},
          {0, L">", "constant.character.format.spec.python"},
          {0, L"width", "meta.interpolation.python"},
          {0, L"{{", "constant.character.escape.brace.python"},
          {0, L"literal", "string.interpolated.double.python"},
          {0, L"+ 1", "keyword.operator.arithmetic.python"},
          {0, L"05d", "constant.character.format.spec.python"},
          {1, L"rf", "storage.type.string.python"},
          {1, L"new", "string.interpolated.double.raw.python"},
          {1, L"folder", "meta.interpolation.python"},
          {2, L"\\d", "string.quoted.single.raw.python"},
          {2, L"\\'", "constant.character.escape.raw.python"},
          {2, L"\\x00", "constant.character.escape.python"},
          {2, L"%s", "constant.character.format.placeholder.python"},
          {2, L"%(key)d", "constant.character.format.placeholder.python"},
          {2, L"{0}", "constant.character.format.placeholder.python"},
          {2, L"format", "entity.name.function.call.python"},
          {3, L"multi", "string.quoted.single.block.python"},
          {4, L"line", "string.quoted.single.block.python"},
          {4, L"unterminated", "string.quoted.double.python"},
          {5, L"x", "source.python"},
          {5, L"1", "constant.numeric.dec.python"}}},
        // Classes, annotations, numbers, soft keywords and lambdas.
        {L"class Node(Base, metaclass=ABCMeta):\n"
         L"    count: int = 0\n"
         L"    def __init__(self) -> None:\n"
         L"        super().__init__()\n"
         L"        self.items = [0x_FF, 0o17, 0b1010, 1_000.5e-3, 3j, .5]\n"
         L"match command.split():\n"
         L"    case [action, *rest] if action in (\"go\", \"run\"):\n"
         L"        pass\n"
         L"    case _:\n"
         L"        lambda x, y=2: x @ y\n"
         L"type Pair[T] = tuple[T, T]",
         {{0, L"class", "storage.type.class.python"},
          {0, L"Node", "entity.name.type.class.python"},
          {0, L"Base", "entity.other.inherited_class.python"},
          {0, L"metaclass", "variable.parameter.function_call.python"},
          {0, L"ABCMeta", "entity.other.inherited_class.python"},
          {1, L"count", "meta.annotation.variable.python"},
          {1, L"int", "support.type.python"},
          {1, L"=", "keyword.operator.assignment.python"},
          {1, L"0", "constant.numeric.dec.python"},
          {2, L"__init__", "entity.name.function.python"},
          {2, L"None", "constant.language.python"},
          {3, L"super", "support.function.builtin.python"},
          {3, L"__init__", "entity.name.function.call.python"},
          {4, L"self", "variable.language.special.self.python"},
          {4, L"0x_FF", "constant.numeric.hex.python"},
          {4, L"0o17", "constant.numeric.oct.python"},
          {4, L"0b1010", "constant.numeric.bin.python"},
          {4, L"1_000.5e-3", "constant.numeric.float.python"},
          {4, L"3|j", "storage.type.imaginary.number.python"},
          {4, L".5", "constant.numeric.float.python"},
          {5, L"match", "keyword.control.flow.python"},
          {5, L"split", "entity.name.function.call.python"},
          {6, L"case", "keyword.control.flow.python"},
          {6, L"if", "keyword.control.flow.python"},
          {6, L"in", "keyword.operator.logical.python"},
          {7, L"pass", "keyword.control.flow.python"},
          {8, L"case", "keyword.control.flow.python"},
          {9, L"lambda", "storage.type.function.lambda.python"},
          {9, L"x,", "variable.parameter.function.python"},
          {9, L"2", "constant.numeric.dec.python"},
          {9, L"2|:", "punctuation.section.function.lambda.begin.python"},
          {9, L"@", "keyword.operator.arithmetic.python"},
          {10, L"type", "storage.type.type_alias.python"},
          {10, L"Pair", "entity.name.type.alias.python"},
          {10, L"tuple", "support.type.python"}}},
        // A type comment is one only right after its number sign.
        {L"x = []  # type: list[int]\ny = 1  # the type: none",
         {{0, L"type", "comment.line.type_hint.keyword.python"},
          {0, L"list", "comment.line.number_sign.python"},
          {1, L"type", "comment.line.number_sign.python"}}},
        // A statement joined by a backslash; operators that are words.
        {L"total = 1 + \\\n    2  # sum\nif x is not None and y:\n    print(\"ok\")",
         {{0, L"\\", "punctuation.separator.continuation.line.python"},
          {1, L"sum", "comment.line.number_sign.python"},
          {2, L"is", "keyword.operator.logical.python"},
          {2, L"not", "keyword.operator.logical.python"},
          {3, L"print", "support.function.builtin.python"}}},
    };
    checkAll(L"source.python", snippets);
}
