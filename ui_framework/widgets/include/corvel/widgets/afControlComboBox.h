// An extended combo box whose items carry a small record (a key, a flag, an image) owned
// by the control; editable, or a drop-down list only.
#pragma once
#include "corvel/widgets/afControl.h"
#include "corvel/widgets/afImageList.h"

#include <string>

namespace corvel {

class afControlComboBox : public afControl {
public:
    // The record each item carries.
    struct ItemData {
        int key = 0;
        uint8_t flag = 0;
        int image = -1;
    };
    typedef void (*SelectionFunction)(void* object, afControlComboBox* combo);
    typedef void (*ItemRemovedFunction)(void* object, afControlComboBox* combo, int index, int key);

    explicit afControlComboBox(afView* parent, bool listOnly = false);
    ~afControlComboBox() override;

    // Null for a null parent.
    static afControlComboBox* create(afView* parent, bool listOnly = false);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onRawMessage(afMessage* message) override;
    bool onNotify(afMessage* message) override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;

    void addItem(const std::wstring& text, int image, int key);
    int getSelection() const;
    void setSelection(int index);
    int getCount() const;
    // Selects the item with exactly this text; false when there is none.
    bool selectText(const std::wstring& text);
    // Null for an index without an item or record.
    ItemData* getItemData(int index) const;
    // At most 255 characters; false for -1 or a failure.
    bool getItemText(int index, std::wstring& text) const;
    int getItemKey(int index, int defaultKey) const;
    // The first item whose key is key (an item without a record has key 0), or -1.
    int findItemByData(int key) const;
    // Tells the item-removed callback, then frees the record and the item.
    void removeItem(int index);
    // Removes every item, the last first.
    void clear();
    void setImageList(HIMAGELIST list, bool owned);

    bool isListOnly() const { return m_listOnly; }
    // The inner edit's view, or null for a list-only combo box.
    afWidget* getEditView() const { return m_editView; }

    afCallback<SelectionFunction> selectionCallback;
    afCallback<ItemRemovedFunction> itemRemovedCallback;

private:
    void freeRecords();

    bool m_listOnly;
    afImageList m_imageList;
    afWidget* m_editView = nullptr;
};

} // namespace corvel
