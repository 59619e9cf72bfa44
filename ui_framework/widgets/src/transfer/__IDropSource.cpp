#include "transfer/__IDropSource.h"

#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropSource.h"
#include "transfer/ComGuard.h"

namespace corvel {

HRESULT STDMETHODCALLTYPE __IDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    const DWORD buttons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    if (m_buttons == NOT_SEEN)
        m_buttons = keyState & buttons;
    return (keyState & m_buttons) ? S_OK : DRAGDROP_S_DROP;
}

HRESULT STDMETHODCALLTYPE __IDropSource::GiveFeedback(DWORD effect) {
    return comGuarded(L"__IDropSource::GiveFeedback()", [&]() -> HRESULT {
        int action = afDropAction::NONE;
        if (effect & DROPEFFECT_COPY)
            action = afDropAction::COPY;
        else if (effect & DROPEFFECT_MOVE)
            action = afDropAction::MOVE;
        return m_source && m_source->giveFeedback(action) ? S_OK : DRAGDROP_S_USEDEFAULTCURSORS;
    });
}

} // namespace corvel
