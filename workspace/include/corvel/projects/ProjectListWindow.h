// The view of the sidebar's "All projects" tab: one row per known project in the manager's
// order, marking the active one and the starred ones; a double click shows a project, and
// the selected project is the one the project commands act on (also from its context
// menu). Files and folders dropped on it make a new project; a project file joins the list.
#pragma once
#include "corvel/widgets/afContainer.h"

#include <string>
#include <vector>

namespace corvel {

class ProjectInfo;
class ProjectManager;
class afControlLister;
class afDataObjectFiles;
class afDropTarget;
class afEvent;
class afMenu;

class ProjectListWindow : public afContainer {
public:
    ProjectListWindow(afView* parent, ProjectManager* manager);
    ~ProjectListWindow() override;

    void onCreated() override;
    // The selected project rides on "ui.data.project" for the project commands.
    void addScopeEntries(ScopePath& path) override;

    // Copies the manager's list and resizes the lister.
    void refresh();
    ProjectInfo* getSelectedProject() const;
    // A left click at client point (x, y) of the lister: in the star column, flips the row's star.
    void onClick(int x, int y);
    // The pointer at client point (x, y) of the lister, or gone (y < 0): the star under it
    // shows hot.
    void onHover(int x, int y);
    int getHoveredStar() const { return m_hoveredStar; }

    // The context menu for the selected project, built and shown at a screen point; the
    // chosen entry runs with this window's scope.
    afMenu* buildContextMenu();
    void showContextMenu(int x, int y);
    // Dropped paths: one project file joins the list; anything else makes a new project,
    // shown and offered for naming. True when something was added.
    bool dropPaths(const std::vector<std::wstring>& paths);
    // The new project's title for dropped paths: a single path's name, else "New project".
    static std::wstring titleForPaths(const std::vector<std::wstring>& paths);
    afControlLister* getLister() const { return m_lister; }
    const std::vector<ProjectInfo*>& getRows() const { return m_rows; }

private:
    static void onListChanged(void* self);
    static void onInfoChanged(void* self, ProjectInfo* info);
    static void drawItem(void* self, afControlLister* lister, int index, bool selected, afCanvas* canvas,
                         const afRect& rect, bool painting);
    static bool measureItem(void* self, afControlLister* lister, int index, bool selected, afCanvas* canvas, int& width,
                            int& height);
    static void onActivated(void* self, afControlLister* lister, int index);
    static void onContextMenu(void* self, afControlLister* lister, int index, afEvent* event);
    static int onDragDecide(void* self, afDropTarget* target, afEvent* event, int allowed, int last);
    static int onDropData(void* self, afDropTarget* target, afEvent* event, int allowed, int last);

    ProjectManager* m_manager;        // not owned
    std::vector<ProjectInfo*> m_rows; // not owned; the manager's list as last copied
    afControlLister* m_lister = nullptr;
    int m_hoveredStar = -1;                   // the row whose star is under the pointer
    afDataObjectFiles* m_dropFiles = nullptr; // part of the drop target's data object
};

} // namespace corvel
