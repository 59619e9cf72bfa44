#include "zem/text/StringTemplate.h"

#include "zem/base/Exception.h"
#include "zem/text/RegEx.h"
#include "zem/text/StringScanner.h"
#include "zem/text/StringUtil.h"

#include <cstring>
#include <cwchar>

namespace zem {

namespace {

// Made once, on first use, and kept for the life of the process.
const RegEx* parameterPattern() {
    static const RegExPtr pattern = RegEx::create(L"[0-9]+", REGEX_CAPTURE_GROUP, 0);
    return pattern.get();
}

const wchar_t* duplicate(const wchar_t* text) {
    if (!text)
        return nullptr;
    size_t length = std::wcslen(text);
    wchar_t* copy = new wchar_t[length + 1];
    std::wmemcpy(copy, text, length + 1);
    return copy;
}

const char* duplicate(const char* text) {
    if (!text)
        return nullptr;
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

bool isTextType(int32_t type) {
    return type == StringTemplate::Parameter::TYPE_TEXT || type == StringTemplate::Parameter::TYPE_ASCII ||
           type == StringTemplate::Parameter::TYPE_TEXT_COPY || type == StringTemplate::Parameter::TYPE_ASCII_COPY;
}

} // namespace

StringTemplate::Parameter::Parameter(int value) : m_type(TYPE_INT) {
    m_value.integer = value;
}

StringTemplate::Parameter::Parameter(int32_t type, int value) : m_type(type) {
    if (isTextType(type))
        m_value.wide = nullptr;
    else
        m_value.integer = value;
}

StringTemplate::Parameter StringTemplate::Parameter::text(const wchar_t* text) {
    Parameter parameter(TYPE_TEXT, 0);
    parameter.m_value.wide = text;
    return parameter;
}

StringTemplate::Parameter StringTemplate::Parameter::ascii(const char* text) {
    Parameter parameter(TYPE_ASCII, 0);
    parameter.m_value.narrow = text;
    return parameter;
}

StringTemplate::Parameter StringTemplate::Parameter::textCopy(const wchar_t* text) {
    Parameter parameter(TYPE_TEXT_COPY, 0);
    parameter.m_value.wide = duplicate(text);
    return parameter;
}

StringTemplate::Parameter StringTemplate::Parameter::asciiCopy(const char* text) {
    Parameter parameter(TYPE_ASCII_COPY, 0);
    parameter.m_value.narrow = duplicate(text);
    return parameter;
}

StringTemplate::Parameter::Parameter(const Parameter& other) : m_type(TYPE_INT) {
    m_value.integer = 0;
    copyFrom(other);
}

StringTemplate::Parameter& StringTemplate::Parameter::operator=(const Parameter& other) {
    if (this != &other) {
        release();
        copyFrom(other);
    }
    return *this;
}

StringTemplate::Parameter::~Parameter() {
    release();
}

void StringTemplate::Parameter::copyFrom(const Parameter& other) {
    m_type = other.m_type;
    m_value = other.m_value;
    if (m_type == TYPE_TEXT_COPY)
        m_value.wide = duplicate(other.m_value.wide);
    else if (m_type == TYPE_ASCII_COPY)
        m_value.narrow = duplicate(other.m_value.narrow);
}

void StringTemplate::Parameter::release() {
    if (m_type == TYPE_TEXT_COPY)
        delete[] m_value.wide;
    else if (m_type == TYPE_ASCII_COPY)
        delete[] m_value.narrow;
    m_type = TYPE_INT;
    m_value.integer = 0;
}

void StringTemplate::Parameter::appendTo(std::wstring& out) const {
    switch (m_type) {
    case TYPE_INT:
        formatInt(out, m_value.integer, 10);
        return;
    case TYPE_TEXT:
    case TYPE_TEXT_COPY:
        if (m_value.wide)
            out.append(m_value.wide);
        return;
    case TYPE_ASCII:
    case TYPE_ASCII_COPY:
        appendAscii(m_value.narrow, out);
        return;
    default:
        throw IllegalStateException(L"Unexpected state");
    }
}

void StringTemplateTextNode::append(const StringTemplate::Parameters&, std::wstring& out) const {
    out.append(m_text);
}

void StringTemplateParameterNode::append(const StringTemplate::Parameters& parameters, std::wstring& out) const {
    auto found = parameters.find(m_index);
    if (found != parameters.end())
        found->second.appendTo(out);
}

StringTemplate::StringTemplate(const std::wstring& text) : m_source(text) {
    parse();
}

StringTemplate::~StringTemplate() = default;

void StringTemplate::setParameter(unsigned index, const Parameter& parameter) {
    m_parameters.insert_or_assign(index, parameter);
    m_text.clear();
}

const std::wstring& StringTemplate::getText() {
    if (m_text.empty()) {
        for (const std::unique_ptr<Node>& node : m_nodes)
            node->append(m_parameters, m_text);
    }
    return m_text;
}

void StringTemplate::flushText(std::wstring& pending) {
    if (pending.empty())
        return;
    m_nodes.emplace_back(new StringTemplateTextNode(pending));
    pending.clear();
}

void StringTemplate::parse() {
    // The scanner reads NUL-terminated text, so a NUL inside the source is carried over
    // as literal text between the runs it separates.
    std::wstring pending;
    const wchar_t* start = m_source.c_str();
    const wchar_t* end = start + m_source.size();
    for (;;) {
        const wchar_t* stop = start;
        while (stop < end && *stop)
            ++stop;
        parseSegment(start, static_cast<int>(stop - start), pending);
        if (stop >= end)
            break;
        pending.push_back(L'\0');
        start = stop + 1;
    }
    flushText(pending);
}

void StringTemplate::parseSegment(const wchar_t* text, int length, std::wstring& pending) {
    if (length == 0)
        return;
    StringScanner scanner(text, length);
    while (!scanner.isEnd()) {
        wchar_t unit = scanner.getChar();
        if (unit != L'{') {
            pending.push_back(unit);
            continue;
        }
        int brace = scanner.previousPosition();
        if (scanner.isEnd() || scanner.peekChar() == L'{') {
            // "{{" and a final "{" are plain text.
            pending.push_back(L'{');
            if (!scanner.isEnd())
                pending.push_back(scanner.getChar());
            continue;
        }
        flushText(pending);
        unsigned index = 0;
        if (scanner.scan(parameterPattern()) && parseUInt(scanner.getGroup(0), &index) && scanner.getChar() == L'}') {
            m_nodes.emplace_back(new StringTemplateParameterNode(index));
            continue;
        }
        // Not a placeholder: everything read since the brace stays as written.
        pending.append(text + brace, static_cast<size_t>(scanner.position() - brace));
    }
}

} // namespace zem
