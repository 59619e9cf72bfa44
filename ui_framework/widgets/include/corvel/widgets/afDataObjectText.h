// Text as CF_UNICODETEXT: the characters and a terminating zero.
#pragma once
#include "corvel/widgets/afDataObjectSimple.h"

#include <string>

namespace corvel {

class afDataObjectText : public afDataObjectSimple {
public:
    afDataObjectText();
    explicit afDataObjectText(const std::wstring& text);

    size_t getSize() override;
    bool getValue(void* destination) override;
    // size bytes of UTF-16 units; 0 gives an empty text.
    bool setValue(size_t size, const void* source) override;

    // A copy of the text; reading it marks the object filled.
    std::wstring getText();
    // Stores a copy of a non-empty text; an empty or null one leaves the old text.
    void setText(const wchar_t* text, size_t count);
    const wchar_t* getTextPointer() const { return m_text.c_str(); }
    size_t getLength() const { return m_text.size(); }

private:
    std::wstring m_text;
};

} // namespace corvel
