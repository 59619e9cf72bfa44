// A handler of undo records: told when transactions are recorded and replayed, and asked
// to replay (apply) or describe (dump) the record the context stands on. Registered per
// operation with the UndoRegistry, or with one UndoContext.
#pragma once
#include <string>

namespace corvel {

class UndoContext;

class UndoListener {
public:
    virtual ~UndoListener() = default;

    virtual void onRecordingBegin(UndoContext& context) { (void)context; }
    virtual void onRecordingEnd(UndoContext& context) { (void)context; }
    // Replay enters, then leaves, one transaction.
    virtual void onTransactionBegin(UndoContext& context) { (void)context; }
    virtual void onTransactionEnd(UndoContext& context) { (void)context; }
    // Replays the record the context is reading (its payload through UndoContext::read).
    // False when the record cannot be what its type says: the walk stops there, nothing of
    // the record having been applied.
    virtual bool apply(UndoContext& context, int type) {
        (void)context;
        (void)type;
        return true;
    }
    // Appends a description of the record: by default a hex dump of at most 256 payload
    // bytes, each line led by the label.
    virtual void dump(UndoContext& context, const wchar_t* label, std::wstring& out);
};

} // namespace corvel
