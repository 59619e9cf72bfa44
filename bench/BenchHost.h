// A hidden top-level framework window of a given size that hosts the controls a benchmark
// drives.
#pragma once
#include "corvel/ui/afWidget.h"

namespace bench {

class HostWindow : public corvel::afWidget {
public:
    HostWindow(int width, int height) : corvel::afWidget(nullptr), m_width(width), m_height(height) {
        afViewPlatform::create();
    }
    bool buildSeed(Seed& seed) override {
        static bool registered = false;
        corvel::afWindowClass windowClass;
        windowClass.className = L"corvelBenchHost";
        windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
        registerClass(windowClass, registered);
        seed.className = L"corvelBenchHost";
        seed.style = WS_POPUP;
        seed.x = 0;
        seed.y = 0;
        seed.width = m_width;
        seed.height = m_height;
        return true;
    }

private:
    int m_width;
    int m_height;
};

} // namespace bench
