#include "corvel/widgets/PreferencesDialog.h"

#include "corvel/widgets/createControl.h"
#include "../controls/takeFocus.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlTabs.h"

namespace corvel {

namespace {

constexpr int PADDING = 10;
constexpr int BUTTON_SPACING = 4;
constexpr int ROW_GRAVITY = 21; // right, vertically centred
// 530 by 620 pixels, before centring over the owner.
constexpr RECT INITIAL_FRAME = {20, 20, 550, 640};

} // namespace

PreferencesDialog::PreferencesDialog(afView* owner, PreferencesManager* manager) : afWindow(owner), m_manager(manager) {
    m_title = L"Preferences";
}

bool PreferencesDialog::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"PreferencesDialog");
    seed.className = L"PreferencesDialog";
    seed.style = WS_CAPTION | WS_SYSMENU; // 0x00C80000
    seed.exStyle = WS_EX_DLGMODALFRAME;
    seed.windowName = getTitle();
    return true;
}

void PreferencesDialog::onCreated() {
    auto* root = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    root->setPadding(PADDING);
    setContentView(root);
    m_tabs = afControlTabs::create(this);
    root->addChild(m_tabs, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 0, 1.0));
    auto* row = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    row->setGravity(ROW_GRAVITY);
    row->setPadding(0, PADDING, 0, 0);
    root->addChild(row, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    auto addButton = [&](const wchar_t* text) {
        afControlButton* button = afControlButton::create(this);
        button->setText(text);
        button->clickCallback.set(this, &PreferencesDialog::onClick);
        auto* params = new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
        params->setMargins(BUTTON_SPACING, 0, 0, 0);
        row->addChild(button, params);
        return button;
    };
    m_apply = addButton(L"&Apply");
    m_ok = addButton(L"&OK");
    m_cancel = addButton(L"&Cancel");
    m_ok->makeDefault();
    afWindow::onCreated();

    if (m_manager)
        m_manager->pageBuilders.invoke(this);
    m_tabs->setCurrentTab(0);
    afRect frame(INITIAL_FRAME);
    if (auto* owner = dynamic_cast<afViewPlatform*>(getOwner()); owner && owner->getHandle())
        owner->centerRect(frame);
    else
        clampToWorkArea(frame);
    setWindowFrame(frame);
    takeFocus(m_ok);
}

void PreferencesDialog::addPage(afViewPlatform* page) {
    if (m_tabs && page)
        m_tabs->addTab(page->getText(), page);
}

void PreferencesDialog::onClick(void* self, afControlButton* button) {
    auto* dialog = static_cast<PreferencesDialog*>(self);
    PreferencesManager* manager = dialog->m_manager;
    if (button == dialog->m_apply) {
        if (manager)
            manager->applyHandlers.invokeWhileTrue();
    } else if (button == dialog->m_ok) {
        if (!manager || manager->applyHandlers.invokeWhileTrue())
            dialog->close(RESULT_OK);
    } else if (button == dialog->m_cancel) {
        if (!manager || manager->cancelHandlers.invokeWhileTrue())
            dialog->close(RESULT_CANCEL);
    }
}

void PreferencesDialog::onDestroy() {
    if (m_manager)
        m_manager->pageClosers.invoke(this);
    afWindow::onDestroy();
}

} // namespace corvel
