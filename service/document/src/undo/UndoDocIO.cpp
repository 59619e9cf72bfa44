#include "corvel/document/UndoDocIO.h"

#include "corvel/document/Document.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoRegistry.h"
#include "undo/LittleEndian.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr size_t SCRATCH_RESERVE = 1024;
constexpr int32_t DUMP_UNITS = 63;

} // namespace

UndoDocIO::UndoDocIO(UndoRegistry& registry) : m_registry(registry) {
    registry.setHandler(registry.insertId(), this);
    registry.setHandler(registry.removeId(), this);
    registry.setHandler(registry.shortInsertId(), this);
    registry.setHandler(registry.shortRemoveId(), this);
}

void UndoDocIO::onTransactionBegin(UndoContext&) {
    if (!m_scratch) {
        m_scratch.reset(new std::wstring());
        m_scratch->reserve(SCRATCH_RESERVE);
    }
}

void UndoDocIO::onTransactionEnd(UndoContext&) {
    m_scratch.reset();
}

bool UndoDocIO::readUnits(UndoContext& context, int32_t count) {
    if (!m_scratch)
        m_scratch.reset(new std::wstring());
    const JournalCursor* cursor = context.cursor();
    uint32_t bytes = static_cast<uint32_t>(count) * 2;
    // The count must fit the payload that is left: a record cut short is never applied.
    if (count < 0 || !cursor || static_cast<uint32_t>(count) > 0x7FFFFFFFu / 2 || bytes > cursor->remaining())
        return false;
    m_scratch->assign(static_cast<size_t>(count), L'\0');
    return count == 0 || context.read(&(*m_scratch)[0], bytes) == bytes;
}

bool UndoDocIO::readChange(UndoContext& context, int type, Change& out, bool& shortForm) {
    uint32_t id = static_cast<uint32_t>(type);
    shortForm = id == m_registry.shortInsertId() || id == m_registry.shortRemoveId();
    out.insertRecord = id == m_registry.insertId() || id == m_registry.shortInsertId();
    uint8_t head[8];
    if (shortForm) {
        if (context.read(head, 4) != 4)
            return false;
        if (!m_scratch)
            m_scratch.reset(new std::wstring());
        out.offset = static_cast<int32_t>(getU16(head));
        out.count = 1;
        m_scratch->assign(1, static_cast<wchar_t>(getU16(head + 2)));
        return true;
    }
    if (context.read(head, 8) != 8)
        return false;
    out.offset = getI32(head);
    out.count = getI32(head + 4);
    return out.offset >= 0 && out.count >= 0;
}

bool UndoDocIO::apply(UndoContext& context, int type) {
    Document* document = context.document();
    if (!document)
        return true;
    Change change;
    bool shortForm = false;
    if (!readChange(context, type, change, shortForm))
        return false;
    bool insertion = change.insertRecord != (context.state() == UndoContext::UNDOING);
    int32_t length = document->getLength();
    if (!insertion) {
        // The units are not needed, but they must be there.
        const JournalCursor* cursor = context.cursor();
        if (!shortForm && (!cursor || static_cast<uint64_t>(change.count) * 2 > cursor->remaining()))
            return false;
        if (change.offset > length || change.count > length - change.offset)
            return false;
        document->removeText(change.count, change.offset, 0);
        return true;
    }
    if (!shortForm && !readUnits(context, change.count))
        return false;
    if (change.offset > length)
        return false;
    document->insertText(change.offset, change.count, m_scratch->data(), 0);
    return true;
}

void UndoDocIO::dump(UndoContext& context, const wchar_t* label, std::wstring& out) {
    Change change;
    bool shortForm = false;
    if (!readChange(context, context.cursor() ? context.cursor()->type() : -1, change, shortForm))
        return;
    int32_t shown = std::min(change.count, DUMP_UNITS);
    if (!shortForm && !readUnits(context, shown))
        return;
    out += label ? label : L"";
    out += L"[" + std::to_wstring(change.offset) + L", " + std::to_wstring(change.count) + L"] \"";
    out.append(*m_scratch, 0, static_cast<size_t>(shown));
    out += change.count > shown ? L"\"...\n" : L"\"\n";
    if (!context.isReplaying())
        m_scratch.reset();
}

} // namespace corvel
