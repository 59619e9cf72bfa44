#include "corvel/widgets/afLabel.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afFont.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afTypeNames.h"
#include "takeFocus.h"

#include <algorithm>

namespace corvel {

namespace {

struct VisualStyle {
    int font;
    int color;
};

// Indexed by visual style.
constexpr VisualStyle VISUAL_STYLES[] = {{4, 29}, {4, 28}, {0, 28}, {0, 6}, {0, 30}};
constexpr int VISUAL_STYLE_COUNT = sizeof(VISUAL_STYLES) / sizeof(VISUAL_STYLES[0]);
// Between the icon and the text, and the room wrapped text leaves beside the icon.
constexpr int ICON_SPACING = 5;

} // namespace

afLabel::afLabel(afView* parent) : afViewVirtual(parent) {
    if (afResources::exists())
        m_font = &afResources::getFont(0);
}

afLabel* afLabel::create(afView* parent) {
    if (!parent)
        return nullptr;
    return new afLabel(parent);
}

const wchar_t* afLabel::getTypeName() const {
    return afTypeName::LABEL;
}

wchar_t afLabel::mnemonicOf(const std::wstring& text) {
    size_t amp = text.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= text.size())
        return 0;
    wchar_t upper[2] = {text[amp + 1], 0};
    CharUpperBuffW(upper, 1);
    return upper[0];
}

void afLabel::changed(const char* reason) {
    invalidate();
    needLayout(reason);
}

void afLabel::setText(const std::wstring& text) {
    if (text == m_text)
        return;
    m_text = text;
    m_mnemonic = mnemonicOf(text);
    changed("afLabel::setText");
}

void afLabel::setIcon(const afIcon* icon, int gap) {
    m_icon = icon;
    m_iconGap = gap;
    changed("afLabel::setIcon");
}

void afLabel::setFont(const afFont* font) {
    m_font = font;
    changed("afLabel::setFont");
}

void afLabel::setWrapMode(int mode) {
    m_wrapMode = mode;
    changed("afLabel::setWrapMode");
}

void afLabel::setVisualStyle(int style) {
    m_visualStyle = style;
    if (style >= 0 && style < VISUAL_STYLE_COUNT) {
        m_textColor = VISUAL_STYLES[style].color;
        if (afResources::exists())
            m_font = &afResources::getFont(VISUAL_STYLES[style].font);
    }
    changed("afLabel::setVisualStyle");
}

void afLabel::setAlignment(int alignment) {
    m_alignment = alignment;
    invalidate();
}

void afLabel::setTextColor(int colorIndex) {
    m_textColor = colorIndex;
    invalidate();
}

void afLabel::setDisplayAttributes(int alignment, int textColor) {
    setAlignment(alignment);
    setTextColor(textColor);
}

bool afLabel::isMnemonic(wchar_t character) const {
    wchar_t upper[2] = {character, 0};
    CharUpperBuffW(upper, 1);
    return m_mnemonic != 0 && upper[0] == m_mnemonic;
}

bool afLabel::onMnemonic(wchar_t) {
    requestFocus();
    return true;
}

void afLabel::requestFocus() {
    if (m_partner) {
        takeFocus(m_partner);
        return;
    }
    if (afView* parent = getParent())
        parent->requestFocus();
}

void afLabel::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    int width = 0;
    int height = 0;
    int iconSize = m_icon ? m_icon->getSize() : 0;
    if (!m_text.empty()) {
        std::unique_ptr<afCanvas> canvas = getCanvas();
        if (canvas) {
            canvas->saveState();
            if (m_font && m_font->getHandle())
                canvas->selectObject(m_font->getHandle());
            int limit = 0;
            if (m_wrapMode == WRAP_WORDS && afMeasureSpec::getMode(widthSpec) != afMeasureSpec::UNSPECIFIED) {
                const afRect& padding = getPadding();
                limit = afMeasureSpec::getSize(widthSpec) - padding.left - padding.right;
                if (m_icon)
                    limit -= iconSize + ICON_SPACING;
                limit = std::max(limit, 1);
            }
            SIZE extent = canvas->measureText(m_text, limit);
            canvas->restoreState();
            width = extent.cx;
            height = extent.cy;
        }
    }
    if (m_icon) {
        width += m_text.empty() ? iconSize : iconSize + ICON_SPACING;
        height = std::max(height, iconSize);
    }
    const afRect& padding = getPadding();
    width += padding.left + padding.right;
    height += padding.top + padding.bottom;
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

UINT afLabel::textFormat() const {
    if (m_wrapMode == WRAP_WORDS)
        return DT_WORDBREAK;
    UINT format = DT_SINGLELINE;
    if (m_alignment & ALIGN_VCENTER)
        format |= DT_VCENTER;
    switch (m_alignment & 7) {
    case ALIGN_CENTER:
        format |= DT_CENTER;
        break;
    case ALIGN_RIGHT:
        format |= DT_RIGHT;
        break;
    default:
        format |= DT_LEFT;
        break;
    }
    format |= m_wrapMode == WRAP_PATH_ELLIPSIS ? DT_PATH_ELLIPSIS : DT_WORD_ELLIPSIS;
    return format;
}

bool afLabel::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas)
        return false;
    afRect frame = getFrame();
    afRect area(0, 0, frame.width(), frame.height());
    area.applyInsets(getPadding(), false);
    if (m_icon) {
        int size = m_icon->getSize();
        afRect iconArea(area.left, area.top, area.left + size, area.bottom);
        canvas->drawIcon(iconArea, *m_icon, afCanvas::GRAVITY_LEFT);
        area.left += size + m_iconGap;
    }
    if (m_text.empty())
        return true;
    canvas->saveState();
    if (m_font && m_font->getHandle())
        canvas->selectObject(m_font->getHandle());
    bool known = afResources::exists() && m_textColor >= 0 && m_textColor < afResources::COLOR_COUNT;
    COLORREF color = known ? afResources::getColor(m_textColor) : GetSysColor(COLOR_WINDOWTEXT);
    canvas->drawText(m_text, area, color, textFormat());
    canvas->restoreState();
    return true;
}

} // namespace corvel
