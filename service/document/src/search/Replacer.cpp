#include "corvel/document/Replacer.h"

#include "corvel/document/Document.h"

namespace corvel {

void ReplacerSimple::replace(const zem::MatchResults&, const Document&, std::wstring& out) {
    out = m_text;
}

void ReplacerFormat::replace(const zem::MatchResults& match, const Document& document, std::wstring& out) {
    out.clear();
    m_program.execute(
        [&](int32_t group, std::wstring* text) {
            if (!match.isGroupMatched(group))
                return false;
            if (text)
                *text = document.getText(match.getBegin(group), match.getLength(group));
            return true;
        },
        out);
}

} // namespace corvel
