#include "corvel/ui/afLayoutField.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidgetKit.h"
#include "zem/base/Exception.h"

namespace corvel {

afLayoutField::afLayoutField(afView* owner) : afLayoutLinear(owner, VERTICAL) {}

afLayoutLinear* afLayoutField::createContent() {
    if (m_content)
        return m_content;
    m_content = new afLayoutLinear(this, HORIZONTAL);
    addChild(m_content, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    return m_content;
}

afILabel* afLayoutField::makeLabel() {
    afIWidgetKit* kit = afApp::getWidgetKit();
    afILabel* label = kit ? kit->createLabel(this) : nullptr;
    if (!label)
        throw zem::IllegalStateException(L"No widget kit to make labels.");
    return label;
}

afILabel* afLayoutField::setLabel(const std::wstring& text) {
    if (!m_caption) {
        afLayoutLinear* content = createContent();
        m_caption = makeLabel();
        auto* params = new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
        params->gravity = GRAVITY_LEFT;
        content->addChild(m_caption->getView(), params, 0);
        m_caption->setVisualStyle(3);
        m_caption->getView()->setPadding(0, 0, 10, 5);
    }
    m_caption->setText(text);
    return m_caption;
}

afILabel* afLayoutField::setHelpText(const std::wstring& text, int style) {
    if (!m_help) {
        afLayoutLinear* content = createContent();
        m_help = makeLabel();
        content->addChild(m_help->getView(),
                          new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT), -1);
    }
    m_help->setVisualStyle(style);
    if (afResources::exists())
        m_help->setLabelFont(afResources::getFont(0));
    m_help->setDisplayAttributes(3, 6);
    m_help->getView()->needLayout("afLabel::setVisualStyle");
    m_help->setText(text);
    m_helpText = text;
    m_helpStyle = style;
    return m_help;
}

} // namespace corvel
