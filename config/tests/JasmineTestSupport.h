// A compact, typed text of a JasmineValue for table tests: i1 u3000000000 r1.5 b1 s'x'
// t'raw' /pat/opts n [a b] {k:v k2:v2} (dictionaries in their own order).
#pragma once
#include "corvel/jasmine/JasmineValue.h"

#include <cstdio>
#include <string>

namespace corveltest {

inline std::wstring describe(const corvel::JasmineValue& value) {
    using corvel::JasmineValue;
    switch (value.getType()) {
    case JasmineValue::TYPE_NULL:
        return L"n";
    case JasmineValue::TYPE_INT:
        return L"i" + std::to_wstring(value.asInt(0));
    case JasmineValue::TYPE_UNSIGNED:
        return L"u" + std::to_wstring(value.asUnsigned(0));
    case JasmineValue::TYPE_REAL: {
        wchar_t buffer[64];
        swprintf(buffer, 64, L"r%.17g", value.asReal(0));
        return buffer;
    }
    case JasmineValue::TYPE_BOOL:
        return value.asBool(false) ? L"b1" : L"b0";
    case JasmineValue::TYPE_STRING:
        return L"s'" + std::wstring(value.asString(L"")) + L"'";
    case JasmineValue::TYPE_RAW_TEXT:
        return L"t'" + std::wstring(value.asString(L"")) + L"'";
    case JasmineValue::TYPE_REGEXP:
        return L"/" + value.regExp()->pattern() + L"/" + value.regExp()->options();
    case JasmineValue::TYPE_LIST: {
        std::wstring out = L"[";
        const JasmineValue* first = nullptr;
        const JasmineValue* last = nullptr;
        value.listRange(first, last);
        for (const JasmineValue* p = first; p != last; ++p)
            out += (p == first ? L"" : L" ") + describe(*p);
        return out + L"]";
    }
    case JasmineValue::TYPE_DICTIONARY: {
        std::wstring out = L"{";
        bool firstEntry = true;
        for (const auto& entry : *value.dictionary()) {
            out += (firstEntry ? L"" : L" ") + entry.key + L":" + describe(entry.value);
            firstEntry = false;
        }
        return out + L"}";
    }
    }
    return L"?";
}

} // namespace corveltest
