#include "corvel/text/RegEx.h"

namespace corvel {

RegExOptions parseRegExOptions(const wchar_t* text) {
    RegExOptions options;
    if (!text)
        return options;
    for (const wchar_t* p = text; *p; ++p) {
        switch (*p) {
        case L'i':
            options.bits |= zem::REGEX_IGNORE_CASE;
            break;
        case L'x':
            options.bits |= zem::REGEX_EXTENDED;
            break;
        case L'm':
            options.bits |= zem::REGEX_MULTILINE;
            break;
        case L'g':
            options.globalFlag = 1;
            break;
        default:
            break;
        }
    }
    return options;
}

} // namespace corvel
