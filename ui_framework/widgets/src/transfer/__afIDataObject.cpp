#include "transfer/__afIDataObject.h"

#include "corvel/widgets/afDataObject.h"
#include "transfer/ComGuard.h"
#include "transfer/__afIEnumFORMATETC.h"

#include <cstring>
#include <cwchar>

namespace corvel {
namespace {

// Releases a medium handed over with ownership on every way out of SetData.
class MediumRelease {
public:
    MediumRelease(STGMEDIUM* medium, BOOL release) : m_medium(release ? medium : nullptr) {}
    ~MediumRelease() {
        if (m_medium)
            ReleaseStgMedium(m_medium);
    }

private:
    STGMEDIUM* m_medium;
};

size_t narrowLength(const void* block, size_t capacity) {
    const char* text = static_cast<const char*>(block);
    const void* end = std::memchr(text, 0, capacity);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - text) : capacity;
}

size_t wideLength(const void* block, size_t capacity) {
    return wcsnlen(static_cast<const wchar_t*>(block), capacity / sizeof(wchar_t));
}

} // namespace

__afIDataObject::~__afIDataObject() {
    if (!m_ownsObject)
        return;
    afDataObject* object = m_object;
    m_object = nullptr;
    comGuarded(L"__afIDataObject::Release()", [&] {
        delete object;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium)
        return E_INVALIDARG;
    return comGuarded(L"__afIDataObject::GetData()", [&]() -> HRESULT {
        HRESULT result = QueryGetData(format);
        if (FAILED(result))
            return result;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = nullptr;
        switch (format->cfFormat) {
        case CF_BITMAP:
            medium->tymed = TYMED_GDI;
            break;
        case CF_METAFILEPICT:
            medium->tymed = TYMED_MFPICT;
            medium->hMetaFilePict = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, 16);
            if (!medium->hMetaFilePict)
                return E_OUTOFMEMORY;
            break;
        case CF_ENHMETAFILE:
            medium->tymed = TYMED_ENHMF;
            break;
        default: {
            size_t size = m_object->getDataSize(format->cfFormat);
            if (size == 0) {
                zem::logMessage(1, WIDGETS_LOG_SOURCE, L"__IDataObject::GetData(): Invalid data size - can't be 0\n");
                return DV_E_FORMATETC;
            }
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
            if (!medium->hGlobal)
                return E_OUTOFMEMORY;
        }
        }
        result = GetDataHere(format, medium);
        if (FAILED(result) && (medium->tymed == TYMED_HGLOBAL || medium->tymed == TYMED_MFPICT) && medium->hGlobal) {
            GlobalFree(medium->hGlobal);
            medium->hGlobal = nullptr;
        }
        return result;
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium)
        return E_INVALIDARG;
    return comGuarded(L"__afIDataObject::GetDataHere()", [&]() -> HRESULT {
        switch (medium->tymed) {
        case TYMED_HGLOBAL:
        case TYMED_MFPICT: {
            void* block = GlobalLock(medium->hGlobal);
            if (!block)
                return E_OUTOFMEMORY;
            bool written = m_object->getData(format->cfFormat, block);
            GlobalUnlock(medium->hGlobal);
            return written ? S_OK : E_UNEXPECTED;
        }
        case TYMED_GDI:
            return m_object->getData(CF_BITMAP, &medium->hBitmap) ? S_OK : E_UNEXPECTED;
        case TYMED_ENHMF:
            return m_object->getData(CF_ENHMETAFILE, &medium->hEnhMetaFile) ? S_OK : E_UNEXPECTED;
        default:
            return DV_E_TYMED;
        }
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::QueryGetData(FORMATETC* format) {
    if (!format)
        return E_INVALIDARG;
    return comGuarded(L"__afIDataObject::QueryGetData()", [&]() -> HRESULT {
        if (format->lindex != -1)
            return DV_E_LINDEX;
        if (format->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!m_object || !m_object->acceptsFormat(format->cfFormat, afDataObject::GET))
            return DV_E_FORMATETC;
        if (format->cfFormat == CF_BITMAP && !(format->tymed & (TYMED_GDI | TYMED_HGLOBAL)))
            return DV_E_TYMED;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (!out)
        return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT __afIDataObject::storeGlobal(const FORMATETC& format, HGLOBAL block) {
    if (!m_object->acceptsFormat(format.cfFormat, afDataObject::SET))
        return DV_E_FORMATETC;
    void* data = GlobalLock(block);
    if (!data)
        return E_OUTOFMEMORY;
    // Blocks from other programs need not end in a zero: measure only up to their end.
    size_t capacity = GlobalSize(block);
    size_t count = 0;
    const void* source = data;
    switch (format.cfFormat) {
    case CF_TEXT:
    case CF_OEMTEXT:
        count = narrowLength(data, capacity);
        break;
    case CF_BITMAP:
    case CF_DIB:
        break;
    case CF_HDROP:
        // The shell reads file lists through the handle, never through a locked pointer.
        source = block;
        break;
    case CF_METAFILEPICT:
        count = 16;
        break;
    case CF_UNICODETEXT:
        count = wideLength(data, capacity) * sizeof(wchar_t);
        break;
    default:
        count = m_object->loadSize(format.cfFormat, data);
        break;
    }
    bool stored = m_object->setData(format.cfFormat, count, source);
    GlobalUnlock(block);
    return stored ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE __afIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium)
        return E_INVALIDARG;
    MediumRelease releaseOnReturn(medium, release);
    return comGuarded(L"__afIDataObject::SetData()", [&]() -> HRESULT {
        if (!m_object)
            return E_UNEXPECTED;
        switch (medium->tymed) {
        case TYMED_HGLOBAL:
        case TYMED_MFPICT:
            return storeGlobal(*format, medium->hGlobal);
        case TYMED_GDI:
            return m_object->setData(CF_BITMAP, 0, medium->hBitmap) ? S_OK : E_UNEXPECTED;
        case TYMED_ENHMF:
            return m_object->setData(CF_ENHMETAFILE, 0, medium->hEnhMetaFile) ? S_OK : E_UNEXPECTED;
        default:
            return DV_E_TYMED;
        }
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
    if (!enumerator)
        return E_POINTER;
    *enumerator = nullptr;
    return comGuarded(L"__afIDataObject::EnumFormatEtc()", [&]() -> HRESULT {
        if (!m_object)
            return E_UNEXPECTED;
        int wanted = direction == DATADIR_GET ? afDataObject::GET : afDataObject::SET;
        *enumerator = new __afIEnumFORMATETC(m_object->getFormats(wanted));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE __afIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE __afIDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE __afIDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

} // namespace corvel
