// OLE's face of an afDropSource: when to go on, drop or cancel, and the cursor feedback.
#pragma once
#include "transfer/ComObject.h"
#include <oleidl.h>

#include <windows.h>

namespace corvel {

class afDropSource;

class __IDropSource : public ComObject<IDropSource> {
public:
    // Starts with one reference, the source's.
    explicit __IDropSource(afDropSource* source) : ComObject(IID_IDropSource), m_source(source) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    // A new drag remembers its buttons afresh.
    void restart() { m_buttons = NOT_SEEN; }

private:
    ~__IDropSource() override = default;

    static const DWORD NOT_SEEN = 0xFFFFFFFF;

    afDropSource* m_source;
    DWORD m_buttons = NOT_SEEN; // buttons held at the first query of the drag
};

} // namespace corvel
