#include "transfer/__IDropTarget.h"

#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"
#include "transfer/ComGuard.h"

namespace corvel {

__IDropTarget::~__IDropTarget() {
    releaseHeld();
}

void __IDropTarget::releaseHeld() {
    if (m_held)
        m_held->Release();
    m_held = nullptr;
}

int __IDropTarget::checkAction(int action) const {
    if (m_allowed == 0 || action <= 2)
        return afDropAction::NONE;
    if ((action & m_allowed) != action) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE,
                        L"__IDropTarget::checkAction: Action returned by drop data (%d) is not allowed source action "
                        L"(%d)!",
                        action, m_allowed);
        return 0;
    }
    return action;
}

DWORD __IDropTarget::effectOf(int action) {
    return action <= 2 ? DROPEFFECT_NONE : afDropAction::toDropAction(action);
}

HRESULT STDMETHODCALLTYPE __IDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    DWORD offered = *effect;
    *effect = DROPEFFECT_NONE;
    return comGuarded(L"__IDropTarget::DragEnter()", [&]() -> HRESULT {
        releaseHeld();
        if (!m_target || !data || m_target->findFormat(data) == 0)
            return S_OK;
        m_held = data;
        m_held->AddRef();
        m_allowed = afDropAction::fromDropEffects(offered);
        afEvent event = afDropAction::makeDragEvent(keyState, point);
        int action = checkAction(m_target->onDragEnter(&event, m_allowed, afDropAction::NONE));
        m_last = action;
        *effect = effectOf(action);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __IDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    DWORD offered = *effect;
    *effect = DROPEFFECT_NONE;
    return comGuarded(L"__IDropTarget::DragOver()", [&]() -> HRESULT {
        if (!m_target || !m_held)
            return S_OK;
        m_allowed = afDropAction::fromDropEffects(offered);
        afEvent event = afDropAction::makeDragEvent(keyState, point);
        int action = checkAction(m_target->onDragOver(&event, m_allowed, m_last));
        m_last = action;
        *effect = effectOf(action);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __IDropTarget::DragLeave() {
    return comGuarded(L"__IDropTarget::DragLeave()", [&]() -> HRESULT {
        if (m_target)
            m_target->onDragLeave();
        releaseHeld();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __IDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    DWORD offered = *effect;
    *effect = DROPEFFECT_NONE;
    return comGuarded(L"__IDropTarget::Drop()", [&]() -> HRESULT {
        if (m_target && data && m_target->findFormat(data) != 0) {
            m_allowed = afDropAction::fromDropEffects(offered);
            afEvent event = afDropAction::makeDragEvent(keyState, point);
            int action = checkAction(m_target->onDropQuery(&event, m_allowed, m_last));
            m_last = action;
            if (action > 2) {
                m_target->setSource(data);
                action = checkAction(m_target->onDrop(&event, m_allowed, m_last));
                m_target->setSource(nullptr);
                m_last = action;
                *effect = effectOf(action);
            }
        }
        if (m_target)
            m_target->onDragLeave();
        releaseHeld();
        return S_OK;
    });
}

} // namespace corvel
