#include "corvel/document/SpanContext.h"

#include "corvel/config/StreamFields.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanHighlighter.h"
#include "zem/base/Crc.h"

namespace corvel {

const uint32_t SpanContext::CLASS_TAG = zem::crc32String(L"SpanContext");

SpanContext::SpanContext(const std::wstring& name, SpanBinding* binding, int32_t length)
    : Span(name, length), m_binding(binding) {
    setContext(this);
}

SpanContext::~SpanContext() {
    for (auto& entry : m_groups)
        dropMasterListener(*entry.second);
}

void SpanContext::repaint(int32_t from, int32_t to) {
    if (m_binding && m_binding->getHighlighter())
        m_binding->getHighlighter()->repaintRange(from, to);
}

void SpanContext::onMasterChanged(void* self, Span* span, int32_t oldStart, int32_t oldLength) {
    SpanContext* context = static_cast<SpanContext*>(self);
    if (!context->isUpdating())
        return;
    context->repaint(oldStart, oldStart + oldLength);
    context->repaint(span->getStart(), span->getEnd());
    if (context->m_binding && context->m_binding->getHighlighter())
        context->m_binding->getHighlighter()->invalidateRanges();
}

void SpanContext::dropMasterListener(Group& group) {
    if (!group.master)
        return;
    group.master->changeListeners().remove(&SpanContext::onMasterChanged, this);
    if (isUpdating() && m_binding && m_binding->getHighlighter())
        m_binding->getHighlighter()->removeSpan(group.master);
}

SpanContext::Group* SpanContext::findGroup(int32_t number, bool create) {
    if (number < 0)
        return nullptr;
    const auto found = m_groups.find(number);
    if (found != m_groups.end())
        return found->second.get();
    if (!create)
        return nullptr;
    std::unique_ptr<Group> group(new Group());
    group->number = number;
    group->context = this;
    Group* result = group.get();
    m_groups[number] = std::move(group);
    return result;
}

void SpanContext::setMaster(int32_t number, Span* span) {
    Group* group = findGroup(number, true);
    if (!group || group->master == span)
        return;
    dropMasterListener(*group);
    group->master = span;
    if (!span)
        return;
    span->setPlaceholder(number);
    span->changeListeners().add(&SpanContext::onMasterChanged, this);
}

void SpanContext::addMirror(int32_t number, Span* span) {
    Group* group = findGroup(number, true);
    if (!group || !span)
        return;
    span->setPlaceholder(number);
    span->setActive(false);
    group->mirrors.push_back(span);
}

void SpanContext::removeGroup(int32_t number) {
    const auto found = m_groups.find(number);
    if (found == m_groups.end())
        return;
    Group& group = *found->second;
    dropMasterListener(group);
    if (group.master)
        group.master->setPlaceholder(-1);
    for (Span* mirror : group.mirrors)
        mirror->setPlaceholder(-1);
    if (m_current == &group)
        m_current = nullptr;
    m_groups.erase(found);
}

void SpanContext::onSpanRemoved(Span* span) {
    Group* group = findGroup(span->getPlaceholder(), false);
    if (!group)
        return;
    if (group->master == span) {
        removeGroup(group->number);
        return;
    }
    for (auto it = group->mirrors.begin(); it != group->mirrors.end(); ++it) {
        if (*it == span) {
            group->mirrors.erase(it);
            span->setPlaceholder(-1);
            return;
        }
    }
}

void SpanContext::activateSpan(Span* span) {
    Group* group = span ? findGroup(span->getPlaceholder(), false) : nullptr;
    if (group && group->master == span && span->isActive())
        m_current = group;
}

void SpanContext::beginUpdate() {
    m_flags |= FLAG_UPDATING;
    SpanHighlighter* highlighter = m_binding ? m_binding->getHighlighter() : nullptr;
    if (!highlighter)
        return;
    for (auto& entry : m_groups) {
        if (entry.second->master)
            highlighter->addSpan(entry.second->master);
    }
}

void SpanContext::endUpdate() {
    m_flags &= ~static_cast<uint32_t>(FLAG_UPDATING);
    if (m_binding && m_binding->getHighlighter())
        m_binding->getHighlighter()->clearSpans();
}

int32_t SpanContext::nextPlaceholder() const {
    if (m_groups.empty())
        return -1;
    if (!m_current) {
        auto first = m_groups.begin();
        if (first->first == 0 && m_groups.size() > 1)
            ++first;
        return first->first;
    }
    // The final stop ends the tour.
    if (m_current->number == 0)
        return -1;
    for (auto it = m_groups.upper_bound(m_current->number); it != m_groups.end(); ++it) {
        if (it->second->master && it->second->master->isActive())
            return it->first;
    }
    return m_groups.count(0) ? 0 : -1;
}

int32_t SpanContext::previousPlaceholder() const {
    if (m_groups.empty())
        return -1;
    if (!m_current)
        return m_groups.rbegin()->first;
    auto it = m_groups.lower_bound(m_current->number);
    while (it != m_groups.begin()) {
        --it;
        if (it->first != 0 && it->second->master && it->second->master->isActive())
            return it->first;
    }
    for (const auto& entry : m_groups) {
        if (entry.first != 0)
            return entry.first;
    }
    return -1;
}

Span* SpanContext::getIndexedChild(int32_t number) const {
    const auto found = m_groups.find(number);
    return found == m_groups.end() ? nullptr : found->second->master;
}

void SpanContext::setCurrentGroup(int32_t number) {
    m_current = number < 0 ? nullptr : findGroup(number, true);
}

void SpanContext::refreshMirrors(DocumentController* controller) {
    std::vector<Span*> masters;
    for (const auto& entry : m_groups) {
        if (entry.second->master && entry.second->master->isActive())
            masters.push_back(entry.second->master);
    }
    for (Span* master : masters)
        master->updateMirrors(controller, true);
}

void SpanContext::write(Stream& stream, const SpanTable& table) const {
    writeSpanFields(stream);
    writeInt32(stream, static_cast<int32_t>(m_groups.size()));
    for (const auto& entry : m_groups) {
        writeInt32(stream, entry.first);
        writeInt32(stream, static_cast<int32_t>(entry.second->mirrors.size()));
        for (const Span* mirror : entry.second->mirrors)
            writeInt32(stream, table.indexOf(mirror));
    }
    writeInt32(stream, m_current ? m_current->number : -1);
    writeUInt32(stream, m_flags);
}

bool SpanContext::read(Stream& stream, const SpanTable& table) {
    Fields fields;
    int32_t groupCount = 0;
    if (!readSpanFields(stream, fields) || !readInt32(stream, groupCount) || groupCount < 0 || groupCount > MAX_GROUPS)
        return false;
    // Everything is read and checked before anything changes.
    std::vector<std::pair<int32_t, std::vector<Span*>>> groups;
    for (int32_t g = 0; g < groupCount; ++g) {
        int32_t number = 0;
        int32_t mirrorCount = 0;
        if (!readInt32(stream, number) || number < 0 || !readInt32(stream, mirrorCount) || mirrorCount < 0 ||
            mirrorCount > MAX_MIRRORS || mirrorCount > table.size())
            return false;
        std::vector<Span*> mirrors;
        for (int32_t m = 0; m < mirrorCount; ++m) {
            int32_t index = 0;
            if (!readInt32(stream, index))
                return false;
            Span* mirror = table.at(index);
            if (!mirror || mirror == this)
                return false;
            mirrors.push_back(mirror);
        }
        groups.emplace_back(number, std::move(mirrors));
    }
    int32_t current = -1;
    uint32_t flags = 0;
    if (!readInt32(stream, current) || !readUInt32(stream, flags))
        return false;
    for (auto& entry : m_groups)
        dropMasterListener(*entry.second);
    m_groups.clear();
    m_current = nullptr;
    applySpanFields(fields);
    for (auto& group : groups) {
        findGroup(group.first, true);
        for (Span* mirror : group.second)
            addMirror(group.first, mirror);
    }
    setCurrentGroup(current);
    m_flags = flags & ~static_cast<uint32_t>(FLAG_UPDATING);
    return true;
}

} // namespace corvel
