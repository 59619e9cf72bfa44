// What every line layout of one view shares: the measuring DC, the font family and its
// metrics, tab and wrap settings, the style lookup, up to five overlay layers and their
// 32 pre-blended combinations. Main thread only.
#pragma once
#include "corvel/document/ColorF.h"
#include "corvel/ui/afUnicodeStyle.h"

#include <windows.h>
#include <usp10.h>

#include <string>
#include <vector>

namespace corvel {

class afUnicode;
class afUnicodeFontFamily;
class afUnicodeFontManager;

class afUnicodeContext {
public:
    static constexpr size_t MAX_LAYERS = 5;
    static constexpr size_t BLENDED_COUNT = 32;

    // fonts: the manager whose families are set here; null means the process's manager.
    explicit afUnicodeContext(afUnicodeFontManager* fonts = nullptr);
    ~afUnicodeContext();
    afUnicodeContext(const afUnicodeContext&) = delete;
    afUnicodeContext& operator=(const afUnicodeContext&) = delete;

    HDC memoryDC() const { return m_dc; }
    afUnicodeFontManager* fontManager() const { return m_fonts; }

    // Metrics, valid after setFontFamily.
    int ascent() const { return m_ascent; }
    int lineHeight() const { return m_lineHeight; }
    int spaceWidth() const { return m_spaceWidth; }
    int averageCharWidth() const { return m_averageCharWidth; }
    int extraSpacing1() const { return m_extraSpacing1; }
    int extraSpacing2() const { return m_extraSpacing2; }

    bool setFontFamily(afUnicodeFontFamily* family, int extraSpacing1, int extraSpacing2);
    afUnicodeFontFamily* fontFamily() const { return m_family; }
    void setFontFace(const std::wstring& face) { m_fontFace = face; }
    const std::wstring& fontFace() const { return m_fontFace; }
    void updateMetrics();

    // True when the wrap flag or width changed; positive widths are at least 30 average
    // characters wide.
    bool setWrap(bool enabled, int width);
    bool wrapEnabled() const { return m_wrap; }
    int wrapWidth() const { return m_wrapWidth; }
    void setTabWidth(int spaces) { m_tabWidth = spaces; }
    int tabWidth() const { return m_tabWidth; }
    void setContinuationIndent(bool on) { m_continuationIndent = on; }
    bool continuationIndentOn() const { return m_continuationIndent; }
    void setKeepIndent(bool on) { m_keepIndent = on; }
    bool keepIndentOn() const { return m_keepIndent; }
    // Carried for the editor: sub-line display and the no-document mark.
    void setSubLineDisplay(bool on) { m_subLineDisplay = on; }
    bool subLineDisplay() const { return m_subLineDisplay; }
    void setNoDocumentMark(bool on) { m_noDocumentMark = on; }
    bool noDocumentMark() const { return m_noDocumentMark; }

    SCRIPT_CONTROL* scriptControl() { return &m_control; }
    SCRIPT_STATE* scriptState() { return &m_state; }
    bool isComplexScript(int script) const;

    void setCurrentLine(afUnicode* line) { m_currentLine = line; }
    afUnicode* currentLine() const { return m_currentLine; }

    void setStyleProvider(afUnicodeStyleProvider* provider) { m_provider = provider; }
    const afUnicodeStyle& styleFor(uint16_t styleId) const {
        return m_provider ? m_provider->styleFor(styleId) : m_defaultStyle;
    }

    void addStyleLayer(afUnicodeStyleLayer* layer);
    void removeStyleLayer(afUnicodeStyleLayer* layer);
    size_t layerCount() const { return m_layers.size(); }
    void updateStyles();
    const afUnicodeBlendedStyle& blendedStyle(uint8_t mask) const { return m_blended[mask & 31]; }
    void applyStyleLayers(afUnicode& line, int lineNumber, int lineOffset);

    int columnsToX(int columns) const { return columns * m_spaceWidth; }
    int columnFromX(int x) const;
    int continuationIndent(const afUnicode& line) const;
    int rowRoom(const afUnicode& line, int row) const;
    int getRowIndent(const afUnicode& line, int row) const;

    // Colours of character index i of a line, with an overlay blended over backgrounds.
    struct CellColors {
        COLORREF background;
        COLORREF bar;
        bool hasBar;
    };
    void resolveColors(const afUnicode& line, int i, const ColorF& overlay, ColorF* background,
                       ColorF* foreground) const;
    CellColors backgroundColors(const afUnicode& line, int i, const ColorF& overlay) const;
    ColorF textColor(const afUnicode& line, int i, const ColorF& overlay) const;

private:
    // The widths that divide, never below 1.
    int spaceUnit() const { return m_spaceWidth < 1 ? 1 : m_spaceWidth; }

    afUnicodeFontManager* m_fonts;
    HDC m_dc; // memory DC compatible with the screen, owned
    int m_wrapWidth = 0;
    bool m_wrap = false;
    int m_tabWidth = 4; // in spaces
    bool m_continuationIndent = true;
    bool m_keepIndent = true;
    bool m_subLineDisplay = true;
    bool m_noDocumentMark = false;
    SCRIPT_CONTROL m_control{};
    SCRIPT_STATE m_state{};
    const SCRIPT_PROPERTIES** m_scriptProperties = nullptr; // owned by Uniscribe
    int m_scriptCount = 0;
    afUnicode* m_currentLine = nullptr; // set while a line is processed
    std::wstring m_fontFace;
    afUnicodeFontFamily* m_family = nullptr; // not owned
    int m_extraSpacing1 = 0;
    int m_extraSpacing2 = 0;
    int m_ascent = 0;
    int m_lineHeight = 0;
    int m_spaceWidth = 0;
    int m_averageCharWidth = 0;
    afUnicodeStyle m_defaultStyle;
    afUnicodeStyleProvider* m_provider = nullptr; // not owned
    afUnicodeBlendedStyle m_blended[BLENDED_COUNT];
    std::vector<afUnicodeStyleLayer*> m_layers; // not owned; each layer's mask is 1 << its position
};

} // namespace corvel
