// A square icon: loaded from the program's resources (then destroyed with it), or a
// handle someone else owns.
#pragma once
#include <windows.h>

namespace corvel {

class afIcon {
public:
    // Loads icon resource id at size x size pixels from the application's module; a
    // missing icon is fatal (application panic).
    afIcon(int resourceId, int size);
    afIcon(HICON handle, int size, bool owned) : m_owned(owned), m_handle(handle), m_size(size) {}
    ~afIcon();
    afIcon(const afIcon&) = delete;
    afIcon& operator=(const afIcon&) = delete;

    HICON getHandle() const { return m_handle; }
    int getSize() const { return m_size; }

private:
    bool m_owned; // destroyed here when set
    HICON m_handle;
    int m_size; // pixels; the icon is square
};

// A system cursor; cursors are shared and never destroyed.
class afCursor {
public:
    // Loads a system cursor (IDC_ARROW ...); a missing cursor is fatal (application panic).
    explicit afCursor(const wchar_t* systemId);
    HCURSOR getHandle() const { return m_handle; }

private:
    HCURSOR m_handle;
};

} // namespace corvel
