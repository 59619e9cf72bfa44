// The bundle editor's "Disabled items" view: the entries the user disabled, one row each
// with the kind's icon, the title and a second line (the bundle's item count, or the
// item's bundle), and "&Enable" in the context menu.
#pragma once
#include "corvel/bundles/DisabledEntryRecord.h"
#include "corvel/widgets/afContainer.h"

#include <vector>

namespace corvel {

class afControlLister;
class afMenu;
class afMenuNode;
class BundleManager;

class BundleEditorDisabledItemsWindow : public afContainer {
public:
    static constexpr int ICON_LEFT = 5;
    static constexpr int ICON_TOP = 1;
    static constexpr int TEXT_LEFT = 23; // where the selection and the text area start
    static constexpr int TEXT_INSET = 5;
    static constexpr int MIN_LINE_HEIGHT = 16;

    // The manager must outlive the window.
    BundleEditorDisabledItemsWindow(afView* parent, BundleManager* manager);
    ~BundleEditorDisabledItemsWindow() override;

    void onCreated() override;
    void onBeforeDestroy() override;

    // Takes the manager's disabled entries again.
    void refresh();
    // The two lines of a row: the title, and the count of a bundle's items or the item's bundle.
    static std::wstring detailOf(const DisabledEntryRecord& record);
    // Two lines of h = max(text height, 16) pixels, and 6 more.
    static int rowHeight(const TEXTMETRICW& metrics);

    afControlLister* getLister() const { return m_lister; }
    const std::vector<DisabledEntryRecord>& getRecords() const { return m_records; }

protected:
    // Shows the context menu and returns the chosen node, or null.
    virtual afMenuNode* runMenu(afMenu* menu, int x, int y);

private:
    void unsubscribe();
    void showMenu(int index, int x, int y);
    static void onDisabledChanged(void* self, BundleManager* manager);
    static void drawItem(void* self, afControlLister* lister, int index, bool selected, afCanvas* canvas,
                         const afRect& rect, bool painting);
    static bool measureItem(void* self, afControlLister* lister, int index, bool selected, afCanvas* canvas,
                            int& width, int& height);
    static void onContextMenu(void* self, afControlLister* lister, int index, afEvent* event);

    BundleManager* m_manager; // not owned
    std::vector<DisabledEntryRecord> m_records;
    afControlLister* m_lister = nullptr; // child view
    bool m_subscribed = false;
};

} // namespace corvel
