#include "corvel/ui/afIcon.h"

#include "corvel/ui/afApp.h"

// Defined beside the compiled resources: referencing it links them into the program.
extern "C" const char corvel_resources_anchor;
extern const void* const corvelIconResourcesKeep;
const void* const corvelIconResourcesKeep = &corvel_resources_anchor;

namespace corvel {

afIcon::afIcon(int resourceId, int size) : m_owned(true), m_size(size) {
    m_handle = static_cast<HICON>(LoadImageW(afApp::getInstanceHandle(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size,
                                             size, LR_LOADTRANSPARENT));
    if (!m_handle)
        afApp::panic(L"afIcon::afIcon( resource constructor )", L"Cannot load image from a resource.");
}

afIcon::~afIcon() {
    if (m_owned && m_handle)
        DestroyIcon(m_handle);
}

afCursor::afCursor(const wchar_t* systemId) : m_handle(LoadCursorW(nullptr, systemId)) {
    if (!m_handle)
        afApp::panic(L"afCursor::afCursor( resource constructor )", L"Cannot load cursor from a resource.");
}

} // namespace corvel
