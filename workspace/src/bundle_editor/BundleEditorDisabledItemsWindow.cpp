#include "corvel/workspace/BundleEditorDisabledItemsWindow.h"

#include "RegisteredIcon.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afControlLister.h"
#include "corvel/widgets/afMenu.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/base/Format.h"

#include <algorithm>
#include <windowsx.h>

namespace corvel {

namespace {

const wchar_t EMPTY_TEXT[] = L"There are no disabled items.";
constexpr UINT LINE_FORMAT = DT_VCENTER | DT_SINGLELINE;
constexpr unsigned RIGHT_BUTTON = 2;

} // namespace

BundleEditorDisabledItemsWindow::BundleEditorDisabledItemsWindow(afView* parent, BundleManager* manager)
    : afContainer(parent), m_manager(manager) {}

BundleEditorDisabledItemsWindow::~BundleEditorDisabledItemsWindow() {
    unsubscribe();
}

void BundleEditorDisabledItemsWindow::onCreated() {
    afContainer::onCreated();
    auto* layout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(layout);
    m_lister = afControlLister::create(this);
    m_lister->setVisible(true);
    m_lister->setEmptyText(EMPTY_TEXT);
    m_lister->drawItemCallback.set(this, &BundleEditorDisabledItemsWindow::drawItem);
    m_lister->measureItemCallback.set(this, &BundleEditorDisabledItemsWindow::measureItem);
    m_lister->contextMenuCallback.set(this, &BundleEditorDisabledItemsWindow::onContextMenu);
    layout->addChild(m_lister, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT));
    if (!m_manager)
        return;
    m_manager->onDisabledChanged.add(&BundleEditorDisabledItemsWindow::onDisabledChanged, this);
    m_subscribed = true;
    refresh();
}

void BundleEditorDisabledItemsWindow::onBeforeDestroy() {
    unsubscribe();
    m_lister = nullptr; // going with its window
    afContainer::onBeforeDestroy();
}

void BundleEditorDisabledItemsWindow::unsubscribe() {
    if (!m_subscribed)
        return;
    m_subscribed = false;
    m_manager->onDisabledChanged.remove(&BundleEditorDisabledItemsWindow::onDisabledChanged, this);
}

void BundleEditorDisabledItemsWindow::refresh() {
    m_records.clear();
    if (m_manager)
        m_manager->getDisabledEntries(m_records);
    if (m_lister)
        m_lister->setCount(static_cast<int>(m_records.size()), true);
}

void BundleEditorDisabledItemsWindow::onDisabledChanged(void* self, BundleManager*) {
    try {
        static_cast<BundleEditorDisabledItemsWindow*>(self)->refresh();
    } catch (const zem::Exception& e) {
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"BundleEditorDisabledItemsWindow: %s\n",
                        text.c_str());
    }
}

// --- rows ---

std::wstring BundleEditorDisabledItemsWindow::detailOf(const DisabledEntryRecord& record) {
    if (record.typeId == BUNDLE_TYPE_ID)
        return zem::format(L"Count of items: %d", record.childrenCount);
    return zem::format(L"Bundle: %s", record.bundleTitle.c_str());
}

int BundleEditorDisabledItemsWindow::rowHeight(const TEXTMETRICW& metrics) {
    int line = std::max(static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading), MIN_LINE_HEIGHT);
    return 2 * line + 6;
}

bool BundleEditorDisabledItemsWindow::measureItem(void*, afControlLister* lister, int, bool, afCanvas* canvas,
                                                  int& width, int& height) {
    if (!canvas)
        return false;
    height = rowHeight(canvas->getTextMetrics());
    RECT client{};
    if (lister->getHandle())
        GetClientRect(lister->getHandle(), &client);
    width = client.right - client.left;
    return true;
}

void BundleEditorDisabledItemsWindow::drawItem(void* self, afControlLister* lister, int index, bool selected,
                                               afCanvas* canvas, const afRect& rect, bool) {
    auto* me = static_cast<BundleEditorDisabledItemsWindow*>(self);
    if (!canvas || index < 0 || index >= static_cast<int>(me->m_records.size()))
        return;
    const DisabledEntryRecord& record = me->m_records[static_cast<size_t>(index)];
    // A record of a kind no longer registered has nothing to show it with.
    if (!me->m_manager || !me->m_manager->getEntryManager(record.typeId))
        return;
    canvas->fillRect(GetSysColor(COLOR_WINDOW), rect);
    if (const afIcon* icon = registeredIcon(record.typeId)) {
        int size = icon->getSize();
        afRect place(rect.left + ICON_LEFT, rect.top + ICON_TOP, rect.left + ICON_LEFT + size,
                     rect.top + ICON_TOP + size);
        canvas->drawIcon(place, *icon, afCanvas::GRAVITY_CENTER);
    }
    afRect area(rect.left + TEXT_LEFT, rect.top + 1, rect.right - 1, rect.bottom - 1);
    if (selected)
        lister->drawItemSelection(area, *canvas);
    COLORREF text = 0;
    COLORREF secondary = 0;
    lister->getItemColors(selected, text, secondary);
    int middle = area.top + (area.bottom - area.top) / 2;
    afRect first(area.left + TEXT_INSET, area.top + 2, area.right - TEXT_INSET, middle);
    afRect second(area.left + TEXT_INSET, middle, area.right - TEXT_INSET, area.bottom);
    canvas->drawText(record.title, first, text, LINE_FORMAT | DT_NOPREFIX);
    canvas->drawText(detailOf(record), second, secondary, LINE_FORMAT | DT_NOPREFIX);
}

// --- context menu ---

void BundleEditorDisabledItemsWindow::onContextMenu(void* self, afControlLister* lister, int index, afEvent* event) {
    auto* me = static_cast<BundleEditorDisabledItemsWindow*>(self);
    try {
        POINT point{GET_X_LPARAM(event->lParam), GET_Y_LPARAM(event->lParam)};
        ClientToScreen(lister->getHandle(), &point);
        me->showMenu(index, point.x, point.y);
    } catch (const zem::Exception& e) {
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"BundleEditorDisabledItemsWindow: %s\n",
                        text.c_str());
    }
}

void BundleEditorDisabledItemsWindow::showMenu(int index, int x, int y) {
    if (index < 0 || index >= static_cast<int>(m_records.size()))
        return;
    zem::Uuid uuid = m_records[static_cast<size_t>(index)].uuid;
    std::unique_ptr<afMenu> menu(afMenu::createPopup(L""));
    if (!menu)
        return;
    afMenuItem* enable = menu->addItem(new afMenuItem(L"&Enable"));
    if (runMenu(menu.get(), x, y) == enable)
        m_manager->enableEntry(uuid);
}

afMenuNode* BundleEditorDisabledItemsWindow::runMenu(afMenu* menu, int x, int y) {
    return menu->popup(getHandle(), x, y, false);
}

} // namespace corvel
