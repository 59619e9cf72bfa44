#include "corvel/widgets/afDropSource.h"

#include "WidgetsLog.h"
#include "corvel/widgets/afDataObject.h"
#include "corvel/widgets/afDropAction.h"
#include "transfer/__IDropSource.h"
#include "zem/log/LogManager.h"

#include <ole2.h>

namespace corvel {

afDropSource::afDropSource() : m_adapter(new __IDropSource(this)) {}

afDropSource::~afDropSource() {
    m_adapter->Release();
}

bool afDropSource::giveFeedback(int) {
    return false;
}

IDropSource* afDropSource::getComSource() const {
    return m_adapter;
}

int afDropSource::drag(int allowed) {
    afDataObject* object = getDataObject();
    if (!object)
        return 0;
    DWORD okEffects = 0;
    if (allowed & afDropAction::COPY)
        okEffects |= DROPEFFECT_COPY;
    if (allowed & afDropAction::MOVE)
        okEffects |= DROPEFFECT_MOVE;
    if (allowed & afDropAction::LINK)
        okEffects |= DROPEFFECT_LINK;
    m_adapter->restart();
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = DoDragDrop(object->getAdapter(), m_adapter, okEffects, &effect);
    if (result == DRAGDROP_S_CANCEL)
        return 2;
    if (result == DRAGDROP_S_DROP) {
        if (effect & DROPEFFECT_COPY)
            return afDropAction::COPY;
        if (effect & DROPEFFECT_MOVE)
            return (allowed & afDropAction::MOVE) ? afDropAction::MOVE : afDropAction::COPY;
        return afDropAction::NONE;
    }
    if (FAILED(result))
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"__IDropSource::drag(): DoDragDrop Failed.\n");
    return 0;
}

} // namespace corvel
