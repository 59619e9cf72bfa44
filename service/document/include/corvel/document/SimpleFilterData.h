// The plain FilterData: rows of a display text, a second text and a tag, in one column
// titled "Snippets". Owns its rows.
#pragma once
#include "corvel/document/FilterData.h"

#include <memory>

namespace corvel {

class SimpleFilterData : public FilterData {
public:
    struct Item {
        std::wstring text;
        std::wstring secondText;
        int32_t tag = -1;
        uint32_t score = 0;
        uint32_t data = 0;
    };

    SimpleFilterData();

    Item* addItem(std::wstring text, std::wstring secondText, int32_t tag);
    Item* itemAt(size_t index) { return m_items[index].get(); }

    int32_t getItemTag(void* item) override;
    size_t getCount() override { return m_items.size(); }
    int getColumnCount() override { return 1; }
    void* first() override;
    void* next() override;
    const wchar_t* getItemText(void* item, int column, size_t& length) override;
    const wchar_t* getItemSecondText(void* item) override;
    const Columns& getColumns() override { return m_columns; }
    void setItemMatch(void* item, uint32_t score, uint32_t data) override;
    int compareItems(void* a, void* b, bool byText) override;

private:
    std::vector<std::unique_ptr<Item>> m_items;
    size_t m_cursor = 0; // index of the row next() returns after the current one
    Columns m_columns;
};

} // namespace corvel
