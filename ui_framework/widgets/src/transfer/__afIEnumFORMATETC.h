// OLE's enumerator over a data object's formats: a copy of the list and a position.
#pragma once
#include <cstdint>
#include <objidl.h>
#include <vector>
#include <windows.h>

namespace corvel {

class __afIEnumFORMATETC : public IEnumFORMATETC {
public:
    // Starts with one reference, the caller's.
    explicit __afIEnumFORMATETC(const std::vector<uint16_t>& formats, size_t position = 0);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    virtual ~__afIEnumFORMATETC() = default;

    LONG m_references = 1;
    std::vector<uint16_t> m_formats;
    size_t m_position; // <= m_formats.size()
};

} // namespace corvel
