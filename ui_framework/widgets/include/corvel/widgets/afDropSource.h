// Starts an OLE drag of a data object and reports how it ended.
#pragma once
#include <oleidl.h>
#include <windows.h>

namespace corvel {

class __IDropSource;
class afDataObject;

class afDropSource {
public:
    afDropSource();
    virtual ~afDropSource();
    afDropSource(const afDropSource&) = delete;
    afDropSource& operator=(const afDropSource&) = delete;

    // The object to drag; not owned.
    virtual afDataObject* getDataObject() { return m_dataObject; }
    virtual void setDataObject(afDataObject* object) { m_dataObject = object; }
    // Runs the drag with the allowed actions (afDropAction bits). Returns 0 without a data
    // object or on failure, 2 when cancelled, else the action the drop performed (4 copy,
    // 8 move) or 1.
    virtual int drag(int allowed);
    // True when the owner set the cursor for the action itself.
    virtual bool giveFeedback(int action);

    IDropSource* getComSource() const;

private:
    afDataObject* m_dataObject = nullptr;
    __IDropSource* m_adapter; // referenced
};

} // namespace corvel
