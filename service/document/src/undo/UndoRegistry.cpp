#include "corvel/document/UndoRegistry.h"

#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoDocIO.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <atomic>

namespace corvel {

namespace {

// A rollback file that grew past this is emptied when it is given back.
constexpr uint32_t ROLLBACK_KEEP_SIZE = 0x4000;

} // namespace

UndoRegistry::UndoRegistry() {
    m_hooks.open = [](const std::wstring& path) {
        return zem::fileOpen(path.c_str(), zem::FILE_MODE_READ_WRITE_TRUNCATE);
    };
    m_hooks.close = [](zem::File* file) { zem::fileClose(file); };
    m_transactionId = registerOperation(L"TRANSACTION");
    m_insertId = registerOperation(L"DOC-INSERT");
    m_removeId = registerOperation(L"DOC-REMOVE");
    m_shortInsertId = registerOperation(L"DOC-INSERT-S");
    m_shortRemoveId = registerOperation(L"DOC-REMOVE-S");
    m_docIO.reset(new UndoDocIO(*this));
}

UndoRegistry::~UndoRegistry() {
    for (auto& held : m_rollbackHolders)
        closeAndDelete(held.second);
    m_rollbackHolders.clear();
    for (const RollbackFile& rollback : m_freeRollback)
        closeAndDelete(rollback);
    m_freeRollback.clear();
    unregisterOperation(m_insertId);
    unregisterOperation(m_removeId);
    unregisterOperation(m_shortInsertId);
    unregisterOperation(m_shortRemoveId);
}

uint32_t UndoRegistry::registerOperation(const wchar_t* name) {
    zem::checkMainThread();
    auto found = m_operations.find(name);
    if (found != m_operations.end())
        return found->second.id;
    uint32_t id = m_nextId++;
    m_operations.emplace(name, Operation{id, name});
    return id;
}

void UndoRegistry::unregisterOperation(uint32_t id) {
    if (id >= SLOT_COUNT || !m_handlers[id])
        return;
    m_handlers[id] = nullptr;
    for (auto it = m_operations.begin(); it != m_operations.end();) {
        if (it->second.id == id)
            it = m_operations.erase(it);
        else
            ++it;
    }
}

bool UndoRegistry::setHandler(uint32_t id, UndoListener* handler) {
    if (id >= SLOT_COUNT || m_handlers[id])
        return false;
    m_handlers[id] = handler;
    return true;
}

uint32_t UndoRegistry::findOperation(const wchar_t* name) const {
    auto found = m_operations.find(name);
    return found == m_operations.end() ? NO_OPERATION : found->second.id;
}

std::unique_ptr<UndoContext> UndoRegistry::createContext(Document* document) {
    return std::unique_ptr<UndoContext>(new UndoContext(document, this));
}

void UndoRegistry::addTransactionListener(UndoListener* listener) {
    if (std::find(m_transactionListeners.begin(), m_transactionListeners.end(), listener) == m_transactionListeners.end())
        m_transactionListeners.push_back(listener);
}

void UndoRegistry::removeTransactionListener(UndoListener* listener) {
    m_transactionListeners.erase(std::remove(m_transactionListeners.begin(), m_transactionListeners.end(), listener),
                                 m_transactionListeners.end());
}

std::wstring UndoRegistry::uniquePath(const wchar_t* base) {
    static std::atomic<uint32_t> s_counter{0};
    return base + std::to_wstring(++s_counter);
}

zem::File* UndoRegistry::takeRollbackFile(UndoContext* holder) {
    RollbackFile rollback{nullptr, std::wstring()};
    if (!m_freeRollback.empty()) {
        rollback = m_freeRollback.back();
        m_freeRollback.pop_back();
    } else {
        rollback.path = uniquePath(L"vtmp:undoRollback/");
        rollback.file = m_hooks.open(rollback.path);
        if (!rollback.file) {
            zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE,
                            L"UndoRegistry: cannot open the rollback file '%s'\n", rollback.path.c_str());
            return nullptr;
        }
    }
    m_rollbackHolders.emplace_back(holder, rollback);
    return rollback.file;
}

void UndoRegistry::giveBackRollbackFile(UndoContext* holder, zem::File* file) {
    auto held = std::find_if(m_rollbackHolders.begin(), m_rollbackHolders.end(),
                             [&](const std::pair<UndoContext*, RollbackFile>& entry) {
                                 return entry.first == holder && entry.second.file == file;
                             });
    if (held == m_rollbackHolders.end())
        return;
    RollbackFile rollback = held->second;
    m_rollbackHolders.erase(held);
    if (rollback.file->getSize() > ROLLBACK_KEEP_SIZE) {
        rollback.file->seek(zem::FILE_SEEK_BEGIN, 0);
        rollback.file->truncate();
    }
    m_freeRollback.push_back(rollback);
}

void UndoRegistry::closeAndDelete(const RollbackFile& rollback) {
    m_hooks.close(rollback.file);
    zem::fileDelete(rollback.path.c_str());
}

} // namespace corvel
