#include "corvel/bundles/SnippetInstantiation.h"

#include "corvel/document/DocumentController.h"
#include "corvel/document/Span.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/SpanTransformation.h"
#include "zem/base/Crc.h"

#include <algorithm>
#include <memory>

namespace corvel {

namespace {

bool isIndentUnit(wchar_t c) {
    return c <= 32 && c != L'\r' && c != L'\n';
}

Span* attachEmpty(Span* span, Span* parent) {
    Span::attachWithText(nullptr, span, parent, -1, nullptr);
    return span;
}

void attachText(SnippetEnvironment& environment, Span* parent, const std::wstring& text) {
    Span* span = new Span(std::wstring(), static_cast<int32_t>(text.size()));
    Span::attachWithText(environment.controller, span, parent, -1, text.c_str());
}

bool instantiateActive(const SnippetActiveNode& node, Span* parent, SnippetEnvironment& environment) {
    SpanContext* context = parent->getContext();
    if (node.isVariable) {
        auto found = environment.variables.find(snippetVariableId(node.name));
        std::wstring value = found == environment.variables.end() ? std::wstring() : found->second;
        if (!value.empty() && node.hasTransformation) {
            SpanTransformation transformation(node.format, node.regex, node.options);
            std::wstring transformed;
            transformation.transform(value, transformed);
            value = transformed;
        }
        if (value.empty())
            attachEmpty(new Span(), parent);
        else
            attachText(environment, parent, value);
        return true;
    }
    if (node.getKind() == SnippetNode::MIRROR) {
        Span* mirror = node.hasTransformation ? new SpanTransformation(node.format, node.regex, node.options, node.name)
                                              : new Span(node.name);
        attachEmpty(mirror, parent);
        // A mirror inside its own field would copy the field into itself, which changes the
        // field, which is copied again, without end: it stays empty instead.
        const std::vector<int32_t>& open = environment.openFields;
        const bool insideItsField = std::find(open.begin(), open.end(), node.number) != open.end();
        if (context && node.number >= 0 && !insideItsField)
            context->addMirror(node.number, mirror);
        return true;
    }
    Span* field = attachEmpty(new Span(node.name), parent);
    if (context && node.number >= 0) {
        if (environment.primary)
            context->setMaster(node.number, field);
        else
            context->addMirror(node.number, field);
    }
    environment.openFields.push_back(node.number);
    const bool built = instantiateSnippet(node, field, environment);
    environment.openFields.pop_back();
    return built;
}

} // namespace

uint32_t snippetVariableId(const std::wstring& name) {
    return zem::crc32StringNoCase(name.c_str());
}

std::wstring SnippetEnvironment::makeIndent(int32_t columns) const {
    if (columns <= 0)
        return std::wstring();
    if (softTabs || tabWidth <= 0)
        return std::wstring(static_cast<size_t>(columns), L' ');
    return std::wstring(static_cast<size_t>(columns / tabWidth), L'\t') +
           std::wstring(static_cast<size_t>(columns % tabWidth), L' ');
}

std::wstring SnippetEnvironment::reindent(const std::wstring& text) const {
    std::wstring out;
    const std::wstring lineIndent = makeIndent(lineIndentWidth);
    size_t at = 0;
    bool first = true;
    while (at <= text.size()) {
        size_t end = text.find(L'\n', at);
        size_t lineEnd = end == std::wstring::npos ? text.size() : end + 1;
        int32_t columns = 0;
        size_t body = at;
        for (; body < lineEnd && isIndentUnit(text[body]); ++body)
            columns = text[body] == L'\t' && tabWidth > 0 ? (columns / tabWidth + 1) * tabWidth : columns + 1;
        if (!first)
            out += lineIndent;
        out += makeIndent(columns);
        out.append(text, body, lineEnd - body);
        first = false;
        if (end == std::wstring::npos)
            break;
        at = lineEnd;
    }
    return out;
}

bool instantiateSnippet(const SnippetActiveNode& node, Span* parent, SnippetEnvironment& environment) {
    bool result = true;
    for (const std::unique_ptr<SnippetNode>& child : node.children) {
        if (child->getKind() == SnippetNode::TEXT) {
            std::wstring text = environment.reindent(static_cast<const SnippetTextNode&>(*child).getText());
            if (!text.empty())
                attachText(environment, parent, text);
            continue;
        }
        result = instantiateActive(static_cast<const SnippetActiveNode&>(*child), parent, environment) && result;
    }
    return result;
}

} // namespace corvel
