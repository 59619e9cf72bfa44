#include "corvel/document/SimpleFilterData.h"

namespace corvel {

SimpleFilterData::SimpleFilterData() {
    m_columns.titles.push_back(L"Snippets");
    m_columns.widths.push_back(100);
}

SimpleFilterData::Item* SimpleFilterData::addItem(std::wstring text, std::wstring secondText, int32_t tag) {
    auto item = std::make_unique<Item>();
    item->text = std::move(text);
    item->secondText = std::move(secondText);
    item->tag = tag;
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

int32_t SimpleFilterData::getItemTag(void* item) {
    return static_cast<Item*>(item)->tag;
}

void* SimpleFilterData::first() {
    m_cursor = 0;
    return m_items.empty() ? nullptr : m_items[0].get();
}

void* SimpleFilterData::next() {
    if (m_cursor + 1 >= m_items.size()) {
        m_cursor = m_items.size();
        return nullptr;
    }
    return m_items[++m_cursor].get();
}

const wchar_t* SimpleFilterData::getItemText(void* item, int column, size_t& length) {
    (void)column;
    const std::wstring& text = static_cast<Item*>(item)->text;
    length = text.size();
    return text.c_str();
}

const wchar_t* SimpleFilterData::getItemSecondText(void* item) {
    return static_cast<Item*>(item)->secondText.c_str();
}

void SimpleFilterData::setItemMatch(void* item, uint32_t score, uint32_t data) {
    static_cast<Item*>(item)->score = score;
    static_cast<Item*>(item)->data = data;
}

int SimpleFilterData::compareItems(void* a, void* b, bool byText) {
    const Item* left = static_cast<Item*>(a);
    const Item* right = static_cast<Item*>(b);
    if (!byText)
        return left->score < right->score ? -1 : left->score > right->score ? 1 : 0;
    int order = left->text.compare(right->text);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

} // namespace corvel
