// A controller's document as a line cache's source and a text context's style lookup:
// the line's text without its break, one style number per character from the parser's
// scope runs (resolved through the document's styler) and the theme background.
#pragma once
#include "corvel/editor/LineTextSource.h"
#include "corvel/ui/afUnicodeStyle.h"

#include <string>

namespace corvel {

class DocumentController;
class DocumentStyler;

class ControllerLineSource : public LineTextSource, public afUnicodeStyleProvider {
public:
    explicit ControllerLineSource(DocumentController& controller);

    int32_t getLineCount() override;
    int32_t getTabWidth() override;
    void readLine(int32_t line, afUnicode& record) override;
    const afUnicodeStyle& styleFor(uint16_t styleId) override;

    // The colour past a line's text (packed).
    void setBackground(uint32_t packed) { m_background = packed; }
    DocumentController& controller() const { return m_controller; }

private:
    DocumentStyler* styler() const;

    DocumentController& m_controller;
    std::wstring m_text; // reused between lines
    uint32_t m_background = 0xFFFFFFFF;
    afUnicodeStyle m_plain{0xFFFFFFFF, 0xFF000000, 0, 8};
};

} // namespace corvel
