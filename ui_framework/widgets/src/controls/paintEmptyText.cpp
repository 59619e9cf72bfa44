#include "paintEmptyText.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afRect.h"
#include "corvel/ui/afResources.h"

namespace corvel {

namespace {

constexpr int EMPTY_INSET = 20;
constexpr double EMPTY_DROP = 0.236;
constexpr int EMPTY_FONT = 4;

} // namespace

void paintEmptyText(afCanvas& canvas, const RECT& client, const std::wstring& text) {
    canvas.fillRect(GetSysColor(COLOR_WINDOW), client);
    afRect area(client);
    area.deflate(EMPTY_INSET);
    area.top += static_cast<LONG>(area.height() * EMPTY_DROP);
    if (text.empty() || area.isEmpty())
        return;
    canvas.saveState();
    if (afResources::exists())
        canvas.selectObject(afResources::getFont(EMPTY_FONT).getHandle());
    canvas.drawText(text, area, GetSysColor(COLOR_GRAYTEXT), DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    canvas.restoreState();
}

} // namespace corvel
