// A UTF-16 string node. Its style records how the text was written in the source and
// tells the writers how to print it; it takes no part in equality.
#pragma once
#include "zem/value/Value.h"

namespace zem {

class StringValue : public Value {
public:
    enum Style : int32_t {
        STYLE_DOUBLE_QUOTED = 0,
        STYLE_SINGLE_QUOTED = 1,
        STYLE_SYMBOL = 2, // a bare word
    };

    explicit StringValue(std::wstring text, int32_t style = STYLE_DOUBLE_QUOTED)
        : Value(KIND_STRING), m_text(std::move(text)), m_style(style) {}

    bool getString(std::wstring* out) const override;
    // The clone is double-quoted whatever this node's style.
    Value* clone() const override;
    bool equals(const Value* other) const override;

    const std::wstring& text() const { return m_text; }
    void setText(std::wstring text) { m_text = std::move(text); }
    int32_t style() const { return m_style; }
    void setStyle(int32_t style) { m_style = style; }

private:
    std::wstring m_text;
    int32_t m_style;
};

// A new double-quoted string owned by the caller. length -1 means text is NUL-terminated;
// a null text is an assertion failure.
Value* createStringValue(const wchar_t* text, int length = -1);
Value* createStringValue(const std::wstring& text);

} // namespace zem
