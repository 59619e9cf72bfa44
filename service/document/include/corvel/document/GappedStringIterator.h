// A random-access iterator over a document's text read in place through the gap, so the
// search engines run on the text without copying it. Moves are clamped to the text.
// The text must not change while iterators over it are in use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace corvel {

template <class Doc> class GappedStringIterator {
public:
    typedef std::random_access_iterator_tag iterator_category;
    typedef wchar_t value_type;
    typedef std::ptrdiff_t difference_type;
    typedef const wchar_t* pointer;
    typedef const wchar_t& reference;

    GappedStringIterator() = default;
    GappedStringIterator(const Doc* document, int32_t position) : m_document(document) {
        auto sides = document->getTextSides();
        m_first = sides.first;
        m_split = sides.firstLength;
        m_second = sides.second - sides.firstLength;
        m_length = sides.firstLength + sides.secondLength;
        m_position = clamp(position);
    }

    const Doc* document() const { return m_document; }
    int32_t position() const { return m_position; }

    reference operator*() const { return unit(m_position); }
    reference operator[](difference_type n) const { return unit(static_cast<int32_t>(m_position + n)); }
    // The unit before the position.
    reference previous() const { return unit(m_position - 1); }

    GappedStringIterator& operator+=(difference_type n) {
        m_position = clamp(static_cast<int64_t>(m_position) + n);
        return *this;
    }
    GappedStringIterator& operator-=(difference_type n) { return *this += -n; }
    GappedStringIterator& operator++() { return *this += 1; }
    GappedStringIterator& operator--() { return *this -= 1; }
    GappedStringIterator operator++(int) {
        GappedStringIterator old = *this;
        *this += 1;
        return old;
    }
    GappedStringIterator operator--(int) {
        GappedStringIterator old = *this;
        *this -= 1;
        return old;
    }
    GappedStringIterator operator+(difference_type n) const { return GappedStringIterator(*this) += n; }
    GappedStringIterator operator-(difference_type n) const { return GappedStringIterator(*this) -= n; }
    friend GappedStringIterator operator+(difference_type n, const GappedStringIterator& it) { return it + n; }
    difference_type operator-(const GappedStringIterator& other) const { return m_position - other.m_position; }

    bool operator==(const GappedStringIterator& other) const {
        return m_document == other.m_document && m_position == other.m_position;
    }
    bool operator!=(const GappedStringIterator& other) const { return !(*this == other); }
    bool operator<(const GappedStringIterator& other) const { return m_position < other.m_position; }
    bool operator>(const GappedStringIterator& other) const { return m_position > other.m_position; }
    bool operator<=(const GappedStringIterator& other) const { return m_position <= other.m_position; }
    bool operator>=(const GappedStringIterator& other) const { return m_position >= other.m_position; }

private:
    reference unit(int32_t at) const { return at < m_split ? m_first[at] : m_second[at]; }
    int32_t clamp(int64_t position) const {
        return position < 0 ? 0 : position > m_length ? m_length : static_cast<int32_t>(position);
    }

    const Doc* m_document = nullptr;
    const wchar_t* m_first = nullptr;  // units before the gap
    const wchar_t* m_second = nullptr; // biased so that m_second[i] is unit i for i >= m_split
    int32_t m_split = 0;
    int32_t m_length = 0;
    int32_t m_position = 0; // 0 <= m_position <= m_length
};

} // namespace corvel
