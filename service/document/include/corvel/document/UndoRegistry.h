// The one undo store of the document engine: hands out the 6-bit record types of named
// operations and the handler that replays each, makes each document's UndoContext, and
// keeps the rollback files that long records are staged in. Main thread only. Its
// contexts are destroyed before it.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zem {
class File;
}

namespace corvel {

class Document;
class UndoContext;
class UndoDocIO;
class UndoListener;

class UndoRegistry {
public:
    static constexpr uint32_t SLOT_COUNT = 64;
    // The id of no operation: records of ids from here on are never written.
    static constexpr uint32_t NO_OPERATION = 64;

    // Opens and closes the journal and rollback files; a seam for tests, the default goes
    // through the file layer (read-write, created empty).
    struct FileHooks {
        std::function<zem::File*(const std::wstring& path)> open;
        std::function<void(zem::File* file)> close;
    };

    UndoRegistry();
    ~UndoRegistry();
    UndoRegistry(const UndoRegistry&) = delete;
    UndoRegistry& operator=(const UndoRegistry&) = delete;

    // The known id of the name, else the next one (ids from 64 on are handed out but never
    // recorded).
    uint32_t registerOperation(const wchar_t* name);
    // Clears the slot and forgets the name, for an id whose handler is set.
    void unregisterOperation(uint32_t id);
    // The first handler set for an id keeps the slot; false when the slot was taken or the
    // id is 64 or more.
    bool setHandler(uint32_t id, UndoListener* handler);
    UndoListener* getHandler(uint32_t id) const { return id < SLOT_COUNT ? m_handlers[id] : nullptr; }
    // NO_OPERATION when the name is not registered.
    uint32_t findOperation(const wchar_t* name) const;

    std::unique_ptr<UndoContext> createContext(Document* document);

    void addTransactionListener(UndoListener* listener);
    void removeTransactionListener(UndoListener* listener);
    const std::vector<UndoListener*>& transactionListeners() const { return m_transactionListeners; }

    uint32_t transactionId() const { return m_transactionId; }
    uint32_t insertId() const { return m_insertId; }
    uint32_t removeId() const { return m_removeId; }
    uint32_t shortInsertId() const { return m_shortInsertId; }
    uint32_t shortRemoveId() const { return m_shortRemoveId; }

    void setFileHooks(const FileHooks& hooks) { m_hooks = hooks; }
    const FileHooks& fileHooks() const { return m_hooks; }
    // Each journal and each rollback file gets a name of its own ("vtmp:undo/<n>",
    // "vtmp:undoRollback/<n>"): the temporary device opens a file only once at a time.
    static std::wstring uniquePath(const wchar_t* base);

    // A rollback file for a context's transaction: the last free one, else a new one;
    // null when none can be opened.
    zem::File* takeRollbackFile(UndoContext* holder);
    void giveBackRollbackFile(UndoContext* holder, zem::File* file);
    size_t freeRollbackFileCount() const { return m_freeRollback.size(); }

private:
    struct Operation {
        uint32_t id;
        std::wstring name;
    };
    struct RollbackFile {
        zem::File* file;
        std::wstring path;
    };

    void closeAndDelete(const RollbackFile& rollback);

    UndoListener* m_handlers[SLOT_COUNT] = {};
    std::map<std::wstring, Operation> m_operations;
    uint32_t m_nextId = 0;
    std::vector<UndoListener*> m_transactionListeners; // not owned
    std::vector<RollbackFile> m_freeRollback;
    std::vector<std::pair<UndoContext*, RollbackFile>> m_rollbackHolders;
    uint32_t m_transactionId = NO_OPERATION;
    uint32_t m_insertId = NO_OPERATION;
    uint32_t m_removeId = NO_OPERATION;
    uint32_t m_shortInsertId = NO_OPERATION;
    uint32_t m_shortRemoveId = NO_OPERATION;
    FileHooks m_hooks;
    std::unique_ptr<UndoDocIO> m_docIO; // takes the slots of the four document operations
};

} // namespace corvel
