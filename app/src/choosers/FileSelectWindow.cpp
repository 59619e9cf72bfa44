#include "corvel/app/FileSelectWindow.h"

#include "corvel/document/FilterMatcher.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/widgets/afControlLister.h"
#include "zem/base/Crc.h"

namespace corvel {

namespace {

constexpr int ROWS = 15;
constexpr int SIDE_INSET = 10;
constexpr int END_INSET = 4;

} // namespace

FileSelectWindow::FileSelectWindow(afView* owner) : SuggestionWindow(owner) {}

bool FileSelectWindow::addFile(uint32_t key, const wchar_t* path, size_t length, bool dedupe) {
    if (!m_keys.insert(key).second && dedupe)
        return false;
    m_paths.push_back({m_pool.size(), length});
    m_pool.insert(m_pool.end(), path, path + length);
    return true;
}

bool FileSelectWindow::addFileText(const std::wstring& path) {
    return addFile(zem::crc32Chars(path.size(), path.c_str()), path, true);
}

bool FileSelectWindow::getSelectedPath(std::wstring& path) const {
    int item = getSelectedValue();
    if (item < 0 || item >= static_cast<int>(m_paths.size()))
        return false;
    const PathText& text = m_paths[static_cast<size_t>(item)];
    path.assign(textOf(text), text.length);
    return true;
}

bool FileSelectWindow::filterItem(const FilterMatcher& matcher, int item, uint32_t& score) const {
    const PathText& text = m_paths[static_cast<size_t>(item)];
    return matcher.match(textOf(text), text.length, score);
}

void FileSelectWindow::configureList(afControlLister& list) {
    list.setRows(ROWS, afControlLister::ROWS_EXACTLY);
}

bool FileSelectWindow::measureItem(int item, bool, afCanvas& canvas, SIZE& size) {
    const PathText& text = m_paths[static_cast<size_t>(item)];
    SIZE measured = canvas.measureText(textOf(text), static_cast<int>(text.length), 0);
    size.cx = measured.cx + 2 * SIDE_INSET;
    size.cy = measured.cy + 2 * END_INSET;
    return true;
}

void FileSelectWindow::drawItem(int item, bool selected, afCanvas& canvas, const RECT& rect, bool) {
    const PathText& text = m_paths[static_cast<size_t>(item)];
    COLORREF color = 0;
    COLORREF secondary = 0;
    if (afControlLister* list = getList())
        list->getItemColors(selected, color, secondary);
    RECT inner{rect.left + SIDE_INSET, rect.top + END_INSET, rect.right - SIDE_INSET, rect.bottom - END_INSET};
    canvas.drawText(textOf(text), static_cast<int>(text.length), inner, color,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

} // namespace corvel
