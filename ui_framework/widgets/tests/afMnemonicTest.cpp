#include "WidgetHost.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

struct Clicks {
    int count = 0;
    static void onClick(void* self, afControlButton*) { ++static_cast<Clicks*>(self)->count; }
};

// Alt+character as the window's pre-translation sees it.
bool altCharacter(afWindow& window, wchar_t character) {
    MSG msg{};
    msg.hwnd = window.getHandle();
    msg.message = WM_SYSCHAR;
    msg.wParam = character;
    msg.lParam = 1 << 29;
    return window.preTranslate(&msg);
}

TEST(MnemonicTest, AWindowRoutesMnemonicsToLabelsAndButtons) {
    afWindow window(nullptr);
    uitest::WithResources resources;
    window.create();
    ShowWindow(window.getHandle(), SW_SHOWNOACTIVATE);
    auto* column = new afLayoutLinear(&window, afLayoutLinear::VERTICAL);
    window.setContentView(column);
    afLabel* label = afLabel::create(&window);
    label->setText(L"&Name");
    column->addChild(label);
    afControlEdit* edit = afControlEdit::create(&window);
    column->addChild(edit);
    label->setPartner(edit);
    afControlButton* button = afControlButton::create(&window);
    button->setText(L"&Go");
    column->addChild(button);
    Clicks clicks;
    button->clickCallback.set(&clicks, &Clicks::onClick);
    SetFocus(window.getHandle());
    EXPECT_TRUE(altCharacter(window, L'n'));
    EXPECT_EQ(edit->getHandle(), GetFocus());
    EXPECT_TRUE(altCharacter(window, L'g'));
    EXPECT_EQ(1, clicks.count);
    EXPECT_EQ(button->getHandle(), GetFocus());
    DestroyWindow(window.getHandle());
}

} // namespace
