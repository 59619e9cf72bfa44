// Writes a value tree as text through a formatter that decides the punctuation and
// layout. The walk keeps its own stack instead of recursing, so trees of any depth are
// written without exhausting the thread's stack.
#pragma once
#include "zem/writer/JsonFormatter.h"

#include <memory>
#include <string>

namespace zem {

class ValueWriter {
public:
    explicit ValueWriter(std::shared_ptr<JsonFormatter> formatter);

    // Appends value (not null) to out. A string whose style is not one of the three
    // throws IllegalStateException "Unexpected state"; out then keeps what was written.
    void write(const Value* value, std::wstring& out);

private:
    void writeScalar(const Value* value, std::wstring& out);

    std::shared_ptr<JsonFormatter> m_formatter;
    ValueStack m_stack;
};

// Replaces out with value in the Jasmine layout.
void formatJasmine(const Value* value, std::wstring& out);
// Replaces out with value as compact JSON.
void formatJson(const Value* value, std::wstring& out);

} // namespace zem
