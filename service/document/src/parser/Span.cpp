#include "corvel/document/Span.h"

#include "corvel/config/StreamFields.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/SpanContext.h"
#include "zem/base/Crc.h"

#include <map>
#include <unordered_set>

namespace corvel {

const uint32_t Span::CLASS_TAG = zem::crc32String(L"Span");

namespace {

enum : uint32_t { FIELD_ACTIVE = 1, FIELD_MASTER = 2 };

Span* makeSpan() {
    return new Span();
}
Span* makeSpanContext() {
    return new SpanContext();
}

std::map<uint32_t, Span::Factory>& factories() {
    static std::map<uint32_t, Span::Factory> table{{Span::CLASS_TAG, &makeSpan},
                                                   {SpanContext::CLASS_TAG, &makeSpanContext}};
    return table;
}

} // namespace

void SpanTable::add(Span* span) {
    m_indices[span] = static_cast<int32_t>(m_spans.size());
    m_spans.push_back(span);
}

Span* SpanTable::at(int32_t index) const {
    return index >= 0 && index < size() ? m_spans[static_cast<size_t>(index)] : nullptr;
}

int32_t SpanTable::indexOf(const Span* span) const {
    const auto found = m_indices.find(span);
    return found == m_indices.end() ? -1 : found->second;
}

Span::Span(const std::wstring& name, int32_t length) : m_length(length), m_name(name) {}

Span::~Span() {
    Span* child = m_firstChild;
    while (child) {
        Span* next = child->m_next;
        child->m_parent = nullptr;
        delete child;
        child = next;
    }
}

void Span::registerClass(uint32_t tag, Factory factory) {
    factories()[tag] = factory;
}

Span* Span::create(uint32_t tag) {
    const auto found = factories().find(tag);
    return found == factories().end() ? nullptr : found->second();
}

void Span::remove() {
    m_removed.invoke(this);
    if (m_parent)
        m_parent->removeChild(this);
    removeAllChildren();
    delete this;
}

void Span::replaceText(DocumentController* controller, int32_t length, const wchar_t* text) {
    Document* document = controller->getDocument();
    if (m_length > 0)
        document->removeText(m_length, m_start, 0);
    if (length > 0)
        document->insertText(m_start, length, text, 0);
    setLength(length);
    updateMirrors(controller, false);
}

void Span::attachWithText(DocumentController* controller, Span* span, Span* parent, int32_t offset,
                          const wchar_t* text) {
    if (!span || !parent || span->m_parent)
        return;
    if (offset == -1)
        offset = parent->m_lastChild ? parent->m_lastChild->getEnd() : parent->m_start;
    if (controller) {
        if (span->m_length > 0 && text)
            controller->getDocument()->insertText(offset, span->m_length, text, 0);
        // Text put inside the parent widens it; text put at or past its end stretches it
        // to end after the new span.
        if (offset < parent->getEnd())
            parent->setLength(parent->m_length + span->m_length);
        else
            parent->setLength(offset + span->m_length - parent->m_start);
    }
    if (!span->m_context)
        span->m_context = parent->m_context;
    span->setStart(offset);
    span->m_parent = parent;
    span->m_previous = parent->m_lastChild;
    span->m_next = nullptr;
    if (parent->m_lastChild)
        parent->m_lastChild->m_next = span;
    else
        parent->m_firstChild = span;
    parent->m_lastChild = span;
    ++parent->m_childCount;
}

void Span::removeChild(Span* child) {
    unlinkChild(child, true);
}

void Span::detachChild(Span* child) {
    unlinkChild(child, false);
}

void Span::unlinkChild(Span* child, bool moveSiblings) {
    if (!child || child->m_parent != this)
        return;
    if (moveSiblings)
        moveFollowingSiblings(child, -child->m_length);
    if (child->m_previous)
        child->m_previous->m_next = child->m_next;
    else
        m_firstChild = child->m_next;
    if (child->m_next)
        child->m_next->m_previous = child->m_previous;
    else
        m_lastChild = child->m_previous;
    child->m_parent = nullptr;
    child->m_next = nullptr;
    child->m_previous = nullptr;
    --m_childCount;
    if (child->m_context)
        child->m_context->onSpanRemoved(child);
}

void Span::removeAllChildren() {
    while (Span* child = m_firstChild) {
        removeChild(child);
        child->remove();
    }
}

void Span::moveFollowingSiblings(Span* from, int32_t delta) {
    if (delta == 0)
        return;
    for (Span* sibling = from->m_next; sibling; sibling = sibling->m_next)
        sibling->setStart(sibling->m_start + delta);
}

void Span::setLength(int32_t length) {
    if (length == m_length)
        return;
    const int32_t oldLength = m_length;
    const int32_t delta = length - oldLength;
    m_length = length;
    m_changed.invoke(this, m_start, oldLength);
    if (m_parent)
        m_parent->setLength(m_parent->m_length + delta);
    moveFollowingSiblings(this, delta);
}

void Span::setStart(int32_t start) {
    if (start == m_start)
        return;
    const int32_t oldStart = m_start;
    const int32_t delta = start - oldStart;
    m_start = start;
    m_changed.invoke(this, oldStart, m_length);
    for (Span* child = m_firstChild; child; child = child->m_next)
        child->setStart(child->m_start + delta);
}

bool Span::isMasterOfGroup() const {
    if (!m_context || m_placeholder < 0)
        return false;
    const SpanContext::Group* group = m_context->findGroup(m_placeholder, false);
    return group && group->master == this;
}

void Span::updateMirrors(DocumentController* controller, bool skipActive) {
    if (isMasterOfGroup()) {
        SpanContext::Group* group = m_context->findGroup(m_placeholder, false);
        // A mirror inside its own master would start this update again: once is enough.
        if (!group->updating) {
            group->updating = true;
            const std::wstring text = controller->getDocument()->getText(m_start, m_length);
            std::vector<Span*> mirrors;
            mirrors.reserve(group->mirrors.size());
            for (Span* mirror : group->mirrors) {
                if (!skipActive || !mirror->isActive())
                    mirrors.push_back(mirror);
            }
            if (!replaceSiblingMirrors(controller, mirrors, text)) {
                for (Span* mirror : mirrors)
                    mirror->replaceText(controller, static_cast<int32_t>(text.size()), text.c_str());
            }
            group->updating = false;
        }
    }
    if (m_parent)
        m_parent->updateMirrors(controller, skipActive);
}

bool Span::replaceSiblingMirrors(DocumentController* controller, const std::vector<Span*>& mirrors,
                                 const std::wstring& text) {
    if (mirrors.size() < 2)
        return false;
    Span* parent = mirrors.front()->m_parent;
    if (!parent)
        return false;
    std::unordered_set<const Span*> chosen;
    chosen.reserve(mirrors.size());
    for (const Span* mirror : mirrors) {
        if (mirror == this || mirror->m_parent != parent || mirror->m_firstChild || mirror->isMasterOfGroup())
            return false;
        chosen.insert(mirror);
    }
    // From the last to the first, so that each edit leaves the offsets of those still to
    // come as they are; the spans then move once, in one pass over the siblings.
    Document* document = controller->getDocument();
    const int32_t length = static_cast<int32_t>(text.size());
    for (Span* child = parent->m_lastChild; child; child = child->m_previous) {
        if (!chosen.count(child))
            continue;
        if (child->m_length > 0)
            document->removeText(child->m_length, child->m_start, 0);
        if (length > 0)
            document->insertText(child->m_start, length, text.c_str(), 0);
    }
    int32_t shift = 0;
    for (Span* child = parent->m_firstChild; child; child = child->m_next) {
        child->setStart(child->m_start + shift);
        if (!chosen.count(child) || child->m_length == length)
            continue;
        const int32_t oldLength = child->m_length;
        child->m_length = length;
        child->m_changed.invoke(child, child->m_start, oldLength);
        shift += length - oldLength;
    }
    parent->setLength(parent->m_length + shift);
    parent->updateMirrors(controller, false);
    return true;
}

void Span::writeSpanFields(Stream& stream) const {
    uint32_t flags = m_active ? uint32_t(FIELD_ACTIVE) : 0u;
    if (isMasterOfGroup())
        flags |= FIELD_MASTER;
    writeText(stream, m_name);
    writeInt32(stream, m_start);
    writeInt32(stream, m_length);
    writeInt32(stream, m_order);
    writeInt32(stream, m_direction);
    writeInt32(stream, m_placeholder);
    writeUInt32(stream, flags);
}

bool Span::readSpanFields(Stream& stream, Fields& fields) {
    return readText(stream, fields.name) && readInt32(stream, fields.start) && readInt32(stream, fields.length) &&
           readInt32(stream, fields.order) && readInt32(stream, fields.direction) &&
           readInt32(stream, fields.placeholder) && readUInt32(stream, fields.flags) && fields.start >= 0 &&
           fields.length >= 0;
}

void Span::applySpanFields(const Fields& fields) {
    m_name = fields.name;
    m_start = fields.start;
    m_length = fields.length;
    m_order = fields.order;
    m_direction = fields.direction;
    m_active = (fields.flags & FIELD_ACTIVE) ? 1 : 0;
    m_placeholder = fields.placeholder < 0 ? -1 : fields.placeholder;
    if ((fields.flags & FIELD_MASTER) && m_placeholder >= 0 && m_context)
        m_context->setMaster(m_placeholder, this);
}

void Span::write(Stream& stream, const SpanTable& table) const {
    (void)table;
    writeSpanFields(stream);
}

bool Span::read(Stream& stream, const SpanTable& table) {
    (void)table;
    Fields fields;
    if (!readSpanFields(stream, fields))
        return false;
    applySpanFields(fields);
    return true;
}

} // namespace corvel
