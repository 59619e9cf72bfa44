#include "corvel/widgets/afControlComboBox.h"

#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"

#include <commctrl.h>

namespace corvel {

namespace {

constexpr int EXTRA_DROP_HEIGHT = 100;
constexpr int TEXT_LIMIT = 255;

} // namespace

afControlComboBox::afControlComboBox(afView* parent, bool listOnly) : afControl(parent), m_listOnly(listOnly) {
    setNativePaint(true);
}

afControlComboBox::~afControlComboBox() {
    freeRecords();
}

afControlComboBox* afControlComboBox::create(afView* parent, bool listOnly) {
    return createControl<afControlComboBox>(parent, listOnly);
}

const wchar_t* afControlComboBox::getTypeName() const {
    return afTypeName::COMBO_BOX;
}

bool afControlComboBox::buildSeed(Seed& seed) {
    seed.className = WC_COMBOBOXEXW;
    seed.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | (m_listOnly ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    return true;
}

void afControlComboBox::onCreated() {
    // The edit the control names as its own: a list-only combo box has none.
    HWND edit = reinterpret_cast<HWND>(SendMessageW(m_hwnd, CBEM_GETEDITCONTROL, 0, 0));
    if (edit) {
        m_editView = new afWidget(this);
        m_editView->adoptHandle(edit);
    }
    afControl::onCreated();
}

bool afControlComboBox::onRawMessage(afMessage* message) {
    // The inner combo box still exists here; by the last message it is gone and the
    // items cannot be counted any more.
    if (message->message == WM_DESTROY)
        freeRecords();
    return afControl::onRawMessage(message);
}

void afControlComboBox::freeRecords() {
    if (!m_hwnd)
        return;
    int count = getCount();
    for (int index = 0; index < count; ++index) {
        ItemData* data = getItemData(index);
        if (!data)
            continue;
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_LPARAM;
        item.iItem = index;
        item.lParam = 0;
        SendMessageW(m_hwnd, CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        delete data;
    }
}

void afControlComboBox::addItem(const std::wstring& text, int image, int key) {
    if (!m_hwnd)
        return;
    auto* data = new ItemData;
    data->key = key;
    data->image = image;
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT | CBEIF_LPARAM;
    item.iItem = getCount();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    // -1 would ask the owner for the image (I_IMAGECALLBACK): an item without one says so.
    item.iImage = image < 0 ? I_IMAGENONE : image;
    item.iSelectedImage = item.iImage;
    item.iIndent = 0;
    item.lParam = reinterpret_cast<LPARAM>(data);
    if (SendMessageW(m_hwnd, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) {
        delete data;
        return;
    }
    if (HWND combo = reinterpret_cast<HWND>(SendMessageW(m_hwnd, CBEM_GETCOMBOCONTROL, 0, 0)))
        SetWindowLongW(combo, GWL_STYLE, GetWindowLongW(combo, GWL_STYLE) | WS_TABSTOP);
    // The window's height is the room of the drop-down list.
    RECT rect;
    GetWindowRect(m_hwnd, &rect);
    SetWindowPos(m_hwnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + EXTRA_DROP_HEIGHT,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int afControlComboBox::getSelection() const {
    return m_hwnd ? static_cast<int>(SendMessageW(m_hwnd, CB_GETCURSEL, 0, 0)) : -1;
}

void afControlComboBox::setSelection(int index) {
    sendMessage(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int afControlComboBox::getCount() const {
    return m_hwnd ? static_cast<int>(SendMessageW(m_hwnd, CB_GETCOUNT, 0, 0)) : 0;
}

bool afControlComboBox::selectText(const std::wstring& text) {
    if (!m_hwnd)
        return false;
    LRESULT found =
        SendMessageW(m_hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (found == CB_ERR)
        return false;
    setSelection(static_cast<int>(found));
    return true;
}

afControlComboBox::ItemData* afControlComboBox::getItemData(int index) const {
    if (!m_hwnd || index < 0)
        return nullptr;
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (!SendMessageW(m_hwnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<ItemData*>(item.lParam);
}

bool afControlComboBox::getItemText(int index, std::wstring& text) const {
    if (!m_hwnd || index < 0)
        return false;
    wchar_t buffer[TEXT_LIMIT + 1] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buffer;
    item.cchTextMax = TEXT_LIMIT + 1;
    if (!SendMessageW(m_hwnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    text = item.pszText ? item.pszText : L"";
    return true;
}

int afControlComboBox::getItemKey(int index, int defaultKey) const {
    ItemData* data = getItemData(index);
    return data ? data->key : defaultKey;
}

int afControlComboBox::findItemByData(int key) const {
    int count = getCount();
    for (int index = 0; index < count; ++index) {
        if (getItemKey(index, 0) == key)
            return index;
    }
    return -1;
}

void afControlComboBox::removeItem(int index) {
    if (!m_hwnd || index < 0 || index >= getCount())
        return;
    ItemData* data = getItemData(index);
    if (itemRemovedCallback.isBound())
        itemRemovedCallback.function(itemRemovedCallback.object, this, index, data ? data->key : 0);
    delete data;
    SendMessageW(m_hwnd, CBEM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void afControlComboBox::clear() {
    for (int index = getCount() - 1; index >= 0; --index)
        removeItem(index);
}

void afControlComboBox::setImageList(HIMAGELIST list, bool owned) {
    sendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    m_imageList.reset(list, owned);
}

bool afControlComboBox::onNotify(afMessage* message) {
    if (message->message != WM_COMMAND || HIWORD(message->wParam) != CBN_SELCHANGE || !selectionCallback.isBound())
        return false;
    selectionCallback.function(selectionCallback.object, this);
    message->result = 0;
    return true;
}

void afControlComboBox::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    RECT rect{0, 0, 0, 0};
    if (m_hwnd)
        GetWindowRect(m_hwnd, &rect);
    int height = rect.bottom - rect.top;
    int width = GetSystemMetrics(SM_CXVSCROLL);
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

} // namespace corvel
