// Every setting of the program as a typed value under a dotted key, grouped in name
// spaces and bound to configuration files. One critical section guards it all: callers
// hold getLock() around getValue and every use of the value it returns. Changes reach a
// name space's listeners at once and again on the main thread, through the message registry.
#pragma once
#include "corvel/config/ConfigNamespace.h"
#include "corvel/config/ConfigValue.h"

#include "zem/thread/CriticalSection.h"
#include "zem/thread/MessageRegistry.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvel {

class ConfigFile;

class Config {
public:
    static constexpr size_t MAX_KEY_LENGTH = 258;

    // Registers with the message registry when one exists (else the first main-thread
    // change made once one exists does), and the log source "Config".
    Config();
    ~Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    zem::CriticalSection& getLock() { return m_lock; }
    uint32_t logSource() const { return m_logSource; }

    // The value of the key, made with the type when new; null (logged) for a key that is
    // too long or already declared with another type, null silently for a key without a dot.
    ConfigValue* declareValue(const wchar_t* key, ConfigValue::Type type);
    // As declareValue with the default's type; a new value is assigned the default.
    ConfigValue* declareValueWithDefault(const wchar_t* key, const ConfigValue& defaultValue);
    ConfigValue* getValue(const wchar_t* key);
    // Null (logged) when missing and not to be created.
    ConfigNamespace* getNamespace(const wchar_t* name, bool create);

    // Tells the name space's listeners now, and queues it for the main thread.
    bool notifyChanged(const wchar_t* nameSpace);
    void postChanges();
    void dispatchChanges(bool takeLock);

    // Looks the file up by its name, making it with the flag when missing.
    ConfigFile* getFile(const wchar_t* fileName, bool readOnly);
    // Every file in ascending id order; true when all succeeded. A file with a syntax
    // error is logged, keeps its defaults and is not written this run.
    bool loadAll();
    // With failed, the names of the files that could not be written are appended.
    bool saveAll(std::vector<std::wstring>* failed = nullptr);

    // Key ids: CRC-32 of the low bytes of the key's units.
    static uint32_t keyId(const wchar_t* key);

private:
    struct SplitKey {
        std::wstring nameSpace;
        std::wstring name;
        uint32_t keyId = 0;
        uint32_t nameSpaceId = 0;
    };
    class Poster;

    bool splitKey(const wchar_t* key, SplitKey& out);
    ConfigNamespace* findOrMakeNamespace(const std::wstring& name, uint32_t id);
    // The registry registration, made on the main thread once a registry exists.
    bool ensurePoster();
    void onMessage();

    zem::CriticalSection m_lock;
    uint32_t m_logSource;
    // All below guarded by m_lock.
    std::unordered_map<uint32_t, std::unique_ptr<ConfigValue>> m_values;
    std::map<uint32_t, std::unique_ptr<ConfigFile>> m_files;
    std::map<uint32_t, std::unique_ptr<ConfigNamespace>> m_namespaces;
    std::vector<ConfigNamespace*> m_pending; // in order, repeats allowed
    bool m_postInFlight = false;             // a posted message has not been delivered yet
    std::unique_ptr<Poster> m_poster;
};

} // namespace corvel
