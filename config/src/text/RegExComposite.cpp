#include "corvel/text/RegExComposite.h"

#include "zem/log/LogManager.h"

namespace corvel {
namespace {

// The partial's own options as inline groups, so that they end with the partial.
std::wstring wrapInOptions(uint32_t optionBits, const std::wstring& pattern) {
    std::wstring letters;
    if (optionBits & zem::REGEX_IGNORE_CASE)
        letters += L'i';
    if (optionBits & zem::REGEX_MULTILINE)
        letters += L'm';
    if (optionBits & zem::REGEX_EXTENDED)
        letters += L'x';
    if (letters.empty())
        return pattern;
    return L"(?" + letters + L")" + pattern + L"(?-" + letters + L")";
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Back-references count groups from the start of the whole composite: each \n becomes
// \(n + base). The whole decimal number is read, so \12 is group 12 of the partial.
// False when nothing was renumbered.
bool renumberBackReferences(const std::wstring& text, int base, std::wstring& out) {
    out.clear();
    out.reserve(text.size() + 8);
    bool changed = false;
    size_t i = 0;
    while (i < text.size()) {
        wchar_t c = text[i++];
        out += c;
        if (c != L'\\' || i >= text.size())
            continue;
        wchar_t next = text[i];
        if (next < L'1' || next > L'9') {
            out += next;
            ++i;
            continue;
        }
        long long n = 0;
        while (i < text.size() && isDigit(text[i]) && n < 100000000)
            n = n * 10 + (text[i++] - L'0');
        out += std::to_wstring(n + base);
        changed = true;
    }
    return changed;
}

} // namespace

int RegExComposite::push(uint32_t optionBits, const std::wstring& pattern, void* payload) {
    std::wstring text = wrapInOptions(optionBits, pattern);
    RegExPtr check = RegEx::create(text, zem::REGEX_CAPTURE_GROUP, 0);
    if (!check->isCompiled()) {
        zem::RegExError error;
        check->getError(error);
        zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE,
                        L"RegExComposite::push: Error compiling partial RE: `%s`", error.message.c_str());
        return 0;
    }
    return pushCompiled(optionBits, pattern, check->captureCount(), payload);
}

int RegExComposite::pushCompiled(uint32_t optionBits, const std::wstring& pattern, int captureCount, void* payload) {
    std::wstring text = wrapInOptions(optionBits, pattern);
    std::wstring renumbered;
    if (renumberBackReferences(text, m_nextGroup, renumbered))
        text.swap(renumbered);

    int group = m_nextGroup;
    m_totalLength += text.size() + 2;
    m_partials.push_back(std::move(text));
    m_payloads[group] = payload;
    m_nextGroup += captureCount + 1;
    m_composite.reset();
    return group;
}

RegExPtr RegExComposite::build(std::wstring* outText) {
    std::wstring local;
    std::wstring& text = outText ? *outText : local;
    text.clear();
    if (!m_partials.empty())
        text.reserve(m_partials.size() + m_totalLength - 1);
    for (size_t i = 0; i < m_partials.size(); ++i) {
        if (i > 0)
            text += L'|';
        text += L'(';
        text += m_partials[i];
        text += L')';
    }
    if (m_composite)
        return m_composite;
    RegExPtr compiled = RegEx::create(text, zem::REGEX_CAPTURE_GROUP, 0);
    if (compiled->isCompiled())
        m_composite = compiled;
    return m_composite;
}

MatchResultsRegEx* RegExComposite::match(MatchResultsRegEx* results, const wchar_t* text, int length, int at) const {
    if (!m_composite) {
        if (!results)
            return zem::createMatchResultsRegEx().release();
        results->clear();
        return results;
    }
    return RegEx::match(results, m_composite.get(), text, text + length, text + at);
}

void* RegExComposite::payloadForGroup(int group) const {
    auto it = m_payloads.find(group);
    return it == m_payloads.end() ? nullptr : it->second;
}

} // namespace corvel
