#include "corvel/widgets/afControlListView.h"

#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/createControl.h"
#include "zem/base/Exception.h"

#include <commctrl.h>

namespace corvel {

namespace {

[[noreturn]] void refused() {
    throw zem::RuntimeException(L"Unable to add item to the list.");
}

} // namespace

afControlListView::afControlListView(afView* parent, int viewMode) : afControl(parent), m_viewMode(viewMode) {
    setNativePaint(true);
}

afControlListView* afControlListView::create(afView* parent, int viewMode) {
    return createControl<afControlListView>(parent, viewMode);
}

const wchar_t* afControlListView::getTypeName() const {
    return afTypeName::GRID;
}

bool afControlListView::buildSeed(Seed& seed) {
    static const DWORD MODE_STYLES[] = {LVS_REPORT, LVS_LIST, LVS_ICON, LVS_SMALLICON};
    seed.className = WC_LISTVIEWW;
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (m_viewMode >= 0 && m_viewMode < 4)
        seed.style |= MODE_STYLES[m_viewMode];
    return true;
}

void afControlListView::onCreated() {
    if (afWindowsUX::getInstance())
        afWindowsUX::setExplorerTheme(m_hwnd);
    afControl::onCreated();
}

void afControlListView::addColumn(const std::wstring& title, int width) {
    HWND header = reinterpret_cast<HWND>(sendMessage(LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    column.cx = width;
    sendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(count < 0 ? 0 : count), reinterpret_cast<LPARAM>(&column));
}

int afControlListView::insertItem(const std::wstring& text, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    if (image >= 0) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    LRESULT row = m_hwnd ? sendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) : -1;
    if (row < 0)
        refused();
    return static_cast<int>(row);
}

void afControlListView::setItemText(const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    if (!m_hwnd || !sendMessage(LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item)))
        refused();
}

void afControlListView::clearItems() {
    sendMessage(LVM_DELETEALLITEMS, 0, 0);
}

void afControlListView::setFullRowSelect() {
    DWORD style = static_cast<DWORD>(sendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    if (!(style & LVS_EX_FULLROWSELECT))
        sendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void afControlListView::setImageList(HIMAGELIST list, bool owned) {
    sendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list));
    m_imageList.reset(list, owned);
}

int afControlListView::getItemCount() const {
    return m_hwnd ? static_cast<int>(SendMessageW(m_hwnd, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring afControlListView::getItemText(int row, int column) const {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    if (m_hwnd)
        SendMessageW(m_hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

} // namespace corvel
