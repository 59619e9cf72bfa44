#include "corvel/bundles/SnippetReader.h"

#include "corvel/document/FormatProgram.h"

namespace corvel {

namespace {

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool isIdentifier(wchar_t c) {
    return isDigit(c) || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}

} // namespace

SnippetReader::SnippetReader(const std::wstring& text) : m_text(text) {
    // A NUL ends the content, as it ends the text the entry hands over.
    size_t nul = m_text.find(L'\0');
    if (nul != std::wstring::npos)
        m_text.resize(nul);
}

std::unique_ptr<SnippetModel> SnippetReader::read() {
    m_at = 0;
    m_warnings.clear();
    m_model.reset(new SnippetModel);
    m_stack.assign(1, m_model->root.get());
    readContent(false);
    m_stack.clear();
    return std::move(m_model);
}

zem::SourcePosition SnippetReader::positionAt(size_t offset) const {
    zem::SourcePosition position;
    position.line = 1;
    position.column = 1;
    position.offset = static_cast<int32_t>(offset);
    for (size_t i = 0; i < offset && i < m_text.size(); ++i) {
        wchar_t c = m_text[i];
        if (c == L'\r' && i + 1 < m_text.size() && m_text[i + 1] == L'\n' && i + 1 < offset)
            continue; // the LF of the pair counts the break
        if (c == L'\r' || c == L'\n') {
            ++position.line;
            position.column = 1;
        } else {
            ++position.column;
        }
    }
    return position;
}

void SnippetReader::readContent(bool inPlaceholder) {
    for (;;) {
        if (m_at >= m_text.size()) {
            if (inPlaceholder)
                terminated();
            return;
        }
        wchar_t c = m_text[m_at];
        if (c == L'}' && inPlaceholder) {
            ++m_at;
            return;
        }
        if (c == L'`')
            readCommand();
        else if (c == L'$' && m_at + 1 < m_text.size() && (isIdentifier(m_text[m_at + 1]) || m_text[m_at + 1] == L'{'))
            readDollar();
        else
            readText(inPlaceholder);
    }
}

void SnippetReader::readText(bool inPlaceholder) {
    size_t start = m_at;
    while (m_at < m_text.size()) {
        wchar_t c = m_text[m_at];
        if (c == L'\\') {
            m_at = std::min(m_at + 2, m_text.size());
            continue;
        }
        if (c == L'`' || (c == L'}' && inPlaceholder))
            break;
        if (c == L'$') {
            bool startsItem = m_at + 1 < m_text.size() && (isIdentifier(m_text[m_at + 1]) || m_text[m_at + 1] == L'{');
            if (startsItem)
                break;
            warn(SnippetWarning::DOLLAR_NOT_ESCAPED, L"Not escaped `$`.", m_at);
        }
        ++m_at;
    }
    if (m_at == start)
        return;
    SnippetActiveNode* parent = m_stack.back();
    parent->children.emplace_back(new SnippetTextNode(parent, unescapeSnippetText(m_text.substr(start, m_at - start))));
}

void SnippetReader::readCommand() {
    ++m_at;
    while (m_at < m_text.size() && m_text[m_at] != L'`')
        m_at += m_text[m_at] == L'\\' ? 2 : 1;
    m_at = std::min(m_at + 1, m_text.size());
}

void SnippetReader::readDollar() {
    size_t start = m_at++;
    if (m_text[m_at] == L'{') {
        ++m_at;
        readPlaceholder(start);
        return;
    }
    size_t nameStart = m_at;
    if (isDigit(m_text[m_at])) {
        while (m_at < m_text.size() && isDigit(m_text[m_at]))
            ++m_at;
    } else {
        while (m_at < m_text.size() && isIdentifier(m_text[m_at]))
            ++m_at;
    }
    SnippetActiveNode* node = appendActive();
    finishActive(node, m_text.substr(nameStart, m_at - nameStart));
}

void SnippetReader::readPlaceholder(size_t start) {
    if (m_at >= m_text.size()) {
        warn(SnippetWarning::PLACEHOLDER_IGNORED, L"Placeholder was ignored.", start);
        return;
    }
    std::wstring name;
    size_t headAt = m_at;
    Token head = readToken(name);
    if (head == END)
        terminated();
    if (head != NUMBER && head != NAME)
        unexpected(L"unknown", L"variable or number", headAt);
    SnippetActiveNode* node = appendActive();
    std::wstring dummy;
    size_t tailAt = m_at;
    Token tail = readToken(dummy);
    switch (tail) {
    case END:
        terminated();
    case CLOSE:
        break;
    case COLON:
        if (m_stack.size() > static_cast<size_t>(MAX_NESTING))
            throw zem::ParserException(L"The snippet is nested too deeply.", positionAt(start), positionAt(m_at));
        node->hasContent = true;
        m_stack.push_back(node);
        readContent(true);
        m_stack.pop_back();
        break;
    case SLASH: {
        node->hasTransformation = true;
        node->regex = readPatternPart();
        node->format = readPatternPart();
        // The format is read again when the snippet is inserted: one that does not read
        // (nested too deeply) is this snippet's syntax error, not a failure halfway
        // through an insertion.
        const FormatProgram check(node->format);
        (void)check;
        size_t optionsAt = m_at;
        Token options = readToken(node->options);
        if (options == NUMBER || options == NAME) {
            optionsAt = m_at;
            options = readToken(dummy);
        } else {
            node->options.clear();
        }
        if (options == END)
            terminated();
        if (options != CLOSE)
            unexpected(L"unknown", L"}", optionsAt);
        break;
    }
    default:
        unexpected(L"unknown", L"} : or /", tailAt);
    }
    finishActive(node, name);
}

std::wstring SnippetReader::readPatternPart() {
    size_t start = m_at;
    while (m_at < m_text.size() && m_text[m_at] != L'/')
        m_at += m_text[m_at] == L'\\' ? 2 : 1;
    if (m_at >= m_text.size())
        terminated();
    return m_text.substr(start, m_at++ - start);
}

SnippetReader::Token SnippetReader::readToken(std::wstring& text) {
    text.clear();
    if (m_at >= m_text.size())
        return END;
    size_t start = m_at;
    wchar_t c = m_text[m_at];
    switch (c) {
    case L'/':
        ++m_at;
        return SLASH;
    case L':':
        ++m_at;
        return COLON;
    case L'}':
        ++m_at;
        return CLOSE;
    default:
        break;
    }
    if (isDigit(c)) {
        while (m_at < m_text.size() && isDigit(m_text[m_at]))
            ++m_at;
        text = m_text.substr(start, m_at - start);
        return NUMBER;
    }
    if (isIdentifier(c)) {
        while (m_at < m_text.size() && isIdentifier(m_text[m_at]))
            ++m_at;
        text = m_text.substr(start, m_at - start);
        return NAME;
    }
    unexpected(L"", L"", start);
}

SnippetActiveNode* SnippetReader::appendActive() {
    SnippetActiveNode* parent = m_stack.back();
    SnippetActiveNode* node = new SnippetActiveNode(parent);
    parent->children.emplace_back(node);
    return node;
}

void SnippetReader::finishActive(SnippetActiveNode* node, const std::wstring& name) {
    node->name = name;
    if (!name.empty() && isDigit(name[0])) {
        node->number = 0;
        for (wchar_t c : name)
            node->number = node->number < 100000000 ? node->number * 10 + (c - L'0') : node->number;
    } else {
        node->isVariable = true;
    }
    m_model->addActiveNode(node);
}

void SnippetReader::warn(SnippetWarning::Kind kind, const wchar_t* message, size_t offset) {
    m_warnings.push_back(SnippetWarning{kind, message, positionAt(offset)});
}

void SnippetReader::unexpected(const wchar_t* found, const wchar_t* expected, size_t begin) {
    throw zem::UnexpectedTokenException(found, expected, positionAt(begin),
                                        positionAt(std::min(begin + 1, m_text.size())));
}

void SnippetReader::terminated() {
    zem::SourcePosition end = positionAt(m_text.size());
    throw zem::UnexpectedlyTerminatedException(end, end);
}

std::unique_ptr<SnippetModel> parseSnippet(const std::wstring& text) {
    SnippetReader reader(text);
    return reader.read();
}

std::wstring unescapeSnippetText(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c != L'\\') {
            out += c;
            continue;
        }
        if (i + 1 >= text.size())
            break;
        wchar_t next = text[++i];
        if (next != L'$' && next != L'\\' && next != L'`' && next != L'}')
            out += c;
        out += next;
    }
    return out;
}

} // namespace corvel
