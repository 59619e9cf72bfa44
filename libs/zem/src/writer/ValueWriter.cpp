#include "zem/writer/ValueWriter.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/text/StringUtil.h"
#include "zem/value/Values.h"
#include "zem/writer/JasmineFormatter2.h"
#include "zem/writer/Quoting.h"

namespace zem {

namespace {

// A list or dictionary being written, and how far.
struct Frame {
    const ListValue* list = nullptr;       // one of the two is set
    const DictionaryValue* dict = nullptr; //
    int32_t next = 0;                      // index of the next child to begin
    int32_t lastIndex = -1;
    DictionaryValue::list_iterator entry; // the dictionary's current entry
};

[[noreturn]] void throwUnexpectedState() {
    throw IllegalStateException(L"Unexpected state");
}

} // namespace

ValueWriter::ValueWriter(std::shared_ptr<JsonFormatter> formatter) : m_formatter(std::move(formatter)) {
    ZEM_ASSERT(m_formatter != nullptr);
}

void ValueWriter::writeScalar(const Value* value, std::wstring& out) {
    switch (value->kind()) {
    case Value::KIND_NULL:
        out += L"null";
        return;
    case Value::KIND_BOOLEAN: {
        bool b = false;
        value->getBool(&b);
        out += b ? L"true" : L"false";
        return;
    }
    case Value::KIND_INTEGER: {
        int i = 0;
        value->getInt(&i);
        formatInt(out, i, 10);
        return;
    }
    case Value::KIND_REAL: {
        double d = 0;
        value->getDouble(&d);
        appendRealLiteral(d, out);
        return;
    }
    case Value::KIND_STRING: {
        const StringValue* string = dynamic_cast<const StringValue*>(value);
        if (!string)
            throwUnexpectedState();
        const std::wstring& text = string->text();
        switch (string->style()) {
        case StringValue::STYLE_DOUBLE_QUOTED:
            appendJsonQuoted(text, out);
            return;
        case StringValue::STYLE_SINGLE_QUOTED:
            if (canWriteSingleQuoted(text))
                appendSingleQuoted(text, out);
            else
                appendJsonQuoted(text, out);
            return;
        case StringValue::STYLE_SYMBOL:
            m_formatter->appendSymbolString(text, out);
            return;
        default:
            throwUnexpectedState();
        }
    }
    case Value::KIND_REGEXP: {
        const RegExpValue* regExp = dynamic_cast<const RegExpValue*>(value);
        if (!regExp)
            throwUnexpectedState();
        appendRegExp(regExp->pattern(), regExp->options(), out);
        return;
    }
    default:
        throwUnexpectedState();
    }
}

void ValueWriter::write(const Value* root, std::wstring& out) {
    ZEM_ASSERT(root != nullptr);
    JsonFormatter& formatter = *m_formatter;
    m_stack.clear();
    std::vector<Frame> frames;

    // Begins v; a scalar is written whole, a container gets a frame. True for a container.
    auto enter = [&](const Value* v) {
        m_stack.push_back(v);
        formatter.beginValue(m_stack, out);
        if (!v->isContainer()) {
            writeScalar(v, out);
            formatter.endValue(m_stack, out);
            m_stack.pop_back();
            return false;
        }
        Frame frame;
        if (v->kind() == Value::KIND_LIST) {
            frame.list = dynamic_cast<const ListValue*>(v);
            if (!frame.list)
                throwUnexpectedState();
            frame.lastIndex = static_cast<int32_t>(frame.list->size()) - 1;
        } else {
            frame.dict = dynamic_cast<const DictionaryValue*>(v);
            if (!frame.dict)
                throwUnexpectedState();
            frame.lastIndex = static_cast<int32_t>(frame.dict->size()) - 1;
            frame.entry = frame.dict->listBegin();
        }
        frames.push_back(frame);
        return true;
    };
    // Ends the child that the frame began last.
    auto endChild = [&](Frame& frame) {
        int32_t index = frame.next - 1;
        if (frame.list) {
            formatter.endListItem(m_stack, frame.list->at(index), index, frame.lastIndex, out);
            return;
        }
        formatter.endEntry(m_stack, frame.entry->value, frame.entry->key, index, frame.lastIndex, out);
        ++frame.entry;
    };

    if (!enter(root))
        return;
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (frame.next <= frame.lastIndex) {
            int32_t index = frame.next++;
            const Value* child = nullptr;
            if (frame.list) {
                child = frame.list->at(index);
                formatter.beginListItem(m_stack, child, index, frame.lastIndex, out);
            } else {
                child = frame.entry->value;
                formatter.beginEntry(m_stack, child, frame.entry->key, index, frame.lastIndex, out);
            }
            if (!enter(child))
                endChild(frames.back());
            continue;
        }
        formatter.endValue(m_stack, out);
        m_stack.pop_back();
        frames.pop_back();
        if (!frames.empty())
            endChild(frames.back());
    }
}

void formatJasmine(const Value* value, std::wstring& out) {
    ZEM_ASSERT(value != nullptr);
    std::shared_ptr<JsonFormatter> formatter = std::make_shared<JasmineFormatter2>();
    out.clear();
    formatter->reset();
    ValueWriter(formatter).write(value, out);
}

void formatJson(const Value* value, std::wstring& out) {
    ZEM_ASSERT(value != nullptr);
    out.clear();
    ValueWriter(std::make_shared<JsonFormatter>()).write(value, out);
}

} // namespace zem
