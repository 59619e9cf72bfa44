#include "corvel/widgets/afLabel.h"
#include "WidgetHost.h"
#include "corvel/ui/afFont.h"
#include "corvel/ui/afIcon.h"
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afSpinner.h"

#include <gtest/gtest.h>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

struct CountingLabel : afLabel {
    using afLabel::afLabel;
    void requestLayout(const char*) override { ++layoutRequests; }
    int layoutRequests = 0;
};

TEST(LabelTest, MnemonicIsTheUpperCaseCharacterAfterTheFirstAmpersand) {
    const struct {
        const wchar_t* text;
        wchar_t mnemonic;
    } cases[] = {{L"&name", L'N'}, {L"Save &all", L'A'}, {L"a&&b", L'&'}, {L"plain", 0}, {L"end&", 0}, {L"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.mnemonic, afLabel::mnemonicOf(c.text)) << ::testing::PrintToString(c.text);
}

TEST(LabelTest, VisualStylesPickFontAndColour) {
    HostWindow host;
    afLabel label(&host);
    EXPECT_EQ(2, label.getVisualStyle());
    EXPECT_EQ(28, label.getTextColor());
    EXPECT_EQ(19, label.getAlignment());
    const struct { int style, font, color; } cases[] = {{0, 4, 29}, {1, 4, 28}, {2, 0, 28}, {3, 0, 6}, {4, 0, 30}};
    for (const auto& c : cases) {
        label.setVisualStyle(c.style);
        EXPECT_EQ(afResources::getFont(c.font).getHandle(), label.getFont()->getHandle()) << c.style;
        EXPECT_EQ(c.color, label.getTextColor()) << c.style;
    }
    label.setVisualStyle(9); // unknown: keeps font and colour
    EXPECT_EQ(30, label.getTextColor());
    EXPECT_EQ(afResources::getFont(0).getHandle(), label.getFont()->getHandle());
}

TEST(LabelTest, AnUnchangedTextRequestsNoLayout) {
    HostWindow host;
    CountingLabel label(&host);
    label.setText(L"&Find");
    EXPECT_EQ(1, label.layoutRequests);
    label.setText(L"&Find");
    EXPECT_EQ(1, label.layoutRequests);
    EXPECT_EQ(L'F', label.getMnemonic());
    EXPECT_TRUE(label.isMnemonic(L'f'));
}

TEST(LabelTest, TheMnemonicFocusesThePartnerElseTheParent) {
    HostWindow host;
    ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
    afContainer* panel = afContainer::create(&host);
    afControlCheckBox* first = afControlCheckBox::create(panel);
    afControlCheckBox* partner = afControlCheckBox::create(panel);
    afLabel* label = afLabel::create(panel);
    panel->appendChild(label);
    label->setText(L"&Name");
    label->setPartner(partner);
    SetFocus(host.getHandle());
    EXPECT_TRUE(label->onMnemonic(L'N'));
    EXPECT_EQ(partner->getHandle(), GetFocus());
    label->setPartner(nullptr);
    label->onMnemonic(L'N');
    EXPECT_EQ(first->getHandle(), GetFocus()); // the panel's first tab stop
    EXPECT_EQ(nullptr, afLabel::create(nullptr));
}

TEST(LabelTest, MeasuringMakesRoomForTheIcon) {
    HostWindow host;
    afLabel* label = afLabel::create(&host);
    label->setText(L"Some text");
    label->measure(0, 0);
    int textWidth = label->getMeasuredWidth();
    int textHeight = label->getMeasuredHeight();
    ASSERT_GT(textWidth, 0);
    afIcon icon(110, 32);
    label->setIcon(&icon, 4);
    label->measure(0, 0);
    EXPECT_EQ(textWidth + 32 + 5, label->getMeasuredWidth());
    EXPECT_EQ(std::max(textHeight, 32), label->getMeasuredHeight());
    label->setText(L"");
    label->setPadding(2, 3, 4, 5);
    label->measure(0, 0);
    EXPECT_EQ(32 + 6, label->getMeasuredWidth());
    EXPECT_EQ(32 + 8, label->getMeasuredHeight());
    label->measure(afMeasureSpec::make(afMeasureSpec::AT_MOST, 20), afMeasureSpec::make(afMeasureSpec::EXACTLY, 50));
    EXPECT_EQ(20, label->getMeasuredWidth());
    EXPECT_EQ(50, label->getMeasuredHeight());
}

TEST(SpinnerTest, SpinnersShareOneSetOfFramesAndAnimate) {
    HostWindow host;
    ASSERT_FALSE(afSpinner::framesLoaded());
    auto* first = new afSpinner(&host);
    auto* second = new afSpinner(&host);
    EXPECT_TRUE(afSpinner::framesLoaded());
    EXPECT_EQ(2, afSpinner::getInstanceCount());
    EXPECT_TRUE(widgetstest::pumpUntil([&] { return first->getFrameIndex() >= 2; }));
    delete first;
    EXPECT_TRUE(afSpinner::framesLoaded());
    delete second;
    EXPECT_FALSE(afSpinner::framesLoaded());
    EXPECT_EQ(nullptr, afSpinner::create(nullptr));
}

TEST(SpinnerTest, MeasuresSixteenPixelsAndPadding) {
    HostWindow host;
    afSpinner spinner(&host);
    spinner.setPadding(1, 2, 3, 4);
    spinner.measure(0, afMeasureSpec::make(afMeasureSpec::AT_MOST, 10));
    EXPECT_EQ(20, spinner.getMeasuredWidth());
    EXPECT_EQ(10, spinner.getMeasuredHeight());
}

} // namespace
