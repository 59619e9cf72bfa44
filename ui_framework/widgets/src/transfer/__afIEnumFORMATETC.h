// OLE's enumerator over a data object's formats: a copy of the list and a position.
#pragma once
#include "transfer/ComObject.h"
#include <cstdint>
#include <objidl.h>
#include <vector>

#include <windows.h>

namespace corvel {

class __afIEnumFORMATETC : public ComObject<IEnumFORMATETC> {
public:
    // Starts with one reference, the caller's.
    explicit __afIEnumFORMATETC(const std::vector<uint16_t>& formats, size_t position = 0);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    ~__afIEnumFORMATETC() override = default;

    std::vector<uint16_t> m_formats;
    size_t m_position; // <= m_formats.size()
};

} // namespace corvel
