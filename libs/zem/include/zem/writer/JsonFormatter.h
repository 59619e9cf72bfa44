// Punctuation and layout of a written value tree. The tree walk (ValueWriter) calls
// these around every value, list element and dictionary entry; this base class writes
// compact JSON without any white space.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zem {

class Value;

// The nodes being written, outermost first; back() is the current node.
typedef std::vector<const Value*> ValueStack;

class JsonFormatter {
public:
    virtual ~JsonFormatter() = default;

    virtual void reset() {}
    // "[" or "{" before a list or dictionary, nothing before a scalar.
    virtual void beginValue(const ValueStack& stack, std::wstring& out);
    // "]" or "}".
    virtual void endValue(const ValueStack& stack, std::wstring& out);
    virtual void beginListItem(const ValueStack& stack, const Value* element, int32_t index, int32_t lastIndex,
                               std::wstring& out);
    // "," between elements.
    virtual void endListItem(const ValueStack& stack, const Value* element, int32_t index, int32_t lastIndex,
                             std::wstring& out);
    // The key double-quoted, then ":".
    virtual void beginEntry(const ValueStack& stack, const Value* value, const std::wstring& key, int32_t index,
                            int32_t lastIndex, std::wstring& out);
    // "," between entries.
    virtual void endEntry(const ValueStack& stack, const Value* value, const std::wstring& key, int32_t index,
                          int32_t lastIndex, std::wstring& out);
    // A string of the symbol style: bare where this format's reader takes it back as
    // the same word, else quoted.
    virtual void appendSymbolString(const std::wstring& text, std::wstring& out);
};

} // namespace zem
