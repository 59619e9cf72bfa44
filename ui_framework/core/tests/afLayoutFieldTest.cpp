#include "corvel/ui/afLayoutField.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afViewVirtual.h"
#include "corvel/ui/afWidgetKit.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

class FakeLabel : public afViewVirtual, public afILabel {
public:
    explicit FakeLabel(afView* owner) : afViewVirtual(owner) {}
    afView* getView() override { return this; }
    void setText(const std::wstring& t) override { text = t; }
    void setVisualStyle(int s) override { style = s; }
    void setLabelFont(const afFont&) override {}
    void setDisplayAttributes(int a, int b) override { attributes = a * 10 + b; }
    std::wstring text;
    int style = 0;
    int attributes = 0;
};

class LabelKit : public afIWidgetKit {
public:
    std::unique_ptr<afIClipboard> createClipboard() override { return nullptr; }
    std::unique_ptr<afIActionRegistry> createActionRegistry() override { return nullptr; }
    std::unique_ptr<afIKeyInvoker> createKeyInvoker(afIActionRegistry&) override { return nullptr; }
    afILabel* createLabel(afView* owner) override { return new FakeLabel(owner); }
};

TEST(FieldRow, CaptionFirstHelpLast) {
    LabelKit kit;
    afApp::setWidgetKit(&kit);
    afLayoutField field(nullptr);
    afLayoutLinear* content = field.createContent();
    EXPECT_EQ(afLayoutParams::FILL_PARENT, content->getLayoutParams()->width);
    auto* control = new afViewVirtual(&field);
    content->addChild(control, new afLayoutParamsLinear(40, 20));
    auto* help = static_cast<FakeLabel*>(field.setHelpText(L"Saved on close", 7));
    auto* caption = static_cast<FakeLabel*>(field.setLabel(L"Name:"));
    EXPECT_EQ(caption, field.setLabel(L"Title:")); // made once
    EXPECT_EQ(L"Title:", caption->text);
    EXPECT_EQ(3, caption->style);
    EXPECT_EQ(10, caption->getPadding().right);
    EXPECT_EQ(3, static_cast<afLayoutParamsLinear*>(caption->getLayoutParams())->gravity);
    EXPECT_EQ(7, help->style);
    EXPECT_EQ(36, help->attributes);
    ASSERT_EQ(3, content->getChildCount());
    EXPECT_EQ(caption, content->getChildAt(0));
    EXPECT_EQ(control, content->getChildAt(1));
    EXPECT_EQ(help, content->getChildAt(2));
    field.setHelpText(L"Again", 5);
    EXPECT_EQ(5, help->style);
    EXPECT_EQ(L"Again", field.getHelpText());
    for (afView* child : std::vector<afView*>(content->getChildren()))
        content->removeChild(child);
    field.removeChild(content);
    afApp::setWidgetKit(nullptr);
}

TEST(FieldRow, LabelsNeedAKit) {
    afApp::setWidgetKit(nullptr);
    afLayoutField field(nullptr);
    try {
        field.setLabel(L"x");
        FAIL();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"No widget kit to make labels.", e.message());
    }
    field.removeChild(field.getContent());
}

} // namespace
