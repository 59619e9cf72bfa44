// The tab-indented Jasmine layout bundle entries are saved in: one entry or element per
// line, keys bare where possible, no commas.
#pragma once
#include "zem/writer/JsonFormatter.h"

namespace zem {

class JasmineFormatter2 : public JsonFormatter {
public:
    void reset() override;
    void beginValue(const ValueStack& stack, std::wstring& out) override;
    void endValue(const ValueStack& stack, std::wstring& out) override;
    void beginListItem(const ValueStack& stack, const Value* element, int32_t index, int32_t lastIndex,
                       std::wstring& out) override;
    void endListItem(const ValueStack& stack, const Value* element, int32_t index, int32_t lastIndex,
                     std::wstring& out) override;
    void beginEntry(const ValueStack& stack, const Value* value, const std::wstring& key, int32_t index,
                    int32_t lastIndex, std::wstring& out) override;
    void endEntry(const ValueStack& stack, const Value* value, const std::wstring& key, int32_t index,
                  int32_t lastIndex, std::wstring& out) override;
    void appendSymbolString(const std::wstring& text, std::wstring& out) override;

    int32_t depth() const { return m_depth; }
    int32_t lineCount() const { return m_lineCount; }

private:
    // A line feed and depth tabs.
    void newLine(std::wstring& out);

    int32_t m_depth = 0;     // indentation level of the next line
    int32_t m_lineCount = 0; // line breaks written since reset
};

} // namespace zem
