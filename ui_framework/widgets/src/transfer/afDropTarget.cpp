#include "corvel/widgets/afDropTarget.h"

#include "WidgetsLog.h"
#include "corvel/widgets/afDataObject.h"
#include "corvel/widgets/afDropAction.h"
#include "transfer/__IDropTarget.h"
#include "zem/log/LogManager.h"

namespace corvel {

afDropTarget::afDropTarget(afDataObject* dataObject, bool owns)
    : m_dataObject(dataObject), m_ownsDataObject(owns), m_adapter(new __IDropTarget(this)) {}

afDropTarget::~afDropTarget() {
    m_adapter->detach();
    m_adapter->Release();
    if (m_ownsDataObject)
        delete m_dataObject;
}

IDropTarget* afDropTarget::getComTarget() {
    return m_adapter;
}

int afDropTarget::defaultAction(afEvent* event, int allowed) const {
    return allowed != 0 ? afDropAction::pick(allowed, *event) : afDropAction::NONE;
}

int afDropTarget::onDragEnter(afEvent* event, int allowed, int last) {
    if (m_dataObject)
        m_dataObject->reset();
    if (enterCallback.isBound())
        return enterCallback(this, event, allowed, last);
    return defaultAction(event, allowed);
}

int afDropTarget::onDragOver(afEvent* event, int allowed, int last) {
    if (overCallback.isBound())
        return overCallback(this, event, allowed, last);
    return defaultAction(event, allowed);
}

int afDropTarget::onDropQuery(afEvent* event, int allowed, int last) {
    if (dropQueryCallback.isBound())
        return dropQueryCallback(this, event, allowed, last);
    return onDragOver(event, allowed, last);
}

int afDropTarget::onDrop(afEvent* event, int allowed, int last) {
    if (dropCallback.isBound())
        return dropCallback(this, event, allowed, last);
    return afDropAction::NONE;
}

void afDropTarget::onDragLeave() {
    if (leaveCallback.isBound())
        leaveCallback(this);
}

uint16_t afDropTarget::findFormat(IDataObject* source) const {
    if (!source || !m_dataObject)
        return 0;
    for (uint16_t format : m_dataObject->getFormats(afDataObject::SET)) {
        FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (source->QueryGetData(&request) == S_OK)
            return format;
    }
    return 0;
}

afDataObject* afDropTarget::getData() {
    uint16_t format = findFormat(m_source);
    if (format == 0)
        return nullptr;
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(m_source->GetData(&request, &medium))) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afDropTarget::getData(): GetData failed.\n");
        return nullptr;
    }
    // The adapter releases the medium whether it stores it or not.
    if (FAILED(m_dataObject->getAdapter()->SetData(&request, &medium, TRUE))) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afDropTarget::getData(): SetData failed.\n");
        return nullptr;
    }
    return m_dataObject;
}

} // namespace corvel
