// Replays and describes the document's own undo records: insertions and removals, in
// the short form (one unit at an offset up to 0xFFFF) and the long form (any text).
#pragma once
#include "corvel/document/UndoListener.h"

#include <memory>
#include <string>

namespace corvel {

class UndoRegistry;

class UndoDocIO : public UndoListener {
public:
    // Takes the handler slots of the four document operations.
    explicit UndoDocIO(UndoRegistry& registry);

    void onTransactionBegin(UndoContext& context) override;
    void onTransactionEnd(UndoContext& context) override;
    // A record whose count does not fit its payload, or whose range lies outside the
    // document, is refused whole.
    bool apply(UndoContext& context, int type) override;
    void dump(UndoContext& context, const wchar_t* label, std::wstring& out) override;

private:
    struct Change {
        bool insertRecord = false;
        int32_t offset = 0;
        int32_t count = 0;
    };
    // Reads the record's offset and count (and, for a short form, its unit into the
    // scratch text); false when the payload cannot hold what it claims.
    bool readChange(UndoContext& context, int type, Change& out, bool& shortForm);
    bool readUnits(UndoContext& context, int32_t count);

    UndoRegistry& m_registry;
    // Units of the record being replayed; lives while a replayed transaction is open.
    std::unique_ptr<std::wstring> m_scratch;
};

} // namespace corvel
