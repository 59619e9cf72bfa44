// The main window's own actions and its menu bar. The menus name actions of other
// tables (files, editor, search, projects); an entry whose action is not registered
// stays disabled and only logs when chosen.
#include "corvel/app/MainWindow.h"

#include "corvel/app/MenuBar.h"

#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionMenuItem.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"
#include "corvel/widgets/afMenu.h"

namespace corvel {

namespace {

const wchar_t CONTEXT[] = L"ui.window.main";

struct ActionRow {
    const wchar_t* name;
    const wchar_t* title;
    const wchar_t* key;
    bool (MainWindow::*method)(afActionEvent*);
};

// One menu entry: a title and its action's name; a null title is a separator, a null
// action a submenu filled by its owner when it opens.
struct MenuRow {
    const wchar_t* title;
    const wchar_t* action;
};

const MenuRow SEPARATOR{nullptr, nullptr};

afActionInvokerKey* keyInvoker(afActionRegistry* registry) {
    return registry ? dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afIActionRegistry::EVENT_KEY)) : nullptr;
}

afMenu* addMenu(afMenu* bar, const wchar_t* title, std::initializer_list<MenuRow> rows, afMenu** submenu = nullptr) {
    afMenu* menu = bar->addMenu(afMenu::createPopup(title));
    for (const MenuRow& row : rows) {
        if (!row.title) {
            menu->addSeparator();
        } else if (!row.action) {
            afMenu* filled = menu->addMenu(afMenu::createPopup(row.title));
            if (submenu)
                *submenu = filled;
        } else {
            menu->addItem(new afActionMenuItem(row.title, row.action));
        }
    }
    return menu;
}

} // namespace

void MainWindow::createActions() {
    afActionRegistry* registry = getRegistry();
    if (!registry)
        return;
    static const ActionRow rows[] = {
        {L"app.close", L"E&xit", L"Alt+F4", &MainWindow::onClose},
        {L"app.dlg.about", L"&About Corvel...", nullptr, &MainWindow::onAbout},
        {L"app.dlg.updates", L"&Check for Updates...", nullptr, &MainWindow::onCheckUpdates},
        {L"view.distraction_free", L"Toggle Distraction-Free Mode", L"F11", &MainWindow::onToggleDistractionFree},
        {L"view.left_dock.toggle", L"Toggle Left Sidebar", L"Ctrl+F9", &MainWindow::onToggleSidebar},
        {L"view.left_dock.toggle.focus", L"Toggle Focus Left Sidebar", L"F9", &MainWindow::onToggleSidebarFocus},
        {L"view.bottom_dock.toggle", L"Toggle Bottom Bar", L"Ctrl+F10", &MainWindow::onToggleBottomBar},
    };
    afActionInvokerKey* keys = keyInvoker(registry);
    for (const ActionRow& row : rows) {
        afAction* action = registry->addAction(
            new afActionSystem(row.title, getHandlerClass(), row.name, CONTEXT, afActionMethod(row.method)));
        if (keys && row.key)
            keys->bindShortcut(action, row.key, true);
    }
}

void MainWindow::buildMenuBar() {
    std::unique_ptr<MenuBar> bar(MenuBar::make());
    if (!bar)
        return;
    afMenu* top = bar.get();
    addMenu(top, L"&File",
            {{L"&New", L"file.new.default"},
             {L"&Open", L"file.open.default"},
             {L"&Save", L"file.save.default"},
             {L"Save &As", L"file.save.select"},
             SEPARATOR,
             {L"&Reload", L"file.reload"},
             SEPARATOR,
             {L"&Quick Open", L"file.open.quick"},
             SEPARATOR,
             {L"&Close", L"file.close"},
             {L"C&lose All", L"file.close.all"},
             {L"Close All O&thers", L"file.close.all_others"},
             SEPARATOR,
             {L"&Recent Files", nullptr},
             SEPARATOR,
             {L"E&xit", L"app.close"}},
            &m_recentFiles);
    addMenu(top, L"&Edit",
            {{L"&Undo", L"edit.undo"},
             {L"&Redo", L"edit.redo"},
             SEPARATOR,
             {L"Cu&t", L"edit.cut"},
             {L"&Copy", L"edit.copy"},
             {L"&Paste", L"edit.paste"},
             SEPARATOR,
             {L"&Delete", L"edit.delete.forward"},
             {L"&Delete to Word Begin", L"edit.delete.word.begin"},
             {L"&Delete to Word End", L"edit.delete.word.end"},
             SEPARATOR,
             {L"Select &All", L"edit.select.all"},
             {L"Select &Lines", L"edit.select.lines"},
             {L"Select &Lines Text", L"edit.select.lines.text"},
             {L"Select &Indent Level", L"edit.select.indent"},
             SEPARATOR,
             {L"&Go to Line...", L"goto.line"},
             SEPARATOR,
             {L"&Toggle Bookmark", L"edit.bookmark.toggle"},
             {L"&Next Bookmark", L"edit.bookmark.next"},
             {L"&Previous Bookmark", L"edit.bookmark.previous"},
             SEPARATOR,
             {L"Sho&w Scope", L"show.scope"},
             SEPARATOR,
             {L"Pr&eferences...", L"view.dlg.preferences"}});
    addMenu(top, L"&Search",
            {{L"&Find in Current Document", L"search.find.dialog.find.current_document"},
             {L"&Replace in Current Document", L"search.find.dialog.replace.current_document"},
             SEPARATOR,
             {L"F&ind in Current Selection", L"search.find.dialog.find.current_selection"},
             {L"R&eplace in Current Selection", L"search.find.dialog.replace.current_selection"},
             SEPARATOR,
             {L"Find &Next", L"search.find.next"},
             {L"Find &Previous", L"search.find.previous"},
             SEPARATOR,
             {L"&Quick find", L"search.find.strip"}});
    addMenu(top, L"&Project",
            {{L"&New Project", L"project.new.default"},
             {L"&Open Project", L"project.open.default"},
             {L"&Save Project", L"project.save.default"},
             {L"&Save Project &As", L"project.save.select"}});
    addMenu(top, L"&View",
            {{L"&Toggle Sidebar", L"view.left_dock.toggle"},
             {L"&Toggle Bottom Bar", L"view.bottom_dock.toggle"},
             SEPARATOR,
             {L"&Distraction Free", L"view.distraction_free"}});
    addMenu(top, L"&Text",
            {{L"&Lowercase", L"edit.inflect.lowercase"},
             {L"&Uppercase", L"edit.inflect.uppercase"},
             SEPARATOR,
             {L"Capitalize", L"edit.inflect.capitalize"},
             {L"Hyphenize", L"edit.inflect.hyphenize"},
             {L"Underscore", L"edit.inflect.underscore"},
             {L"Upper CamelCase", L"edit.inflect.camelcase.upper"},
             {L"Lower camelCase", L"edit.inflect.camelcase.lower"},
             {L"Split", L"edit.inflect.split"},
             {L"Systemize", L"edit.inflect.systemize"},
             SEPARATOR,
             {L"&Move Lines Down", L"edit.lines.move.down"},
             {L"M&ove Lines Up", L"edit.lines.move.up"},
             {L"&Duplicate Lines", L"edit.lines.duplicate"}});
    m_bundles = top->addMenu(afMenu::createPopup(L"&Bundles"));
    addMenu(top, L"&Help", {{L"&About Corvel...", L"app.dlg.about"}, {L"&Check for Updates...", L"app.dlg.updates"}});
    SetMenu(getHandle(), bar->getHandle());
    m_menuBar = std::move(bar);
}

} // namespace corvel
