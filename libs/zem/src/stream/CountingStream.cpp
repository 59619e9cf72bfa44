#include "zem/stream/CountingStream.h"

namespace zem {

CountingStreamBuf::CountingStreamBuf() : m_peeked(traits_type::eof()) {}

CountingStreamBuf::CountingStreamBuf(std::istream& source) : m_source(&source), m_peeked(traits_type::eof()) {}

CountingStreamBuf::CountingStreamBuf(std::ostream& target) : m_target(&target), m_peeked(traits_type::eof()) {}

void CountingStreamBuf::reset() {
    m_chars = 0;
    m_lines = 0;
    m_pos = 0;
}

void CountingStreamBuf::count(char ch) {
    ++m_chars;
    if (m_pos++ == 0)
        ++m_lines;
    if (ch == '\n')
        m_pos = 0;
}

CountingStreamBuf::int_type CountingStreamBuf::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    char unit = traits_type::to_char_type(ch);
    if (m_target && !m_target->put(unit))
        return traits_type::eof();
    count(unit);
    return ch;
}

CountingStreamBuf::int_type CountingStreamBuf::underflow() {
    if (!traits_type::eq_int_type(m_peeked, traits_type::eof()))
        return m_peeked;
    if (!m_source)
        return traits_type::eof();
    m_peeked = m_source->get();
    return m_peeked;
}

CountingStreamBuf::int_type CountingStreamBuf::uflow() {
    int_type ch = underflow();
    m_peeked = traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof()))
        count(traits_type::to_char_type(ch));
    return ch;
}

int CountingStreamBuf::sync() {
    if (m_target && !m_target->flush())
        return -1;
    return 0;
}

CountingIOS::CountingIOS() {
    init(&m_buffer);
}

CountingIOS::CountingIOS(std::istream& source) : m_buffer(source) {
    init(&m_buffer);
}

CountingIOS::CountingIOS(std::ostream& target) : m_buffer(target) {
    init(&m_buffer);
}

CountingOutputStream::CountingOutputStream() : std::ostream(&m_buffer) {}

CountingOutputStream::CountingOutputStream(std::ostream& target) : CountingIOS(target), std::ostream(&m_buffer) {}

CountingInputStream::CountingInputStream(std::istream& source) : CountingIOS(source), std::istream(&m_buffer) {}

} // namespace zem
