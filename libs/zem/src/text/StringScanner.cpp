#include "zem/text/StringScanner.h"

#include "zem/base/Assert.h"
#include "zem/text/MatchResults.h"

#include <cwchar>

namespace zem {

StringScanner::StringScanner(const wchar_t* buffer, int length) : m_text(buffer ? buffer : L"") {
    int terminated = static_cast<int>(std::wcslen(m_text));
    if (length == -1 || length == 0)
        length = terminated;
    else
        ZEM_ASSERT_MSG(length > 0 && terminated >= length, L"buffer_length == -1 || tcslen( buffer ) >= buffer_length");
    m_length = length;
}

StringScanner::~StringScanner() = default;

void StringScanner::useMatchData(bool simple) {
    if (simple) {
        if (!m_simpleResults)
            m_simpleResults.reset(new MatchResultsSimple());
        m_matchData = m_simpleResults.get();
    } else {
        if (!m_regexResults)
            m_regexResults = createMatchResultsRegEx();
        m_matchData = m_regexResults.get();
    }
    m_matchData->clear();
    m_matched = false;
}

int StringScanner::advance(int n) {
    int old = m_position;
    m_previousPosition = m_position;
    long long target = static_cast<long long>(m_position) + n;
    if (target > m_length)
        target = m_length;
    if (target < 0)
        target = 0;
    m_position = static_cast<int>(target);
    return old;
}

bool StringScanner::scan(const RegEx* regex) {
    ZEM_ASSERT_MSG(regex != nullptr, L"pattern");
    useMatchData(false);
    RegEx::match(m_regexResults.get(), regex, m_text, m_text + m_length, m_text + m_position);
    if (!m_regexResults->isGroupMatched(0))
        return false;
    m_matched = true;
    advance(m_regexResults->getLength(0));
    return true;
}

std::wstring StringScanner::getGroup(int i) const {
    if (!m_matched || !m_matchData || !m_matchData->isGroupMatched(i))
        return std::wstring();
    int begin = m_matchData->getBegin(i);
    int end = m_matchData->getEnd(i);
    if (begin >= m_length || end <= begin)
        return std::wstring();
    if (end > m_length)
        end = m_length;
    return std::wstring(m_text + begin, static_cast<size_t>(end - begin));
}

wchar_t StringScanner::getChar() {
    if (m_position >= m_length)
        return 0;
    m_previousPosition = m_position;
    return m_text[m_position++];
}

} // namespace zem
