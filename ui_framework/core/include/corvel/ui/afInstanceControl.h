// Single-instance control: whether this process is the first one (a named mutex that
// lives as long as the process), the main windows of running instances (by their exact
// class name), sending them data and bringing one to the front.
#pragma once
#include <cstddef>
#include <vector>
#include <windows.h>

namespace corvel {

class afInstanceControl {
public:
    afInstanceControl();
    virtual ~afInstanceControl();
    afInstanceControl(const afInstanceControl&) = delete;
    afInstanceControl& operator=(const afInstanceControl&) = delete;

    // The one object the program entry made, or null.
    static afInstanceControl* instance();

    bool isFirstInstance() const { return m_first; }
    static const wchar_t* getWindowClassName();
    // Appends every top-level window whose class is exactly the main window's.
    void findWindows(std::vector<HWND>& out);
    // WM_COPYDATA with dwData 0; true exactly when the receiver answered 1.
    bool sendData(HWND window, const void* data, size_t size);
    // Restores a minimised window, then brings it to the foreground.
    void activateWindow(HWND window);

    // Test seam: the mutex and class name the control uses (default "Corvel35WindowClass").
    static void setNameForTests(const wchar_t* name);

private:
    static BOOL CALLBACK collect(HWND window, LPARAM list);

    bool m_first = true;
};

} // namespace corvel
