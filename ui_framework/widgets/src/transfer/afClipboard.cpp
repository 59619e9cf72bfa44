#include "corvel/widgets/afClipboard.h"

#include "WidgetsLog.h"
#include "corvel/widgets/afDataObject.h"
#include "zem/log/LogManager.h"

#include <ole2.h>

namespace corvel {
namespace {

afClipboard* liveClipboard = nullptr;

void logPutFailure(HRESULT result) {
    const wchar_t* text = nullptr;
    switch (result) {
    case CLIPBRD_E_CANT_OPEN:
        text = L"afClipboard::put: The OpenClipboard function used within OleSetClipboard failed. "
               L"(CLIPBRD_E_CANT_OPEN)\n";
        break;
    case CLIPBRD_E_CANT_EMPTY:
        text = L"afClipboard::put: The EmptyClipboard function used within OleSetClipboard failed. "
               L"(CLIPBRD_E_CANT_EMPTY)\n";
        break;
    case CLIPBRD_E_CANT_CLOSE:
        text = L"afClipboard::put: The CloseClipboard function used within OleSetClipboard failed. "
               L"(CLIPBRD_E_CANT_CLOSE)\n";
        break;
    case CLIPBRD_E_CANT_SET:
        text = L"afClipboard::put: The SetClipboardData function used within OleSetClipboard failed. "
               L"(CLIPBRD_E_CANT_SET)\n";
        break;
    default:
        return;
    }
    zem::logMessage(1, WIDGETS_LOG_SOURCE, text);
}

DWORD mediumFor(uint16_t format) {
    switch (format) {
    case CF_BITMAP:
        return TYMED_GDI;
    case CF_METAFILEPICT:
        return TYMED_MFPICT;
    case CF_ENHMETAFILE:
        return TYMED_ENHMF;
    default:
        return TYMED_HGLOBAL;
    }
}

// Asks the clipboard for one format; a bitmap refused as a GDI handle is asked again as
// global memory.
bool fetch(IDataObject* clipboard, uint16_t format, FORMATETC& request, STGMEDIUM& medium) {
    request = FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, mediumFor(format)};
    if (SUCCEEDED(clipboard->GetData(&request, &medium)))
        return true;
    if (format != CF_BITMAP)
        return false;
    request.tymed = TYMED_HGLOBAL;
    return SUCCEEDED(clipboard->GetData(&request, &medium));
}

} // namespace

afClipboard::afClipboard() {
    if (!liveClipboard)
        liveClipboard = this;
}

afClipboard::~afClipboard() {
    clear();
    if (m_current)
        m_current->Release();
    if (liveClipboard == this)
        liveClipboard = nullptr;
}

afClipboard* afClipboard::getInstance() {
    return liveClipboard;
}

bool afClipboard::put(afDataObject* object) {
    if (!object)
        return false;
    IDataObject* adapter = object->getAdapter();
    HRESULT result = OleSetClipboard(adapter);
    if (FAILED(result)) {
        logPutFailure(result);
        return false;
    }
    adapter->AddRef();
    if (m_current)
        m_current->Release();
    m_current = adapter;
    object->handOverToAdapter();
    return true;
}

bool afClipboard::get(afDataObject* object) {
    if (!object)
        return false;
    IDataObject* clipboard = nullptr;
    if (FAILED(OleGetClipboard(&clipboard)) || !clipboard) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afClipboard::get(): Failed to get data from the clipboard.\n");
        return false;
    }
    bool stored = false;
    for (uint16_t format : object->getFormats(afDataObject::SET)) {
        if (!IsClipboardFormatAvailable(format))
            continue;
        FORMATETC request;
        STGMEDIUM medium{};
        if (!fetch(clipboard, format, request, medium))
            continue;
        // The adapter releases the medium whether it stores it or not.
        if (FAILED(object->getAdapter()->SetData(&request, &medium, TRUE))) {
            zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afClipboard::get: Failed to set data in IDataObject\n");
            continue;
        }
        stored = true;
        break;
    }
    clipboard->Release();
    return stored;
}

bool afClipboard::isFormatAvailable(uint16_t format) {
    if (IsClipboardFormatAvailable(format))
        return true;
    return format == CF_BITMAP && IsClipboardFormatAvailable(CF_DIB);
}

void afClipboard::clear() {
    if (!m_current || OleIsCurrentClipboard(m_current) != S_OK)
        return;
    if (FAILED(OleFlushClipboard()))
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afClipboard::clear(): OleFlushClipboard() failed.\n");
}

afClipboardRing* afClipboard::getRing() {
    if (!m_ring)
        m_ring.reset(new afClipboardRing);
    return m_ring.get();
}

} // namespace corvel
