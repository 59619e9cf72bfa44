#include "transfer/__afIEnumFORMATETC.h"

#include "transfer/ComGuard.h"

namespace corvel {

__afIEnumFORMATETC::__afIEnumFORMATETC(const std::vector<uint16_t>& formats, size_t position)
    : ComObject(IID_IEnumFORMATETC), m_formats(formats),
      m_position(position > formats.size() ? formats.size() : position) {}

HRESULT STDMETHODCALLTYPE __afIEnumFORMATETC::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
    if (!formats || (count > 1 && !fetched))
        return E_INVALIDARG;
    ULONG filled = 0;
    while (filled < count && m_position < m_formats.size()) {
        FORMATETC& format = formats[filled++];
        format.cfFormat = m_formats[m_position++];
        format.ptd = nullptr;
        format.dwAspect = DVASPECT_CONTENT;
        format.lindex = -1;
        format.tymed = TYMED_HGLOBAL;
    }
    if (fetched)
        *fetched = filled;
    return filled == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE __afIEnumFORMATETC::Skip(ULONG count) {
    size_t left = m_formats.size() - m_position;
    if (count > left) {
        m_position = m_formats.size();
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE __afIEnumFORMATETC::Reset() {
    m_position = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE __afIEnumFORMATETC::Clone(IEnumFORMATETC** clone) {
    if (!clone)
        return E_POINTER;
    *clone = nullptr;
    return comGuarded(L"__afIEnumFORMATETC::Clone()", [&] {
        *clone = new __afIEnumFORMATETC(m_formats, m_position);
        return S_OK;
    });
}

} // namespace corvel
