// Streams that count the characters passing through them, the lines and the position in
// the current line, optionally forwarding to (or reading from) another stream. A form body
// is measured by writing it once into a counting stream without target.
#pragma once
#include <istream>
#include <ostream>
#include <streambuf>

namespace zem {

// Unbuffered; a line is counted when a character is written or read at position 0.
class CountingStreamBuf : public std::streambuf {
public:
    CountingStreamBuf();
    explicit CountingStreamBuf(std::istream& source);
    explicit CountingStreamBuf(std::ostream& target);

    int chars() const { return m_chars; }
    int lines() const { return m_lines; }
    int pos() const { return m_pos; }
    void reset();

protected:
    int_type overflow(int_type ch) override;
    int_type underflow() override;
    int_type uflow() override;
    int sync() override;

private:
    void count(char ch);

    std::istream* m_source = nullptr;
    std::ostream* m_target = nullptr;
    int_type m_peeked; // one character of look-ahead when reading, or eof
    int m_chars = 0;
    int m_lines = 0;
    int m_pos = 0; // reset after LF
};

class CountingIOS : public virtual std::ios {
public:
    CountingIOS();
    explicit CountingIOS(std::istream& source);
    explicit CountingIOS(std::ostream& target);

    int chars() const { return m_buffer.chars(); }
    int lines() const { return m_buffer.lines(); }
    int pos() const { return m_buffer.pos(); }
    void reset() { m_buffer.reset(); }
    CountingStreamBuf* rdbuf() { return &m_buffer; }

protected:
    CountingStreamBuf m_buffer;
};

class CountingOutputStream : public CountingIOS, public std::ostream {
public:
    // Counts only.
    CountingOutputStream();
    explicit CountingOutputStream(std::ostream& target);
};

class CountingInputStream : public CountingIOS, public std::istream {
public:
    explicit CountingInputStream(std::istream& source);
};

} // namespace zem
