// The view of the sidebar's "All projects" tab: one row per known project in the manager's
// order, marking the active one and the starred ones; a double click shows a project, and
// the selected project is the one the project commands act on.
#pragma once
#include "corvel/widgets/afContainer.h"

#include <vector>

namespace corvel {

class ProjectInfo;
class ProjectManager;
class afControlLister;

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

    ProjectManager* m_manager;        // not owned
    std::vector<ProjectInfo*> m_rows; // not owned; the manager's list as last copied
    afControlLister* m_lister = nullptr;
};

} // namespace corvel
