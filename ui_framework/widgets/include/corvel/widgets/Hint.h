// A borderless pop-up that shows a few lines of text on the image pack's nine-patch,
// with per-pixel alpha: the editor's notices and the texts of markers under the mouse.
#pragma once
#include "corvel/ui/afHelperWindow.h"

#include <string>
#include <vector>

namespace corvel {

class Hint : public afHelperWindow {
public:
    // A hint owned by the editor (deleted with it), its window created and still hidden.
    static Hint* create(afView* editor);
    explicit Hint(afView* owner);

    // Each change resizes and repaints the window at once.
    void addLine(const std::wstring& text);
    void clear();
    const std::vector<std::wstring>& getLines() const { return m_lines; }

    // The widest line by the sum of the line heights (standard font 0), plus the padding.
    SIZE measure();
    using afView::measure;
    // The background, then the lines made opaque over it, blended onto canvas at (x, y).
    void paint(afCanvas& canvas, int x, int y, int width, int height);
    using afView::paint;

protected:
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onDestroy() override;
    void onLayeredSize(SIZE& size) override;
    void onLayeredPaint(afCanvas& canvas, int x, int y, int width, int height) override;

private:
    std::vector<std::wstring> m_lines;
};

} // namespace corvel
