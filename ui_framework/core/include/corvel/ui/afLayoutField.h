// A labelled form row: a content row holding a caption label, the field's controls and
// a help label. The labels come from the widget kit (afApp::setWidgetKit).
#pragma once
#include "corvel/ui/afLayoutLinear.h"

#include <string>

namespace corvel {

class afILabel;

class afLayoutField : public afLayoutLinear {
public:
    explicit afLayoutField(afView* owner);

    // The content row (horizontal), appended with width fill and height wrap.
    afLayoutLinear* createContent();
    afLayoutLinear* getContent() const { return m_content; }
    // The caption at the start of the content row, made on first use. Throws
    // IllegalStateException "No widget kit to make labels." without a kit.
    afILabel* setLabel(const std::wstring& text);
    // The help label at the end of the content row, made on first use.
    afILabel* setHelpText(const std::wstring& text, int style);
    const std::wstring& getHelpText() const { return m_helpText; }
    int getHelpStyle() const { return m_helpStyle; }

private:
    afILabel* makeLabel();

    afLayoutLinear* m_content = nullptr;
    afILabel* m_caption = nullptr;
    afILabel* m_help = nullptr;
    int m_helpStyle = 5;
    std::wstring m_helpText;
};

} // namespace corvel
