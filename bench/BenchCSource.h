// C source text made up for the parser benchmarks: files of functions, declarations and
// preprocessor lines in the proportions of a large C library, from a fixed seed, so every
// run parses the same text.
#pragma once
#include "BenchClock.h"

#include <cstdint>
#include <string>

namespace bench {

class CSourceGenerator {
public:
    // About `units` UTF-16 units of C, ending with a whole function.
    std::wstring make(size_t units) {
        m_out.clear();
        m_out.reserve(units + 8192);
        for (unsigned file = 0; m_out.size() < units; ++file) {
            fileHeader(file);
            for (int item = 0; item < 12 && m_out.size() < units; ++item) {
                switch (next(6)) {
                case 0:
                    structure();
                    break;
                case 1:
                    macros();
                    break;
                case 2:
                    table();
                    break;
                default:
                    function();
                    break;
                }
            }
            m_out += L"\n#endif /* " + guard(file) + L" */\n";
        }
        return m_out;
    }

private:
    uint32_t next(uint32_t bound) { return m_random.below(bound); }
    std::wstring name() {
        static const wchar_t* const stems[] = {L"page",  L"cursor", L"btree", L"pager", L"cell",   L"index",
                                               L"frame", L"record", L"value", L"token", L"stmt",   L"schema",
                                               L"table", L"column", L"mem",   L"blob",  L"journal"};
        static const wchar_t* const verbs[] = {L"Get", L"Set", L"Find", L"Move", L"Free", L"Init", L"Read", L"Write"};
        std::wstring out = stems[next(17)];
        if (next(2))
            out += verbs[next(8)];
        if (next(3) == 0)
            out += std::to_wstring(next(100));
        return out;
    }
    std::wstring type() {
        static const wchar_t* const types[] = {L"int",    L"unsigned int", L"char *",  L"const char *",
                                               L"u8",     L"u16",          L"u32",     L"i64",
                                               L"double", L"void *",       L"Pager *", L"BtCursor *",
                                               L"size_t", L"long long",    L"Mem *",   L"unsigned char"};
        return types[next(16)];
    }
    std::wstring number() {
        switch (next(6)) {
        case 0:
            return L"0x" + std::to_wstring(next(0xFFFF)) + L"F";
        case 1:
            return std::to_wstring(next(1000)) + L"." + std::to_wstring(next(100)) + L"e-" + std::to_wstring(next(9));
        case 2:
            return std::to_wstring(next(100000)) + L"UL";
        case 3:
            return L"0" + std::to_wstring(next(777));
        default:
            return std::to_wstring(next(256));
        }
    }
    std::wstring literal() {
        static const wchar_t* const strings[] = {L"\"cannot open %s: %d\\n\"",
                                                 L"\"\\t%-10s %08x\\n\"",
                                                 L"\"database is locked\"",
                                                 L"\"\\x41\\101 quoted \\\"word\\\"\"",
                                                 L"'\\n'",
                                                 L"'\\''",
                                                 L"'x'",
                                                 L"\"\""};
        return strings[next(8)];
    }
    std::wstring expression(int depth = 0) {
        switch (depth > 2 ? next(3) : next(9)) {
        case 0:
            return name();
        case 1:
            return number();
        case 2:
            return literal();
        case 3:
            return name() + L"(" + expression(depth + 1) + L", " + expression(depth + 1) + L")";
        case 4:
            return L"p->" + name() + L"[" + expression(depth + 1) + L"]";
        case 5:
            return L"(" + expression(depth + 1) + L" << " + number() + L") | " + expression(depth + 1);
        case 6:
            return L"sizeof(" + type() + L")";
        case 7:
            return L"(" + type() + L")" + expression(depth + 1);
        default:
            return expression(depth + 1) + L" == " + expression(depth + 1) + L" ? " + name() + L" : " + number();
        }
    }
    std::wstring guard(unsigned file) { return L"FILE_" + std::to_wstring(file) + L"_H"; }

    void fileHeader(unsigned file) {
        m_out += L"/*\n** File " + std::to_wstring(file) +
                 L" of the generated library.\n**\n"
                 L"** Routines that keep the " +
                 name() + L" and the " + name() + L" in step.\n*/\n";
        m_out += L"#ifndef " + guard(file) + L"\n#define " + guard(file) + L"\n";
        m_out += L"#include <stdio.h>\n#include \"file" + std::to_wstring(file) + L".h\"\n\n";
    }
    void structure() {
        m_out += L"/*\n** Each open " + name() + L" is an instance of the following structure.\n*/\n";
        m_out += L"typedef struct " + name() + L" " + name() + L";\nstruct " + name() + L" {\n";
        for (uint32_t n = 3 + next(8); n > 0; --n)
            m_out += L"  " + type() + L" " + name() + (next(4) ? L";" : L"[" + number() + L"];") +
                     (next(3) ? L"\n" : L"   /* " + name() + L" of the " + name() + L" */\n");
        m_out += L"};\n\n";
    }
    void macros() {
        m_out += L"#if defined(" + name() + L") && !defined(NDEBUG)\n";
        m_out += L"# define " + name() + L"(X) ((X)->" + name() + L" & 0x" + std::to_wstring(next(99)) + L")\n";
        m_out += L"#else\n#define " + name() + L"(A,B) \\\n    " + expression() + L"\n#endif\n\n";
    }
    void table() {
        m_out += L"static const " + type() + L" " + name() + L"[] = {\n";
        for (uint32_t n = 2 + next(6); n > 0; --n)
            m_out += L"  " + number() + L", " + number() + L", " + number() + L", " + number() + L",\n";
        m_out += L"};\n\n";
    }
    void statement(int indent, int depth) {
        std::wstring pad(indent, L' ');
        switch (depth > 2 ? 4 + next(6) : next(10)) {
        case 0:
            m_out += pad + L"if( " + expression() + L" ){\n";
            block(indent + 2, depth + 1);
            if (next(2)) {
                m_out += pad + L"}else{\n";
                block(indent + 2, depth + 1);
            }
            m_out += pad + L"}\n";
            break;
        case 1:
            m_out += pad + L"for(i=0; i<" + name() + L"->n" + name() + L"; i++){\n";
            block(indent + 2, depth + 1);
            m_out += pad + L"}\n";
            break;
        case 2:
            m_out += pad + L"switch( " + name() + L" ){\n";
            for (uint32_t n = 1 + next(4); n > 0; --n) {
                m_out += pad + L"  case " + number() + L": {\n";
                block(indent + 4, depth + 1);
                m_out += pad + L"    break;\n" + pad + L"  }\n";
            }
            m_out += pad + L"  default: break;\n" + pad + L"}\n";
            break;
        case 3:
            m_out += pad + L"while( (rc = " + name() + L"(pCur, &" + name() + L"))==STATUS_OK ){\n";
            block(indent + 2, depth + 1);
            m_out += pad + L"}\n";
            break;
        case 4:
            m_out += pad + L"/* " + name() + L" must be held by the caller */\n";
            break;
        case 5:
            m_out += pad + type() + L" " + name() + L" = " + expression() + L";\n";
            break;
        case 6:
            m_out += pad + L"rc = " + name() + L"(" + expression() + L", " + literal() + L");  // " + name() + L"\n";
            break;
        case 7:
            m_out += pad + L"assert( " + name() + L"->" + name() + L"!=0 && " + expression() + L" );\n";
            break;
        default:
            m_out += pad + name() + L" += " + expression() + L";\n";
            break;
        }
    }
    void block(int indent, int depth) {
        for (uint32_t n = 1 + next(4); n > 0; --n)
            statement(indent, depth);
    }
    void function() {
        m_out += L"/*\n** " + name() + L": returns the " + name() + L" of the " + name() + L", or 0 when\n** the " +
                 name() + L" is not open.\n*/\n";
        m_out += (next(2) ? L"static " : L"") + type() + L" " + name() + L"(\n  " + type() + L" " + name() +
                 L",   /* " + name() + L" */\n  int " + name() + L"\n){\n";
        m_out += L"  int rc = STATUS_OK;\n  int i;\n";
        block(2, 0);
        m_out += L"  return rc;\n}\n\n";
    }

    std::wstring m_out;
    Random m_random;
};

} // namespace bench
