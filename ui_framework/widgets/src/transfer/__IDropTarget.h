// OLE's face of an afDropTarget: holds the source's data between enter and leave or drop
// and checks every action the target decides against what the source allows.
#pragma once
#include "transfer/ComObject.h"
#include <oleidl.h>

#include <windows.h>

namespace corvel {

class afDropTarget;

class __IDropTarget : public ComObject<IDropTarget> {
public:
    // Starts with one reference, the target's.
    explicit __IDropTarget(afDropTarget* target) : ComObject(IID_IDropTarget), m_target(target) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // The target is going: the adapter may outlive it inside OLE.
    void detach() { m_target = nullptr; }

private:
    ~__IDropTarget() override;

    // The action as it counts: none (1) for 0-2 or without an allowed set; 0 for an
    // action the source does not allow.
    int checkAction(int action) const;
    static DWORD effectOf(int action);
    void releaseHeld();

    afDropTarget* m_target;
    IDataObject* m_held = nullptr; // referenced between enter and leave or drop
    int m_last = 1;
    int m_allowed = 0; // 0: no restriction known yet
};

} // namespace corvel
