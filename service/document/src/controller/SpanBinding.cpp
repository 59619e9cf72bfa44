#include "corvel/document/SpanBinding.h"

#include "corvel/config/StreamFields.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/SpanHighlighter.h"
#include "zem/base/Format.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace corvel {

namespace {

void collectPreOrder(Span* span, std::vector<Span*>& out) {
    out.push_back(span);
    for (Span* child = span->getFirstChild(); child; child = child->getNextSibling())
        collectPreOrder(child, out);
}

struct RecordEntry {
    uint32_t creator = 0;
    int32_t parent = 0;
    int32_t context = 0;
};

// Reads the count and the per-span entries; false when short or out of bounds.
bool readEntries(Stream& stream, std::vector<RecordEntry>& entries) {
    int32_t count = 0;
    if (!readInt32(stream, count) || count < 1 || count > SpanBinding::MAX_RECORD_SPANS)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        RecordEntry entry;
        if (!readUInt32(stream, entry.creator) || !readInt32(stream, entry.parent) || !readInt32(stream, entry.context))
            return false;
        entries.push_back(entry);
    }
    return true;
}

} // namespace

SpanBinding::SpanBinding(DocumentController* controller, SpanContext* root) : m_controller(controller), m_root(root) {
    m_root->setBinding(this);
    setSpan(m_root);
    m_highlighter.reset(new SpanHighlighter(controller));
}

SpanBinding::~SpanBinding() {
    if (m_activeContext)
        m_activeContext->endUpdate();
    m_activeContext = nullptr;
    if (m_highlighter)
        m_highlighter->clearSpans();
    m_controller->beginEdit(DocumentController::EDIT_READ);
    deleteTree(m_root);
    m_root = nullptr;
    m_controller->endEdit();
    m_highlighter.reset();
}

void SpanBinding::deleteTree(SpanContext* root) {
    delete root;
}

void SpanBinding::setSpan(Span* span) {
    SpanContext* previousActive = m_activeContext;
    if (m_current && span && m_currentContext && span->getContext() != m_currentContext)
        m_currentContext->deactivateSpan(m_current);
    m_current = span;
    m_currentContext = span ? span->getContext() : nullptr;
    if (m_currentContext)
        m_currentContext->activateSpan(span);
    SpanContext* context = m_currentContext;
    while (context && !context->navigates()) {
        Span* parent = context->getParent();
        context = parent ? parent->getContext() : nullptr;
    }
    m_activeContext = context;
    if (previousActive == m_activeContext)
        return;
    if (previousActive)
        previousActive->endUpdate();
    if (m_activeContext)
        m_activeContext->beginUpdate();
}

void SpanBinding::reset() {
    m_current = nullptr;
    m_currentContext = nullptr;
    if (m_activeContext)
        m_activeContext->endUpdate();
    m_activeContext = nullptr;
    m_root->removeAllChildren();
    setSpan(m_root);
    m_root->setLength(m_controller->getDocument()->getLength());
    m_highlighter->invalidateRanges();
}

Span* SpanBinding::findEnclosingSpan(int32_t start, int32_t end) {
    Span* span = m_current ? m_current : m_root;
    while (span != m_root) {
        if (span->covers(start, end))
            return span;
        SpanContext* context = span->getContext();
        Span* parent = context ? context->getParent() : nullptr;
        if (!context || context == m_root || !parent) {
            setSpan(m_root);
            m_root->removeAllChildren();
            return m_root;
        }
        // Editing outside the placeholder closes its context; its text stays.
        setSpan(parent);
        parent->detachChild(context);
        context->remove();
        span = parent;
    }
    return m_root;
}

void SpanBinding::refreshMirrors(Span* span) {
    span->updateMirrors(m_controller, false);
}

int32_t SpanBinding::insert(int32_t offset, int32_t count, const wchar_t* characters) {
    Document* document = m_controller->getDocument();
    if (count <= 0 || offset < 0 || offset > document->getLength())
        return offset;
    Span* span = findEnclosingSpan(offset, offset);
    span->removeAllChildren();
    const int32_t startBefore = span->getStart();
    document->insertText(offset, count, characters, 0);
    span->setLength(span->getLength() + count);
    refreshMirrors(span);
    return offset + (span->getStart() - startBefore);
}

int32_t SpanBinding::remove(int32_t count, int32_t offset) {
    Document* document = m_controller->getDocument();
    if (count <= 0 || offset < 0 || offset >= document->getLength())
        return offset;
    count = std::min(count, document->getLength() - offset);
    Span* span = findEnclosingSpan(offset, offset + count);
    span->removeAllChildren();
    const int32_t startBefore = span->getStart();
    document->removeText(count, offset, 0);
    span->setLength(std::max(0, span->getLength() - count));
    refreshMirrors(span);
    return offset + (span->getStart() - startBefore);
}

Span* SpanBinding::leaveSpan(Span* span) {
    if (!span || span == m_root || !span->getParent()) {
        setSpan(m_root);
        m_root->removeAllChildren();
        return m_root;
    }
    Span* parent = span->getParent();
    setSpan(parent);
    parent->detachChild(span);
    span->remove();
    return parent;
}

bool SpanBinding::gotoNextSpan(bool backward) {
    SpanContext* context = m_currentContext;
    while (context && !context->navigates()) {
        Span* parent = context->getParent();
        context = parent ? parent->getContext() : nullptr;
    }
    if (!context || context == m_root || !context->hasGroups())
        return false;
    const int32_t index = backward ? context->previousPlaceholder() : context->nextPlaceholder();
    Selection* selection = m_controller->beginChangeBatch();
    Span* child = index >= 0 ? context->getIndexedChild(index) : nullptr;
    if (!child) {
        const int32_t end = context->getEnd();
        leaveSpan(context);
        selection->setCaretOffset(end);
    } else {
        selection->collapse();
        setSpan(child);
        selection->selectOffsets(child->getStart(), child->getEnd(), Selection::ID_NORMAL);
        if (index == 0)
            leaveSpan(context);
    }
    m_controller->endChangeBatch();
    return true;
}

void SpanBinding::appendScopes(ScopePath& scopePath) {
    SpanContext* context = m_currentContext;
    while (context) {
        if (context->navigates() && !context->getName().empty())
            scopePath.push(context->getName().c_str(), static_cast<uint32_t>(context->getName().size()), true);
        Span* parent = context->getParent();
        context = parent ? parent->getContext() : nullptr;
    }
}

Span* SpanBinding::createSelectionSpans(const std::wstring& name) {
    Selection* selection = m_controller->getSelection();
    const std::vector<SelectionRange> ranges = selection->getRanges();
    if (ranges.empty())
        return nullptr;
    const int32_t first = ranges.front().start();
    const int32_t last = ranges.back().end();
    Span* enclosing = findEnclosingSpan(first, last);
    enclosing->removeAllChildren();
    SpanContext* context = new SpanContext(name, this, last - first);
    Span::attachWithText(nullptr, context, enclosing, first, nullptr);
    Span* primary = nullptr;
    int32_t primarySequence = 0;
    for (const SelectionRange& range : ranges) {
        Span* child = new Span(std::wstring(), range.end() - range.start());
        child->setOrder(range.sequence);
        child->setDirection(range.isForward() ? 1 : 0);
        Span::attachWithText(nullptr, child, context, range.start(), nullptr);
        if (!primary || range.sequence > primarySequence) {
            primary = child;
            primarySequence = range.sequence;
        }
    }
    return primary;
}

void SpanBinding::writeState(Stream& stream) {
    std::vector<Span*> list;
    collectPreOrder(m_root, list);
    SpanTable table;
    for (Span* span : list)
        table.add(span);
    writeInt32(stream, table.size());
    for (Span* span : list) {
        const int32_t parent = span->getParent() ? table.indexOf(span->getParent()) : 0;
        const SpanContext* context = span->getContext();
        const int32_t contextIndex = context && context != span ? std::max(0, table.indexOf(context)) : 0;
        writeUInt32(stream, span->getCreator());
        writeInt32(stream, std::max(0, parent));
        writeInt32(stream, contextIndex);
    }
    for (Span* span : list)
        span->write(stream, table);
    writeInt32(stream, std::max(0, table.indexOf(m_current)));
}

bool SpanBinding::readState(Stream& stream) {
    std::vector<RecordEntry> entries;
    if (!readEntries(stream, entries))
        return false;
    // The new tree is built aside and only replaces the old one when all of it read.
    std::vector<std::unique_ptr<Span>> made;
    SpanTable table;
    for (const RecordEntry& entry : entries) {
        Span* span = Span::create(entry.creator);
        if (!span)
            return false;
        made.emplace_back(span);
        table.add(span);
    }
    SpanContext* root = dynamic_cast<SpanContext*>(made[0].get());
    if (!root)
        return false;
    for (size_t i = 1; i < entries.size(); ++i) {
        const RecordEntry& entry = entries[i];
        const int32_t index = static_cast<int32_t>(i);
        if (entry.parent < 0 || entry.parent >= index || entry.context < 0 || entry.context >= index ||
            !dynamic_cast<SpanContext*>(table.at(entry.context)))
            return false;
    }
    root->setBinding(this);
    for (size_t i = 1; i < entries.size(); ++i) {
        const RecordEntry& entry = entries[i];
        Span* span = table.at(static_cast<int32_t>(i));
        if (SpanContext* ownContext = dynamic_cast<SpanContext*>(span))
            ownContext->setBinding(this);
        else
            span->setContext(static_cast<SpanContext*>(table.at(entry.context)));
        Span::attachWithText(nullptr, span, table.at(entry.parent), -1, nullptr);
    }
    // From here the spans belong to the new root's tree.
    for (size_t i = 1; i < made.size(); ++i)
        made[i].release();
    std::unique_ptr<Span> newRoot(made[0].release());
    for (int32_t i = 0; i < table.size(); ++i) {
        if (!table.at(i)->read(stream, table))
            return false;
    }
    int32_t current = 0;
    if (!readInt32(stream, current) || current < 0 || current >= table.size())
        return false;

    if (m_activeContext)
        m_activeContext->endUpdate();
    m_activeContext = nullptr;
    m_highlighter->invalidateRanges();
    deleteTree(m_root);
    m_root = static_cast<SpanContext*>(newRoot.release());
    m_current = nullptr;
    m_currentContext = nullptr;
    setSpan(table.at(current));
    return true;
}

void SpanBinding::dumpState(Stream& stream, const wchar_t* prefix, std::wstring& text) {
    int32_t count = 0;
    if (!readInt32(stream, count))
        return;
    text += zem::format(L"%sSpan count = %d\n", prefix, count);
    for (int32_t i = 0; i < count && i < MAX_RECORD_SPANS; ++i) {
        RecordEntry entry;
        if (!readUInt32(stream, entry.creator) || !readInt32(stream, entry.parent) || !readInt32(stream, entry.context))
            return;
        std::unique_ptr<Span> span(Span::create(entry.creator));
        text += zem::format(L"%s [%d] PI=%d CI=%d   [[ %s ]]\n", prefix, i, entry.parent, entry.context,
                            span ? span->getClassName() : L"UNKNOWN");
    }
}

} // namespace corvel
