// OLE's face of an afDataObject. It deletes the object with its last reference only once
// the object was handed over (a put on the clipboard); otherwise the object owns it.
#pragma once
#include <objidl.h>
#include <windows.h>

namespace corvel {

class afDataObject;

class __afIDataObject : public IDataObject {
public:
    // Starts with one reference, the data object's.
    explicit __afIDataObject(afDataObject* object) : m_object(object) {}

    void setOwnsObject(bool owns) { m_ownsObject = owns; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

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
    virtual ~__afIDataObject() = default;

    HRESULT storeGlobal(const FORMATETC& format, HGLOBAL block);

    LONG m_references = 1;
    afDataObject* m_object;
    bool m_ownsObject = false;
};

} // namespace corvel
