// The main window's "Messages" tab: the lines the program logs while it runs, newest at
// the top, with an icon for the level and the name of the log source.
#pragma once
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afControlListView.h"
#include "zem/log/SerializedLogListener.h"

namespace corvel {

class LogWindow : public afContainer, public zem::SerializedLogListener {
public:
    // Main thread; the message registry must exist. The list is made with the window.
    explicit LogWindow(afView* parent);
    // A log window under parent with its window made (and subscribed); null for a null parent.
    static LogWindow* create(afView* parent);

    // One row at the top per line, DEBUG lines left out.
    void onSerializedLog(zem::LogMessage* message) override;

    // Null until the window exists.
    afControlListView* getList() const { return m_list; }
    // The image-list index of the icon a row of this level shows.
    int getIconIndex(int level) const;

protected:
    void onCreated() override;
    void onBeforeDestroy() override;

private:
    // Positions in the image list of the standard icons 15 to 19, in that order.
    enum { ICON_OTHER, ICON_ERROR, ICON_INFO, ICON_UNUSED, ICON_WARNING, ICON_COUNT };

    afControlListView* m_list = nullptr; // a child view, owned by the view tree
    int m_icons[ICON_COUNT] = {-1, -1, -1, -1, -1};
};

} // namespace corvel
