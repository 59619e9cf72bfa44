// Double buffering: a canvas over a memory bitmap the size of an area of its target,
// copied onto the target when the canvas ends (with copy-back) or on flush.
#pragma once
#include "corvel/ui/afCanvas.h"

namespace corvel {

class afCanvasBuffer : public afCanvas {
public:
    ~afCanvasBuffer() override;
    // Copies the buffer to the target at (x, y), cut to clip's right - x and bottom - y.
    void flush(int x, int y, const RECT* clip);
    HBITMAP getBitmap() const { return m_bitmap; }

private:
    friend class afCanvas;
    afCanvasBuffer(HDC target, const afRect& area, bool copyBack);
    void prepare() override;

    HDC m_target;
    HBITMAP m_bitmap = nullptr; // owned, selected into the memory DC while the canvas lives
    HGDIOBJ m_oldBitmap = nullptr;
    bool m_copyBack;
};

} // namespace corvel
