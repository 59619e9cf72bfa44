#include "corvel/workspace/InlineMessage.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afLabel.h"

namespace corvel {

namespace {

constexpr int PADDING_LEFT = 20;
constexpr int PADDING = 5;
constexpr int CONTENT_GRAVITY = 0x13; // left, vertically centred
constexpr int BUTTON_GRAVITY = 0x15;  // right, vertically centred
constexpr int FRAME_COLOR = 5;

} // namespace

InlineMessage::InlineMessage(afView* owner)
    : afLayoutLinear(owner, HORIZONTAL), m_content(new afLayoutLinear(owner, VERTICAL)),
      m_buttons(new afLayoutLinear(owner, HORIZONTAL)) {
    setWeightSum(-1.0);
    setGravity(GRAVITY_LEFT | GRAVITY_TOP);
    setPadding(PADDING_LEFT, PADDING, PADDING, PADDING);
    m_content->setGravity(CONTENT_GRAVITY);
    m_buttons->setGravity(BUTTON_GRAVITY);
    // Texts and buttons share the spare width: the buttons keep to the right edge.
    const int wrap = afLayoutParams::WRAP_CONTENT;
    addChild(m_content, new afLayoutParamsLinear(wrap, afLayoutParams::FILL_PARENT, 1.0));
    addChild(m_buttons, new afLayoutParamsLinear(wrap, afLayoutParams::FILL_PARENT, 1.0));
}

const wchar_t* InlineMessage::getTypeName() const {
    return L"ui.inline_message";
}

void InlineMessage::setStyle(int style) {
    if (style == m_style)
        return;
    m_style = style;
    invalidate();
}

bool InlineMessage::onDraw(afCanvas* canvas, afCanvasRegion*) {
    WidgetPalette* palette = WidgetPalette::instance();
    if (!canvas || !palette)
        return false;
    // The canvas origin is the bar's top left corner.
    afRect frame = getClientFrame();
    RECT rect{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    if (m_style != 0)
        palette->fill(m_style, *canvas, rect);
    // The frame: a line where the bar meets the editor below it.
    canvas->drawLine(palette->color(FRAME_COLOR), rect.left, rect.bottom - 1, rect.right, rect.bottom - 1);
    return true;
}

afLabel* InlineMessage::addText(const std::wstring& text) {
    auto* label = new afLabel(getOwner());
    label->setText(text);
    m_content->addChild(label, new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT));
    return label;
}

afControlButton* InlineMessage::addButton(const std::wstring& text) {
    afControlButton* button = afControlButton::create(getOwner());
    if (!button)
        return nullptr;
    button->setText(text.c_str());
    auto* params = new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
    params->setMargins(BUTTON_MARGIN, BUTTON_MARGIN, BUTTON_MARGIN, BUTTON_MARGIN);
    m_buttons->addChild(button, params);
    return button;
}

} // namespace corvel
