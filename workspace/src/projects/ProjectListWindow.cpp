#include "corvel/projects/ProjectListWindow.h"

#include "ProjectIcons.h"
#include "corvel/document/ScopePath.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afControlLister.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"
#include "corvel/widgets/afMenu.h"

#include <cwchar>
#include <memory>

#include <windowsx.h>

namespace corvel {

namespace {

constexpr int SIDE_INSET = 5;
constexpr int ICON_SPACE = 18;
constexpr int MIN_TEXT_HEIGHT = 16;
constexpr int SMALL_ROW = 22;
constexpr int ROW_PADDING = 6;
constexpr int STAR_COLUMN = 20;
constexpr unsigned LEFT_BUTTON = 1;

void drawRegisteredIcon(afCanvas& canvas, const RECT& rect, uint32_t id) {
    if (const afIcon* icon = projecticons::find(id))
        canvas.drawIcon(rect, *icon, afCanvas::GRAVITY_CENTER);
}

// The lister with a click listener: after it selected the row, the window hears where.
class StarLister : public afControlLister {
public:
    StarLister(afView* parent, ProjectListWindow* list) : afControlLister(parent), m_list(list) {}

    bool onMouseDown(afEvent* event) override {
        bool handled = afControlLister::onMouseDown(event);
        if (event->getDetail() == LEFT_BUTTON)
            m_list->onClick(GET_X_LPARAM(event->lParam), GET_Y_LPARAM(event->lParam));
        return handled;
    }
    bool onMouseMove(afEvent* event) override {
        bool handled = afControlLister::onMouseMove(event);
        m_list->onHover(GET_X_LPARAM(event->lParam), GET_Y_LPARAM(event->lParam));
        return handled;
    }
    bool onMouseLeave(afEvent* event) override {
        bool handled = afControlLister::onMouseLeave(event);
        m_list->onHover(-1, -1);
        return handled;
    }

private:
    ProjectListWindow* m_list;
};

} // namespace

ProjectListWindow::ProjectListWindow(afView* parent, ProjectManager* manager)
    : afContainer(parent), m_manager(manager) {
    m_manager->listChanged.add(&ProjectListWindow::onListChanged, this);
    m_manager->starredChanged.add(&ProjectListWindow::onInfoChanged, this);
    m_manager->titleChanged.add(&ProjectListWindow::onInfoChanged, this);
}

ProjectListWindow::~ProjectListWindow() {
    m_manager->listChanged.remove(&ProjectListWindow::onListChanged, this);
    m_manager->starredChanged.remove(&ProjectListWindow::onInfoChanged, this);
    m_manager->titleChanged.remove(&ProjectListWindow::onInfoChanged, this);
}

void ProjectListWindow::onCreated() {
    afContainer::onCreated();
    auto* layout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(layout);
    m_lister = new StarLister(this, this);
    m_lister->afViewPlatform::create();
    m_lister->setVisible(true);
    m_lister->setEmptyText(L"Drop some files or folders here to create a new project.");
    m_lister->drawItemCallback.set(this, &ProjectListWindow::drawItem);
    m_lister->measureItemCallback.set(this, &ProjectListWindow::measureItem);
    m_lister->itemActivatedCallback.set(this, &ProjectListWindow::onActivated);
    m_lister->contextMenuCallback.set(this, &ProjectListWindow::onContextMenu);
    // Files from the shell: the composite takes the file list the drop offers.
    auto* composite = new afDataObjectComposite();
    m_dropFiles = new afDataObjectFiles();
    composite->addPart(m_dropFiles, true);
    auto* target = new afDropTarget(composite, true);
    target->setView(m_lister);
    target->enterCallback = afDropTarget::ActionCallback(this, &ProjectListWindow::onDragDecide);
    target->overCallback = afDropTarget::ActionCallback(this, &ProjectListWindow::onDragDecide);
    target->dropCallback = afDropTarget::ActionCallback(this, &ProjectListWindow::onDropData);
    m_lister->setDropTarget(target);
    layout->addChild(m_lister, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT));
    refresh();
}

void ProjectListWindow::addScopeEntries(ScopePath& path) {
    if (ProjectInfo* info = getSelectedProject())
        path.push(L"ui.data.project", info);
}

void ProjectListWindow::refresh() {
    m_rows = m_manager->getProjects();
    if (m_lister)
        m_lister->setCount(static_cast<int>(m_rows.size()), true);
    m_hoveredStar = -1;
}

ProjectInfo* ProjectListWindow::getSelectedProject() const {
    int index = m_lister ? m_lister->getSelection() : -1;
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_rows[static_cast<size_t>(index)];
}

void ProjectListWindow::onClick(int x, int y) {
    if (!m_lister || !m_lister->getHandle())
        return;
    RECT client;
    GetClientRect(m_lister->getHandle(), &client);
    int row = m_lister->itemAtY(y);
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || x < client.right - STAR_COLUMN)
        return;
    ProjectInfo* info = m_rows[static_cast<size_t>(row)];
    m_manager->setStarred(info, !info->isStarred());
    m_lister->invalidateItem(row);
}

void ProjectListWindow::onHover(int x, int y) {
    int row = -1;
    if (m_lister && m_lister->getHandle() && y >= 0) {
        RECT client;
        GetClientRect(m_lister->getHandle(), &client);
        row = x >= client.right - STAR_COLUMN ? m_lister->itemAtY(y) : -1;
        if (row >= static_cast<int>(m_rows.size()))
            row = -1;
    }
    if (row == m_hoveredStar)
        return;
    int old = m_hoveredStar;
    m_hoveredStar = row;
    if (old >= 0)
        m_lister->invalidateItem(old);
    if (row >= 0)
        m_lister->invalidateItem(row);
}

afMenu* ProjectListWindow::buildContextMenu() {
    afMenu* menu = afMenu::createPopup(std::wstring());
    if (!menu)
        return nullptr;
    menu->addItem(new afActionMenuItem(L"&New project", L"project.new.default"));
    menu->addSeparator();
    if (ProjectInfo* info = getSelectedProject()) {
        menu->addItem(new afActionMenuItem(L"&Rename", L"project.rename"));
        if (info->isStarred())
            menu->addItem(new afActionMenuItem(L"Un&star", L"project.unstar"));
        else
            menu->addItem(new afActionMenuItem(L"&Star", L"project.star"));
        menu->addSeparator();
        menu->addItem(new afActionMenuItem(L"Remove", L"project.remove"));
        menu->addSeparator();
    }
    menu->addItem(new afActionMenuItem(L"&Open a project", L"project.open.default"));
    menu->updateItemStates();
    return menu;
}

void ProjectListWindow::showContextMenu(int x, int y) {
    std::unique_ptr<afMenu> menu(buildContextMenu());
    if (!menu || !m_lister)
        return;
    if (auto* item = dynamic_cast<afActionMenuItem*>(menu->popup(m_lister->getHandle(), x, y, false)))
        item->execute(&getScopePath());
}

void ProjectListWindow::onContextMenu(void* self, afControlLister* lister, int, afEvent* event) {
    POINT point{GET_X_LPARAM(event->lParam), GET_Y_LPARAM(event->lParam)};
    ClientToScreen(lister->getHandle(), &point);
    static_cast<ProjectListWindow*>(self)->showContextMenu(point.x, point.y);
}

std::wstring ProjectListWindow::titleForPaths(const std::vector<std::wstring>& paths) {
    const std::wstring fallback = L"New project";
    if (paths.size() != 1)
        return fallback;
    std::wstring path = paths.front();
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    // A drive root has no name of its own.
    if (name.empty() || name.find(L':') != std::wstring::npos)
        return fallback;
    return name;
}

bool ProjectListWindow::dropPaths(const std::vector<std::wstring>& paths) {
    if (paths.empty())
        return false;
    if (paths.size() == 1) {
        const std::wstring& path = paths.front();
        size_t dot = path.find_last_of(L".\\/");
        if (dot != std::wstring::npos && path[dot] == L'.' && _wcsicmp(path.c_str() + dot + 1, L"cvproject") == 0)
            return ProjectInfo::fromFile(m_manager, path) != nullptr;
    }
    ProjectInfo* info = m_manager->createProjectWithPaths(titleForPaths(paths), paths);
    if (!info)
        return false;
    m_manager->showProject(info);
    m_manager->runRenameDialog(info, L"Name your project");
    return true;
}

int ProjectListWindow::onDragDecide(void*, afDropTarget*, afEvent*, int, int) {
    return afDropAction::LINK;
}

int ProjectListWindow::onDropData(void* self, afDropTarget* target, afEvent*, int, int last) {
    auto* me = static_cast<ProjectListWindow*>(self);
    if (last <= afDropAction::NONE || !target->getData() || me->m_dropFiles->isEmpty())
        return afDropAction::NONE;
    std::vector<std::wstring> paths = me->m_dropFiles->getPaths();
    return me->dropPaths(paths) ? last : afDropAction::NONE;
}

void ProjectListWindow::onListChanged(void* self) {
    static_cast<ProjectListWindow*>(self)->refresh();
}

void ProjectListWindow::onInfoChanged(void* self, ProjectInfo*) {
    auto* me = static_cast<ProjectListWindow*>(self);
    if (me->m_lister)
        InvalidateRect(me->m_lister->getHandle(), nullptr, FALSE);
}

bool ProjectListWindow::measureItem(void*, afControlLister*, int, bool, afCanvas* canvas, int&, int& height) {
    if (!canvas)
        return false;
    const TEXTMETRICW& metrics = canvas->getTextMetrics();
    int text = metrics.tmHeight + metrics.tmExternalLeading;
    height = text < MIN_TEXT_HEIGHT ? SMALL_ROW : text + ROW_PADDING;
    return true;
}

void ProjectListWindow::drawItem(void* self, afControlLister* lister, int index, bool selected, afCanvas* canvas,
                                 const afRect& rect, bool) {
    auto* me = static_cast<ProjectListWindow*>(self);
    if (!canvas || index < 0 || index >= static_cast<int>(me->m_rows.size()))
        return;
    ProjectInfo* info = me->m_rows[static_cast<size_t>(index)];
    canvas->fillRect(GetSysColor(COLOR_WINDOW), rect);
    afRect inner(rect.left + SIDE_INSET, rect.top, rect.right - SIDE_INSET, rect.bottom);
    afRect left(inner.left, inner.top, inner.left + ICON_SPACE, inner.bottom);
    drawRegisteredIcon(*canvas, left,
                       info == me->m_manager->getActiveProject() ? projecticons::OPEN_PROJECT
                                                                 : projecticons::CLOSED_PROJECT);
    afRect right(inner.right - ICON_SPACE, inner.top, inner.right, inner.bottom);
    bool hot = index == me->m_hoveredStar;
    drawRegisteredIcon(*canvas, right, projecticons::star(info->isStarred(), hot));
    afRect middle(left.right, inner.top, right.left, inner.bottom);
    if (selected)
        lister->drawItemSelection(middle, *canvas);
    COLORREF text = 0;
    COLORREF secondary = 0;
    lister->getItemColors(selected, text, secondary);
    afRect textArea(middle.left + SIDE_INSET, middle.top + 2, middle.right - SIDE_INSET, middle.bottom - 2);
    canvas->drawText(info->getTitle(), textArea, text, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void ProjectListWindow::onActivated(void* self, afControlLister*, int index) {
    auto* me = static_cast<ProjectListWindow*>(self);
    if (index >= 0 && index < static_cast<int>(me->m_rows.size()))
        me->m_manager->showProject(me->m_rows[static_cast<size_t>(index)]);
}

} // namespace corvel
