// A view's side of OLE drag-and-drop: per mouse move it decides which action a drop would
// perform, and on drop fetches the data into its own data object. Owners plug behaviour in
// through callbacks; without them the default choice by modifiers applies.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/ui/afWidgetKit.h"

#include <oleidl.h>
#include <windows.h>

namespace corvel {

class __IDropTarget;
class afDataObject;
class afEvent;
class afView;

class afDropTarget : public afIDropTarget {
public:
    // Decides an action from the event, the allowed set and the last action.
    typedef Callback<int(afDropTarget* target, afEvent* event, int allowed, int last)> ActionCallback;
    typedef Callback<void(afDropTarget* target)> LeaveCallback;

    // With owns, the target deletes the data object.
    afDropTarget(afDataObject* dataObject, bool owns);
    ~afDropTarget() override;

    virtual int onDragEnter(afEvent* event, int allowed, int last);
    virtual int onDragOver(afEvent* event, int allowed, int last);
    virtual int onDropQuery(afEvent* event, int allowed, int last);
    virtual int onDrop(afEvent* event, int allowed, int last);
    virtual void onDragLeave();

    IDropTarget* getComTarget() override;

    // The target's data object filled from the dropping source, or null. Only during a drop.
    afDataObject* getData();
    afDataObject* getDataObject() const { return m_dataObject; }
    // The acceptable format of a source: the first the data object accepts for writing
    // that the source offers in global memory; 0 for none.
    uint16_t findFormat(IDataObject* source) const;

    void setView(afView* view) { m_view = view; }
    afView* getView() const { return m_view; }
    // Set by the adapter for the length of a drop.
    void setSource(IDataObject* source) { m_source = source; }

    ActionCallback enterCallback;
    ActionCallback overCallback;
    ActionCallback dropQueryCallback;
    ActionCallback dropCallback;
    LeaveCallback leaveCallback;

private:
    int defaultAction(afEvent* event, int allowed) const;

    afDataObject* m_dataObject;
    bool m_ownsDataObject;
    __IDropTarget* m_adapter;        // referenced
    afView* m_view = nullptr;        // the view the target is registered on
    IDataObject* m_source = nullptr; // not referenced; set only during a drop
};

} // namespace corvel
