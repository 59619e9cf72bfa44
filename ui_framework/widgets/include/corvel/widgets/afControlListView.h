// A report list over the native list view (the log window's list): columns added at the
// end, rows inserted at the top.
#pragma once
#include "corvel/widgets/afControl.h"
#include "corvel/widgets/afImageList.h"

#include <string>

namespace corvel {

class afControlListView : public afControl {
public:
    enum ViewMode { MODE_REPORT = 0, MODE_LIST = 1, MODE_ICON = 2, MODE_SMALL_ICON = 3 };

    explicit afControlListView(afView* parent, int viewMode = MODE_REPORT);

    // Null for a null parent.
    static afControlListView* create(afView* parent, int viewMode = MODE_REPORT);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;

    void addColumn(const std::wstring& title, int width);
    // Inserts a row at the top; image -1 for none. RuntimeException "Unable to add item to
    // the list." when the control refuses.
    int insertItem(const std::wstring& text, int image = -1);
    // The second column of the top row; throws as insertItem does.
    void setItemText(const std::wstring& text);
    void clearItems();
    void setFullRowSelect();
    // The small-icon list; a list owned before is destroyed.
    void setImageList(HIMAGELIST list, bool owned);

    int getItemCount() const;
    std::wstring getItemText(int row, int column) const;

private:
    int m_viewMode;
    afImageList m_imageList;
};

} // namespace corvel
