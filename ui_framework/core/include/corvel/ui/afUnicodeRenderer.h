// Paints one visual row of a laid-out line on a canvas: line and character backgrounds
// with layer colours and bars, the columns past the text, indent guides, the margin
// line and wrap marks, the text in per-character colours, and marks for spaces, tabs
// and control characters. Main thread only.
#pragma once
#include "corvel/document/ColorF.h"

#include <windows.h>

#include <memory>

namespace corvel {

class afCanvas;
class afUnicode;
class afUnicodeContext;
struct afUnicodeItem;

class afUnicodeRenderer {
public:
    // 0: control box fill; 1: control label, and the background of a row without a
    // layout; 2: marks (space dots, tab arrows, guides, margin, wrap marks) over the
    // background by its alpha; 3-6 are the editor's.
    struct Colors {
        ColorF colors[7];
    };

    struct Request {
        afCanvas* canvas = nullptr;
        int row = 0;
        int scroll = 0;    // horizontal scroll offset, added to x
        int textLeft = 0;  // x of the text area
        int rowTop = 0;
        int rightClip = 0;
        int rowBottom = 0;
        RECT background{}; // the line background's rectangle
        ColorF overlay;    // blended over every background by its alpha
        afUnicode* layout = nullptr;
    };

    explicit afUnicodeRenderer(afUnicodeContext* context);
    virtual ~afUnicodeRenderer();
    afUnicodeRenderer(const afUnicodeRenderer&) = delete;
    afUnicodeRenderer& operator=(const afUnicodeRenderer&) = delete;

    void setColors(const Colors& colors) { *m_colors = colors; }
    const Colors& colors() const { return *m_colors; }
    // Whitespace is shown when any region is on.
    void setWhitespace(bool leading, bool inner, bool trailing);
    bool showsWhitespace() const { return m_showWhitespace; }
    void setMargin(int x) { m_margin = x; }
    void setShowIndentGuides(bool on) { m_showIndentGuides = on; }

    void drawLine(const Request& request);

private:
    struct Pass;

    bool regionShown(const afUnicode& line, int i) const;
    void drawItemBackgrounds(Pass& pass, const afUnicodeItem& item, int x);
    void drawColumnsBeyond(Pass& pass, int x);
    void drawGuides(Pass& pass);
    void drawItemText(Pass& pass, const afUnicodeItem& item, int x);
    void drawTabArrow(Pass& pass, const afUnicodeItem& item, int x);
    void drawControlBox(Pass& pass, const afUnicodeItem& item, int x);
    void fillRun(Pass& pass, int left, int right, COLORREF background, bool hasBar, COLORREF bar, bool barRight);
    COLORREF markOver(Pass& pass, int i) const;

    afUnicodeContext* m_context; // not owned
    std::unique_ptr<Colors> m_colors;
    bool m_showIndentGuides = false;
    bool m_showWhitespace = false;
    bool m_leading = false;
    bool m_inner = false;
    bool m_trailing = false;
    int m_margin = 0; // pixels from the text origin; 0 = none
};

} // namespace corvel
