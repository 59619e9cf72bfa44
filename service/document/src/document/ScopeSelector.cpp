#include "corvel/document/ScopeSelector.h"

#include "zem/base/Crc.h"
#include "zem/base/ParserException.h"
#include "zem/text/LineMap.h"

namespace corvel {

namespace {

// Codes that live on the operator stack only: "," is written out as UNION.
const uint32_t COMMA = 17;
const uint32_t OPEN = 3;

bool isBlank(wchar_t c) {
    return c <= 0x20;
}

bool isOperatorChar(wchar_t c) {
    return c == L'&' || c == L'|' || c == L',' || c == L'-';
}

// Ends an atom and an operand.
bool isSpecial(wchar_t c) {
    return isOperatorChar(c) || c == L'(' || c == L')';
}

uint32_t operatorCode(wchar_t c) {
    switch (c) {
    case L',':
        return COMMA;
    case L'&':
        return ScopeSelector::INTERSECTION;
    case L'|':
        return ScopeSelector::UNION;
    default:
        return ScopeSelector::EXCLUSION;
    }
}

// One shunting-yard pass over the text into a postfix program.
class Compiler {
public:
    Compiler(const wchar_t* text, size_t length, std::vector<uint32_t>& out)
        : m_text(text), m_length(text ? length : 0), m_out(out) {}

    void run() {
        m_out.assign(1, 0);
        enum { OPERAND, AFTER_OPERATOR, AFTER_OPERAND } state = OPERAND;
        for (;;) {
            skipBlanks();
            if (m_pos == m_length) {
                if (state == AFTER_OPERATOR || m_depth > 0)
                    failUnexpected();
                break;
            }
            wchar_t c = m_text[m_pos];
            if (c == L'(' && state != AFTER_OPERAND) {
                open();
                state = OPERAND;
            } else if (c == L')' && state != AFTER_OPERATOR && m_depth > 0) {
                close();
                state = AFTER_OPERAND;
            } else if (!isSpecial(c) && state != AFTER_OPERAND) {
                readOperand();
                state = AFTER_OPERAND;
            } else if (isOperatorChar(c) && state == AFTER_OPERAND) {
                pushOperator(operatorCode(c));
                state = AFTER_OPERATOR;
            } else {
                failUnexpected();
            }
        }
        while (!m_stack.empty()) {
            if (m_stack.back() == OPEN)
                fail(true);
            emitOperator(m_stack.back());
            m_stack.pop_back();
        }
        m_out[0] = m_count;
    }

private:
    void skipBlanks() {
        while (m_pos < m_length && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    void open() {
        m_stack.push_back(OPEN);
        ++m_depth;
        ++m_pos;
    }

    void close() {
        while (!m_stack.empty() && m_stack.back() != OPEN) {
            emitOperator(m_stack.back());
            m_stack.pop_back();
        }
        if (m_stack.empty())
            fail(true);
        m_stack.pop_back();
        --m_depth;
        ++m_pos;
    }

    void pushOperator(uint32_t code) {
        ++m_count;
        // OPEN has the lowest code, so the loop also stops at a parenthesis.
        while (!m_stack.empty() && m_stack.back() > code) {
            emitOperator(m_stack.back());
            m_stack.pop_back();
        }
        m_stack.push_back(code);
        ++m_pos;
    }

    // An empty "()" leaves no operand behind: an operator applied to it would run short,
    // so it is refused here rather than evaluated with a missing operand.
    void emitOperator(uint32_t code) {
        if (m_operands < 2)
            failUnexpected();
        --m_operands;
        m_out.push_back(code == COMMA ? ScopeSelector::UNION : code);
    }

    void readOperand() {
        ++m_count;
        ++m_operands;
        size_t head = m_out.size();
        m_out.push_back(ScopeSelector::PATH);
        m_out.push_back(0); // total components
        m_out.push_back(0); // atoms
        for (;;) {
            skipBlanks();
            if (m_pos == m_length || isSpecial(m_text[m_pos]))
                break;
            readAtom(head);
        }
    }

    void readAtom(size_t head) {
        size_t start = m_pos;
        uint32_t components = 1;
        for (; m_pos < m_length && !isBlank(m_text[m_pos]) && !isSpecial(m_text[m_pos]); ++m_pos) {
            if (m_text[m_pos] != L'.')
                continue;
            if (m_pos == start || m_text[m_pos - 1] == L'.')
                failUnexpected();
            ++components;
        }
        m_out.push_back(zem::crc32Chars(m_pos - start, m_text + start));
        m_out.push_back(components);
        m_out[head + 1] += components;
        m_out[head + 2] += 1;
    }

    [[noreturn]] void failUnexpected() { fail(false); }

    [[noreturn]] void fail(bool unbalanced) {
        zem::LineMap lines(m_text, m_length);
        zem::LinePosition at = lines.getPosition(static_cast<uint32_t>(m_pos));
        zem::SourcePosition where;
        where.line = static_cast<int32_t>(at.line);
        where.column = static_cast<int32_t>(at.column);
        where.offset = static_cast<int32_t>(at.offset);
        if (unbalanced)
            throw zem::UnbalancedParenthesisException(where, where);
        throw zem::UnexpectedTokenException(L"", L"", where, where);
    }

    const wchar_t* m_text;
    size_t m_length;
    std::vector<uint32_t>& m_out;
    size_t m_pos = 0;
    int m_depth = 0;               // open parentheses
    uint32_t m_count = 0;          // operands and operators read
    int m_operands = 0;            // values the emitted program leaves on an evaluation stack
    std::vector<uint32_t> m_stack; // pending operators and OPEN
};

} // namespace

ScopeSelector::ScopeSelector() : m_program(1, 0) {}

ScopeSelector::ScopeSelector(const wchar_t* text, size_t length) : m_program(1, 0) {
    compile(text, length);
}

ScopeSelector::~ScopeSelector() = default;

std::unique_ptr<ScopeSelector> ScopeSelector::create(const wchar_t* text, size_t length) {
    return std::make_unique<ScopeSelector>(text, length);
}

void ScopeSelector::compile(const wchar_t* text, size_t length) {
    m_program.assign(1, 0);
    std::vector<uint32_t> program;
    Compiler(text, length, program).run();
    m_program.swap(program);
}

} // namespace corvel
