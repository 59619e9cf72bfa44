#include "corvel/widgets/afImageList.h"

namespace corvel {

bool afImageList::create() {
    destroy();
    m_handle = ImageList_Create(16, 16, ILC_COLOR32, 16, 8);
    m_owned = m_handle != nullptr;
    return m_handle != nullptr;
}

int afImageList::addIcon(HICON icon) {
    if (!m_handle || !icon)
        return -1;
    return ImageList_ReplaceIcon(m_handle, -1, icon);
}

void afImageList::destroy() {
    if (m_handle && m_owned)
        ImageList_Destroy(m_handle);
    m_handle = nullptr;
    m_owned = false;
}

} // namespace corvel
