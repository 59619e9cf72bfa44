// The screen's device context for one scope.
#pragma once
#include <windows.h>

namespace corvel {

class ScreenDC {
public:
    ScreenDC() : m_dc(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (m_dc)
            ReleaseDC(nullptr, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

} // namespace corvel
