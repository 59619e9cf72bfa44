// OLE's face of an afDataObject. It deletes the object with its last reference only once
// the object was handed over (a put on the clipboard); otherwise the object owns it.
#pragma once
#include "transfer/ComObject.h"
#include <objidl.h>

#include <windows.h>

namespace corvel {

class afDataObject;

class __afIDataObject : public ComObject<IDataObject> {
public:
    // Starts with one reference, the data object's.
    explicit __afIDataObject(afDataObject* object) : ComObject(IID_IDataObject), m_object(object) {}

    void setOwnsObject(bool owns) { m_ownsObject = owns; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumerator) override;

private:
    // Deletes the data object when it was handed over.
    ~__afIDataObject() override;

    HRESULT storeGlobal(const FORMATETC& format, HGLOBAL block);

    afDataObject* m_object;
    bool m_ownsObject = false;
};

} // namespace corvel
