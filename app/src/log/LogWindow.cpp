#include "corvel/app/LogWindow.h"

#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afImageList.h"

namespace corvel {

namespace {

constexpr int FIRST_LEVEL_ICON = 15; // the standard icons 15 to 19 fill the image list

} // namespace

LogWindow::LogWindow(afView* parent) : afContainer(parent) {}

LogWindow* LogWindow::create(afView* parent) {
    if (!parent)
        return nullptr;
    LogWindow* window = new LogWindow(parent);
    window->afViewPlatform::create();
    return window;
}

void LogWindow::onCreated() {
    afContainer::onCreated();
    auto* layout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(layout);
    m_list = afControlListView::create(this);
    m_list->setFullRowSelect();
    m_list->setVisible(true);
    m_list->addColumn(L"Message", 300);
    m_list->addColumn(L"Channel", 100);
    layout->addChild(m_list, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT));
    afImageList icons;
    if (icons.create()) {
        for (int i = 0; i < ICON_COUNT; ++i)
            m_icons[i] = icons.addIcon(afResources::getIcon(FIRST_LEVEL_ICON + i).getHandle());
        m_list->setImageList(icons.release(), true);
    }
    // No replay: the tab shows what happens from now on, not the start-up's history.
    zem::LogManager_Impl::instance().addListener(this, false);
}

void LogWindow::onBeforeDestroy() {
    zem::LogManager_Impl::instance().removeListener(this);
    afContainer::onBeforeDestroy();
}

int LogWindow::getIconIndex(int level) const {
    switch (level) {
    case zem::LOG_INFO:
        return m_icons[ICON_INFO];
    case zem::LOG_WARNING:
        return m_icons[ICON_WARNING];
    case zem::LOG_ERROR:
    case zem::LOG_CRITICAL:
        return m_icons[ICON_ERROR];
    default:
        return m_icons[ICON_OTHER];
    }
}

void LogWindow::onSerializedLog(zem::LogMessage* message) {
    if (message->level() == zem::LOG_DEBUG || !m_list)
        return;
    m_list->insertItem(message->text(), getIconIndex(message->level()));
    const wchar_t* source = message->sourceName();
    m_list->setItemText(source ? source : L"");
}

} // namespace corvel
