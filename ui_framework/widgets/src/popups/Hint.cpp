#include "corvel/widgets/Hint.h"

#include "corvel/ui/ImagePack.h"
#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afDrawableNinePatch.h"
#include "corvel/ui/afNinePatch.h"
#include "corvel/ui/afResources.h"

namespace corvel {

namespace {

constexpr int FONT_INDEX = 0;
constexpr int TEXT_COLOR_INDEX = 16;

HFONT hintFont() {
    if (afResources::exists())
        return afResources::getFont(FONT_INDEX).getHandle();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Selects the hint's font into a canvas for its lifetime.
class FontScope {
public:
    explicit FontScope(afCanvas& canvas) : m_canvas(canvas), m_old(canvas.selectObject(hintFont())) {}
    ~FontScope() { m_canvas.selectObject(m_old); }

private:
    afCanvas& m_canvas;
    HGDIOBJ m_old;
};

} // namespace

Hint* Hint::create(afView* editor) {
    Hint* hint = new Hint(editor);
    hint->afHelperWindow::create();
    return hint;
}

Hint::Hint(afView* owner) : afHelperWindow(owner) {}

bool Hint::buildSeed(Seed& seed) {
    if (!afHelperWindow::buildSeed(seed))
        return false;
    seed.x = 0;
    seed.y = 0;
    seed.width = 0;
    seed.height = 0;
    return true;
}

void Hint::onCreated() {
    // The program loads the pack at start; a hint made before that still finds it.
    if (!ImagePack::instance())
        ImagePack::load();
    setBackground(afDrawableNinePatch::create(afNinePatch::load()).release());
    afHelperWindow::onCreated();
}

void Hint::onDestroy() {
    m_lines.clear();
    afHelperWindow::onDestroy();
}

void Hint::addLine(const std::wstring& text) {
    m_lines.push_back(text);
    updateLayered();
}

void Hint::clear() {
    m_lines.clear();
    updateLayered();
}

SIZE Hint::measure() {
    SIZE size{0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (memory) {
        {
            std::unique_ptr<afCanvas> canvas = afCanvas::create(memory);
            FontScope font(*canvas);
            for (const std::wstring& line : m_lines) {
                SIZE extent = canvas->measureText(line, 0);
                if (extent.cx > size.cx)
                    size.cx = extent.cx;
                size.cy += extent.cy;
            }
        }
        DeleteDC(memory);
    }
    const afRect& padding = getPadding();
    size.cx += padding.left + padding.right;
    size.cy += padding.top + padding.bottom;
    return size;
}

void Hint::onLayeredSize(SIZE& size) {
    size = measure();
}

void Hint::onLayeredPaint(afCanvas& canvas, int x, int y, int width, int height) {
    paint(canvas, x, y, width, height);
}

void Hint::paint(afCanvas& canvas, int x, int y, int width, int height) {
    std::unique_ptr<afBitmap> picture = afBitmap::create(width, height);
    if (!picture)
        return;
    HDC memory = CreateCompatibleDC(canvas.getDC());
    if (!memory)
        return;
    HGDIOBJ oldBitmap = SelectObject(memory, picture->getHandle());
    {
        std::unique_ptr<afCanvas> surface = afCanvas::create(memory);
        if (afDrawable* background = getBackground()) {
            background->setBounds(afRect(0, 0, width, height));
            background->draw(*surface, nullptr);
        }
        // GDI text leaves alpha 0 where it writes: between two inversions the text ends
        // opaque and the background keeps its own alpha.
        GdiFlush();
        picture->invertAlpha();
        {
            FontScope font(*surface);
            int lineHeight = surface->getLineHeight();
            const afRect& padding = getPadding();
            COLORREF color =
                afResources::exists() ? afResources::getColor(TEXT_COLOR_INDEX) : GetSysColor(COLOR_INFOTEXT);
            int top = padding.top;
            for (const std::wstring& line : m_lines) {
                surface->drawText(line, afRect(padding.left, top, width, top + lineHeight), color, DT_SINGLELINE);
                top += lineHeight;
            }
        }
        GdiFlush();
        picture->invertAlpha();
    }
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    canvas.alphaBlend(width, height, *picture, x, y);
}

} // namespace corvel
