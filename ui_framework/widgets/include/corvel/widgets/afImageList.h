// A 16-pixel, 32-bit image list of the window system, for the controls that show icons.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace corvel {

class afImageList {
public:
    afImageList() = default;
    // Wraps an existing list; destroys it only when owned.
    afImageList(HIMAGELIST handle, bool owned) : m_handle(handle), m_owned(owned) {}
    ~afImageList() { destroy(); }
    afImageList(const afImageList&) = delete;
    afImageList& operator=(const afImageList&) = delete;

    // 16 x 16, ILC_COLOR32, 16 images at first, growing by 8; false when refused.
    bool create();
    // Appends the icon; its index, or -1.
    int addIcon(HICON icon);
    void destroy();
    // Takes over another list, destroying an owned one it held before (not when it is the
    // same list).
    void reset(HIMAGELIST handle, bool owned) {
        if (handle != m_handle)
            destroy();
        m_handle = handle;
        m_owned = owned;
    }

    HIMAGELIST getHandle() const { return m_handle; }
    bool isOwned() const { return m_owned; }
    // Hands the list over: this wrapper no longer destroys it.
    HIMAGELIST release() {
        m_owned = false;
        return m_handle;
    }

private:
    HIMAGELIST m_handle = nullptr;
    bool m_owned = false;
};

} // namespace corvel
