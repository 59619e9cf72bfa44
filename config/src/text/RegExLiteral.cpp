#include "corvel/text/RegExLiteral.h"

#include "corvel/config/StreamFields.h"

namespace corvel {

RegExPtr RegExLiteral::compile() const {
    RegExOptions options = parseRegExOptions(m_options.c_str());
    return RegEx::create(m_pattern, options.bits, options.globalFlag);
}

bool RegExLiteral::write(Stream& stream) const {
    return writeText(stream, m_pattern) && writeText(stream, m_options);
}

bool RegExLiteral::read(Stream& stream) {
    std::wstring pattern;
    std::wstring options;
    if (!readText(stream, pattern) || !readText(stream, options))
        return false;
    m_pattern.swap(pattern);
    m_options.swap(options);
    return true;
}

} // namespace corvel
