#include "corvel/document/FormatProgram.h"

#include "zem/base/ParserException.h"

#include <windows.h>

namespace corvel {

namespace {

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Group numbers past any engine's limit saturate instead of wrapping.
int32_t readNumber(const std::wstring& text, size_t& at) {
    int32_t value = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (value < 100000000)
            value = value * 10 + (text[at] - L'0');
        ++at;
    }
    return value;
}

zem::SourcePosition positionAt(size_t offset) {
    zem::SourcePosition position;
    position.line = 1;
    position.column = static_cast<int32_t>(offset) + 1;
    position.offset = static_cast<int32_t>(offset);
    return position;
}

void changeCase(std::wstring& text, size_t count, bool upper) {
    if (count == 0)
        return;
    if (upper)
        CharUpperBuffW(&text[0], static_cast<DWORD>(count));
    else
        CharLowerBuffW(&text[0], static_cast<DWORD>(count));
}

} // namespace

FormatProgram::FormatProgram(const std::wstring& text) : m_text(text) {
    parse(m_elements, 0);
}

FormatProgram::~FormatProgram() = default;

FormatProgram::Kind FormatProgram::parse(ElementList& list, wchar_t stop) {
    while (m_read < m_text.size()) {
        bool stopped = false;
        std::unique_ptr<Element> element = readElement(stop, stopped);
        Kind kind = element->kind;
        Element* last = list.empty() ? nullptr : list.back().get();
        if (kind == LITERAL && last && last->kind == LITERAL && last->end == element->begin)
            last->end = element->end;
        else
            list.push_back(std::move(element));
        if (stopped)
            return kind;
    }
    return LITERAL;
}

// After "(": "?", digits and ":" make a conditional head, all consumed; anything else
// leaves the read position where it was.
bool FormatProgram::readConditionalHead(int32_t& group) {
    size_t at = m_read;
    if (at >= m_text.size() || m_text[at] != L'?')
        return false;
    ++at;
    if (at >= m_text.size() || !isDigit(m_text[at]))
        return false;
    int32_t number = readNumber(m_text, at);
    if (at >= m_text.size() || m_text[at] != L':')
        return false;
    m_read = at + 1;
    group = number;
    return true;
}

std::unique_ptr<FormatProgram::Element> FormatProgram::readElement(wchar_t stop, bool& stopped) {
    size_t begin = m_read;
    wchar_t c = m_text[m_read++];
    std::unique_ptr<Element> element(new Element(begin, LITERAL));
    if (c == L'$' && m_read < m_text.size() && isDigit(m_text[m_read])) {
        element->kind = GROUP;
        element->group = readNumber(m_text, m_read);
    } else if (c == L'(' && readConditionalHead(element->group)) {
        if (m_depth >= MAX_NESTING)
            throw zem::ParserException(L"The format is nested too deeply.", positionAt(begin), positionAt(m_read));
        element->kind = CONDITIONAL;
        ++m_depth;
        std::unique_ptr<Element> thenBranch(new Element(m_read, THEN_BRANCH));
        Kind ended = parse(thenBranch->children, L')');
        thenBranch->end = m_read;
        element->children.push_back(std::move(thenBranch));
        if (ended == SEPARATOR) {
            std::unique_ptr<Element> elseBranch(new Element(m_read, ELSE_BRANCH));
            parse(elseBranch->children, L')');
            elseBranch->end = m_read;
            element->children.push_back(std::move(elseBranch));
        }
        --m_depth;
    } else if (c == L':' && m_depth > 0) {
        element->kind = SEPARATOR;
        stopped = true;
    } else if (c == L'\\') {
        element->kind = ESCAPED;
        if (m_read < m_text.size()) {
            static const wchar_t letters[] = L"ntulULE";
            static const Kind kinds[] = {NEWLINE, TAB, UPPER_NEXT, LOWER_NEXT, UPPER_ALL, LOWER_ALL, END_CASE};
            wchar_t next = m_text[m_read++];
            for (int i = 0; i < 7; ++i) {
                if (next == letters[i])
                    element->kind = kinds[i];
            }
        }
    } else if (stop != 0 && c == stop) {
        element->kind = CONDITIONAL_END;
        stopped = true;
    }
    element->end = m_read;
    return element;
}

void FormatProgram::execute(const GroupCallback& callback, std::wstring& out, int32_t caseMode) const {
    execute(m_elements, callback, out, caseMode);
}

void FormatProgram::execute(const ElementList& list, const GroupCallback& callback, std::wstring& out,
                            int32_t& caseMode) const {
    for (const std::unique_ptr<Element>& element : list) {
        switch (element->kind) {
        case LITERAL:
            appendCased(m_text.substr(element->begin, element->end - element->begin), out, caseMode);
            break;
        case ESCAPED:
            if (element->end > element->begin + 1)
                appendCased(m_text.substr(element->begin + 1, element->end - element->begin - 1), out, caseMode);
            break;
        case GROUP: {
            std::wstring text;
            if (callback && callback(element->group, &text))
                appendCased(text, out, caseMode);
            break;
        }
        case CONDITIONAL: {
            bool matched = callback && callback(element->group, nullptr);
            const std::vector<std::unique_ptr<Element>>& branches = element->children;
            if (matched && !branches.empty())
                execute(branches[0]->children, callback, out, caseMode);
            else if (!matched && branches.size() > 1)
                execute(branches[1]->children, callback, out, caseMode);
            break;
        }
        case NEWLINE:
            appendCased(L"\n", out, caseMode);
            break;
        case TAB:
            appendCased(L"\t", out, caseMode);
            break;
        case UPPER_NEXT:
            caseMode = CASE_UPPER_FIRST;
            break;
        case LOWER_NEXT:
            caseMode = CASE_LOWER_FIRST;
            break;
        case UPPER_ALL:
            caseMode = CASE_UPPER;
            break;
        case LOWER_ALL:
            caseMode = CASE_LOWER;
            break;
        case END_CASE:
            caseMode = CASE_NONE;
            break;
        default:
            break;
        }
    }
}

void FormatProgram::appendCased(const std::wstring& text, std::wstring& out, int32_t& caseMode) const {
    if (text.empty())
        return;
    std::wstring cased = text;
    switch (caseMode) {
    case CASE_UPPER:
        changeCase(cased, cased.size(), true);
        break;
    case CASE_LOWER:
        changeCase(cased, cased.size(), false);
        break;
    case CASE_UPPER_FIRST:
    case CASE_LOWER_FIRST:
        changeCase(cased, 1, caseMode == CASE_UPPER_FIRST);
        caseMode = CASE_NONE;
        break;
    default:
        break;
    }
    out += cased;
}

} // namespace corvel
