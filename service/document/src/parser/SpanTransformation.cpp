#include "corvel/document/SpanTransformation.h"

#include "corvel/config/StreamFields.h"
#include "zem/base/Crc.h"
#include "zem/log/LogManager.h"

namespace corvel {

const uint32_t SpanTransformation::CLASS_TAG = zem::crc32String(L"SpanTransformation");

namespace {

// Spans read back from the undo journal are made by class tag. Registered with the first
// transformation made, not at start-up: the span classes' own tags are computed at
// start-up in an order no file controls.
void registerOnce() {
    static const bool registered = (SpanTransformation::registerClass(), true);
    (void)registered;
}

} // namespace

SpanTransformation::SpanTransformation() {
    registerOnce();
}

SpanTransformation::SpanTransformation(const std::wstring& format, const std::wstring& pattern,
                                       const std::wstring& options, const std::wstring& name)
    : Span(name), m_pattern(pattern), m_options(options), m_format(format) {
    registerOnce();
    transformElement();
}

void SpanTransformation::registerClass() {
    Span::registerClass(CLASS_TAG, [] { return static_cast<Span*>(new SpanTransformation); });
}

bool SpanTransformation::transformElement() {
    RegExOptions options = parseRegExOptions(m_options.c_str());
    m_regex = RegEx::create(m_pattern, options.bits, options.globalFlag);
    zem::RegExError error;
    if (!m_regex->isCompiled() || m_regex->getError(error)) {
        zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"TransformElement: RegEx `%s` cannot be compiled.",
                        m_pattern.c_str());
        m_regex.reset();
    }
    m_program.reset(new FormatProgram(m_format));
    return m_regex && m_program;
}

bool SpanTransformation::transform(const std::wstring& text, std::wstring& out) const {
    return substitute(m_program.get(), out, text, m_regex.get());
}

void SpanTransformation::replaceText(DocumentController* controller, int32_t length, const wchar_t* text) {
    std::wstring result;
    transform(std::wstring(text, static_cast<size_t>(length)), result);
    Span::replaceText(controller, static_cast<int32_t>(result.size()), result.c_str());
}

void SpanTransformation::write(Stream& stream, const SpanTable& table) const {
    Span::write(stream, table);
    writeText(stream, m_pattern);
    writeText(stream, m_options);
    writeText(stream, m_format);
}

bool SpanTransformation::read(Stream& stream, const SpanTable& table) {
    Fields fields;
    std::wstring pattern, options, format;
    if (!readSpanFields(stream, fields) || !readText(stream, pattern) || !readText(stream, options) ||
        !readText(stream, format))
        return false;
    applySpanFields(fields);
    (void)table;
    m_pattern = pattern;
    m_options = options;
    m_format = format;
    transformElement();
    return true;
}

bool substitute(const FormatProgram* program, std::wstring& out, const std::wstring& text, const RegEx* regex) {
    if (text.empty() || !regex || !program)
        return false;
    std::unique_ptr<MatchResultsRegEx> match = zem::createMatchResultsRegEx();
    const wchar_t* start = text.c_str();
    const wchar_t* end = start + text.size();
    std::wstring result;
    size_t previousEnd = 0, at = 0;
    bool matched = false;
    do {
        RegEx::search(match.get(), regex, start, end, start + at, end);
        if (!match->isMatched())
            break;
        matched = true;
        size_t matchStart = static_cast<size_t>(match->getBegin(0)), matchEnd = static_cast<size_t>(match->getEnd(0));
        result.append(text, previousEnd, matchStart - previousEnd);
        zem::MatchGroupTexts groups;
        match->getGroupTexts(start, static_cast<int>(text.size()), groups);
        program->execute(
            [&](int32_t group, std::wstring* out) {
                auto found = groups.find(static_cast<unsigned>(group));
                if (found == groups.end())
                    return false;
                if (out)
                    *out = found->second;
                return true;
            },
            result);
        previousEnd = matchEnd;
        at = matchEnd + (matchEnd == matchStart ? 1 : 0);
    } while (regex->globalFlag() && at < text.size());
    if (!matched)
        return false;
    result.append(text, previousEnd, std::wstring::npos);
    out = result;
    return true;
}

} // namespace corvel
