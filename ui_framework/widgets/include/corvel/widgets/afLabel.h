// A windowless text with an optional icon, a visual style and a wrap mode; typing its
// mnemonic hands the focus to its partner control.
#pragma once
#include "corvel/ui/afViewVirtual.h"
#include "corvel/ui/afWidgetKit.h"

#include <string>

namespace corvel {

class afFont;
class afIcon;
class afViewPlatform;

class afLabel : public afViewVirtual, public afILabel {
public:
    enum : int { ALIGN_CENTER = 1, ALIGN_LEFT = 3, ALIGN_RIGHT = 5, ALIGN_VCENTER = 0x10 };
    enum : int { WRAP_ELLIPSIS = 0, WRAP_PATH_ELLIPSIS = 1, WRAP_WORDS = 2 };

    explicit afLabel(afView* parent);

    // Null for a null parent.
    static afLabel* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool isMnemonic(wchar_t character) const override;
    bool onMnemonic(wchar_t character) override;
    // Goes to the partner, else to the parent.
    void requestFocus() override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // afILabel
    afView* getView() override { return this; }
    void setText(const std::wstring& text) override;
    void setVisualStyle(int style) override;
    void setLabelFont(const afFont& font) override { setFont(&font); }
    void setDisplayAttributes(int alignment, int textColor) override;

    void setIcon(const afIcon* icon, int gap);
    void setFont(const afFont* font);
    void setWrapMode(int mode);
    void setAlignment(int alignment);
    // A colour index of the framework's colour table.
    void setTextColor(int colorIndex);
    void setPartner(afViewPlatform* partner) { m_partner = partner; }

    const std::wstring& getText() const { return m_text; }
    wchar_t getMnemonic() const { return m_mnemonic; }
    int getVisualStyle() const { return m_visualStyle; }
    int getAlignment() const { return m_alignment; }
    int getTextColor() const { return m_textColor; }
    int getWrapMode() const { return m_wrapMode; }
    const afFont* getFont() const { return m_font; }
    afViewPlatform* getPartner() const { return m_partner; }

    // The upper-case character after the first "&" of text ("a&&b" gives "&"), 0 for none.
    static wchar_t mnemonicOf(const std::wstring& text);

private:
    void changed(const char* reason);
    UINT textFormat() const;

    int m_alignment = ALIGN_LEFT | ALIGN_VCENTER;
    const afIcon* m_icon = nullptr;
    int m_iconGap = 0;
    int m_visualStyle = 2;
    const afFont* m_font = nullptr;
    int m_textColor = 28;
    std::wstring m_text;
    wchar_t m_mnemonic = 0;
    int m_wrapMode = WRAP_ELLIPSIS;
    afViewPlatform* m_partner = nullptr;
};

} // namespace corvel
