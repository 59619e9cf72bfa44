// A run of document text read without copying where the buffer allows it: it points into
// the text store when the run lies on one side of the gap, else it owns a joined copy. A
// pointer into the store is good only while the read bracket that filled it stays open.
#pragma once
#include "corvel/document/GapBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvel {

class TextChunk {
public:
    const wchar_t* data() const { return m_view.data(); }
    int32_t length() const { return m_length; }
    bool empty() const { return m_length == 0; }
    std::wstring_view view() const { return {m_view.data(), static_cast<size_t>(m_length)}; }
    std::wstring str() const { return std::wstring(view()); }

    // Frees an owned copy and takes the new run.
    void assign(GapBuffer::View view, int32_t length) {
        m_view = std::move(view);
        m_length = m_view.data() ? length : 0;
    }

private:
    GapBuffer::View m_view;
    int32_t m_length = 0;
};

} // namespace corvel
