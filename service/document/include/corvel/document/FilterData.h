// How a filtered list window reads the rows it narrows: a cursor over the rows, their
// texts per column, and a place in each row for the match score it sorts by.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class FilterData {
public:
    struct Columns {
        std::vector<std::wstring> titles;
        std::vector<int> widths; // pixels
    };

    virtual ~FilterData() = default;
    // A 32-bit value of the row; -1 when the model keeps none.
    virtual int32_t getItemTag(void* item) = 0;
    virtual size_t getCount() = 0;
    virtual int getColumnCount() = 0;
    // Restarts the cursor; null when there are no rows.
    virtual void* first() = 0;
    // Null at the end.
    virtual void* next() = 0;
    virtual const wchar_t* getItemText(void* item, int column, size_t& length) = 0;
    // NUL-terminated.
    virtual const wchar_t* getItemSecondText(void* item) = 0;
    virtual const Columns& getColumns() = 0;
    // score is what compareItems compares; data is kept beside it.
    virtual void setItemMatch(void* item, uint32_t score, uint32_t data) = 0;
    // Negative when a comes first: by stored score, or with byText by the column-0 texts
    // unit by unit. Equal rows give 0, so a stable sort keeps their list order.
    virtual int compareItems(void* a, void* b, bool byText) = 0;
};

} // namespace corvel
