// Growable UTF-16 string with an inline buffer, the working type of every path function:
// short paths never reach the heap. The text is always zero-terminated.
#pragma once
#include <cstddef>
#include <string>

namespace zem {

class WorkString {
public:
    static constexpr size_t INLINE_CAPACITY = 256; // characters, terminator included
    static constexpr size_t GROW_STEP = 512;       // heap capacity grows in these steps

    WorkString();
    explicit WorkString(const wchar_t* text);
    WorkString(const wchar_t* text, size_t length);
    WorkString(const WorkString& other);
    WorkString& operator=(const WorkString& other);
    ~WorkString();

    const wchar_t* c_str() const { return m_data; }
    wchar_t* data() { return m_data; }
    size_t length() const { return m_length; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_length == 0; }
    bool isInline() const { return m_data == m_inline; }
    wchar_t operator[](size_t index) const { return m_data[index]; }
    wchar_t& operator[](size_t index) { return m_data[index]; }
    // The last character, or 0 for an empty string.
    wchar_t back() const { return m_length ? m_data[m_length - 1] : L'\0'; }
    std::wstring str() const { return std::wstring(m_data, m_length); }

    void clear() { truncate(0); }
    // Keeps the first length characters (no effect when the string is shorter).
    void truncate(size_t length);
    // Makes room for length characters plus the terminator; the text is kept.
    void reserve(size_t length);

    WorkString& assign(const wchar_t* text);
    WorkString& assign(const wchar_t* text, size_t length);
    WorkString& assign(const std::wstring& text) { return assign(text.c_str(), text.size()); }
    WorkString& assign(const WorkString& text) { return assign(text.c_str(), text.length()); }
    WorkString& append(const wchar_t* text);
    WorkString& append(const wchar_t* text, size_t length);
    WorkString& append(const std::wstring& text) { return append(text.c_str(), text.size()); }
    WorkString& append(const WorkString& text) { return append(text.c_str(), text.length()); }
    WorkString& append(wchar_t ch);
    WorkString& insert(size_t position, const wchar_t* text, size_t length);
    WorkString& insert(size_t position, const wchar_t* text);
    // Re-reads the length after the characters were written through data().
    void syncLength();

    // The character after the last '\' or '/' (the whole text when there is none).
    const wchar_t* getFileName() const;
    // The text after the last '.' that follows the last separator; the end of the string
    // when there is none.
    const wchar_t* getExtension() const;

    bool operator==(const wchar_t* text) const;
    bool operator!=(const wchar_t* text) const { return !(*this == text); }

private:
    wchar_t* m_data;   // m_inline or a heap block of m_capacity characters
    size_t m_length;   // m_length < m_capacity; m_data[m_length] == 0
    size_t m_capacity; // INLINE_CAPACITY while inline
    wchar_t m_inline[INLINE_CAPACITY];
};

} // namespace zem
