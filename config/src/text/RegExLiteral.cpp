#include "corvel/text/RegExLiteral.h"

namespace corvel {

RegExPtr RegExLiteral::compile() const {
    RegExOptions options = parseRegExOptions(m_options.c_str());
    return RegEx::create(m_pattern, options.bits, options.globalFlag);
}

} // namespace corvel
