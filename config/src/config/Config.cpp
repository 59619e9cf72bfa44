#include "corvel/config/Config.h"

#include "corvel/config/ConfigFile.h"
#include "corvel/jasmine/ParserException.h"
#include "zem/base/Crc.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <cwchar>

namespace corvel {

// The registration with the message registry: the main thread's half of change delivery.
class Config::Poster : public zem::MessageListener {
public:
    explicit Poster(Config& config) : m_config(config) {}
    void onMessage(const zem::MessagePayload* payload) override {
        (void)payload;
        try {
            m_config.onMessage();
        } catch (const zem::Exception& e) {
            std::wstring text = e.message();
            zem::logMessage(zem::LOG_ERROR, m_config.logSource(), L"Config: change delivery failed: %s\n",
                            text.c_str());
        } catch (...) {
            zem::logMessage(zem::LOG_ERROR, m_config.logSource(), L"Config: change delivery failed\n");
        }
    }

private:
    Config& m_config;
};

Config::Config() : m_logSource(zem::LogManager_Impl::instance().registerSource(L"Config")) {
    ensurePoster();
}

Config::~Config() {
    m_poster.reset();
    m_pending.clear();
    m_files.clear();
    m_values.clear();
    m_namespaces.clear();
}

uint32_t Config::keyId(const wchar_t* key) {
    return zem::crc32UpdateLowBytes(0, key ? key : L"");
}

bool Config::ensurePoster() {
    if (m_poster)
        return true;
    if (!zem::MessageRegistry::instance() || !zem::is_main_thread())
        return false;
    m_poster.reset(new Poster(*this));
    return true;
}

bool Config::splitKey(const wchar_t* key, SplitKey& out) {
    if (!key)
        return false;
    size_t length = std::wcslen(key);
    if (length > MAX_KEY_LENGTH) {
        zem::logMessage(zem::LOG_ERROR, m_logSource, L"Config: Value identifier is too long\n");
        return false;
    }
    const wchar_t* dot = std::wcsrchr(key, L'.');
    if (!dot)
        return false;
    out.nameSpace.assign(key, dot);
    out.name.assign(dot + 1);
    out.keyId = keyId(key);
    out.nameSpaceId = keyId(out.nameSpace.c_str());
    return true;
}

ConfigNamespace* Config::findOrMakeNamespace(const std::wstring& name, uint32_t id) {
    auto it = m_namespaces.find(id);
    if (it != m_namespaces.end())
        return it->second.get();
    ConfigNamespace* made = new ConfigNamespace(id, name);
    m_namespaces.emplace(id, std::unique_ptr<ConfigNamespace>(made));
    return made;
}

ConfigValue* Config::declareValue(const wchar_t* key, ConfigValue::Type type) {
    zem::CriticalSectionLock guard(m_lock);
    SplitKey split;
    if (!splitKey(key, split))
        return nullptr;
    auto found = m_values.find(split.keyId);
    if (found != m_values.end()) {
        if (found->second->getType() == type)
            return found->second.get();
        zem::logMessage(zem::LOG_WARNING, m_logSource, L"Config: value '%s' is already defined, but with different type\n",
                        key);
        return nullptr;
    }
    ConfigNamespace* nameSpace = findOrMakeNamespace(split.nameSpace, split.nameSpaceId);
    std::unique_ptr<ConfigValue> value(new ConfigValue(type));
    value->m_typeFlags |= ConfigValue::FLAG_CHANGED;
    if (type == ConfigValue::TYPE_LIST) {
        value->m_payload.list = new ConfigValue::List();
        value->m_typeFlags |= ConfigValue::FLAG_HOLDS_VALUE;
    }
    value->m_namespace = nameSpace;
    value->m_name = split.name;
    ConfigValue* made = value.get();
    m_values.emplace(split.keyId, std::move(value));
    nameSpace->m_values.push_back(made);
    return made;
}

ConfigValue* Config::declareValueWithDefault(const wchar_t* key, const ConfigValue& defaultValue) {
    zem::CriticalSectionLock guard(m_lock);
    bool existed = getValue(key) != nullptr;
    ConfigValue* value = declareValue(key, defaultValue.getType());
    if (value && !existed)
        value->assign(defaultValue);
    return value;
}

ConfigValue* Config::getValue(const wchar_t* key) {
    if (!key)
        return nullptr;
    zem::CriticalSectionLock guard(m_lock);
    auto found = m_values.find(keyId(key));
    return found == m_values.end() ? nullptr : found->second.get();
}

ConfigNamespace* Config::getNamespace(const wchar_t* name, bool create) {
    zem::CriticalSectionLock guard(m_lock);
    std::wstring text = name ? name : L"";
    uint32_t id = keyId(text.c_str());
    auto it = m_namespaces.find(id);
    if (it != m_namespaces.end())
        return it->second.get();
    if (!create) {
        zem::logMessage(zem::LOG_ERROR, m_logSource, L"Config: Name space '%s' not found\n", text.c_str());
        return nullptr;
    }
    return findOrMakeNamespace(text, id);
}

bool Config::notifyChanged(const wchar_t* nameSpace) {
    zem::CriticalSectionLock guard(m_lock);
    ConfigNamespace* found = getNamespace(nameSpace, false);
    if (!found)
        return false;
    // A copy: a listener may subscribe or leave while it is being told.
    std::vector<ConfigListener*> listeners = found->m_listeners;
    for (ConfigListener* listener : listeners)
        listener->changedNow(*this, found->m_name.c_str());
    m_pending.push_back(found);
    if (!m_postInFlight)
        postChanges();
    return true;
}

void Config::postChanges() {
    zem::CriticalSectionLock guard(m_lock);
    // A registry shut down meanwhile dropped the message in flight.
    zem::MessageRegistry* registry = zem::MessageRegistry::instance();
    if (m_postInFlight && (!registry || !registry->isActive()))
        m_postInFlight = false;
    if (m_postInFlight)
        return;
    if (ensurePoster() && m_poster->post()) {
        m_postInFlight = true;
        return;
    }
    // Nothing could be posted. On the main thread the names are delivered now; on another
    // thread they wait, and the next change posts again.
    if (zem::is_main_thread())
        dispatchChanges(false);
}

void Config::onMessage() {
    dispatchChanges(true);
}

void Config::dispatchChanges(bool takeLock) {
    if (takeLock)
        m_lock.enter();
    struct Leave {
        Config& config;
        bool held;
        ~Leave() {
            if (held)
                config.m_lock.leave();
        }
    } leave{*this, takeLock};
    if (takeLock)
        m_postInFlight = false;
    // Taken out first: a listener that changes settings queues them for the next delivery.
    std::vector<ConfigNamespace*> pending;
    pending.swap(m_pending);
    for (ConfigNamespace* nameSpace : pending) {
        std::vector<ConfigListener*> listeners = nameSpace->m_listeners;
        for (ConfigListener* listener : listeners)
            listener->changedLater(*this, nameSpace->m_name.c_str());
        for (ConfigValue* value : nameSpace->m_values)
            value->clearFlags(ConfigValue::FLAG_CHANGED);
    }
}

ConfigFile* Config::getFile(const wchar_t* fileName, bool readOnly) {
    zem::CriticalSectionLock guard(m_lock);
    uint32_t id = keyId(fileName);
    auto it = m_files.find(id);
    if (it != m_files.end())
        return it->second.get();
    ConfigFile* made = new ConfigFile(*this, fileName, readOnly);
    m_files.emplace(id, std::unique_ptr<ConfigFile>(made));
    return made;
}

bool Config::loadAll() {
    zem::CriticalSectionLock guard(m_lock);
    bool all = true;
    for (auto& entry : m_files) {
        ConfigFile& file = *entry.second;
        try {
            if (!file.load())
                all = false;
        } catch (const ParserException& e) {
            std::wstring text = e.message();
            zem::logMessage(zem::LOG_ERROR, m_logSource, L"ConfigFile: Syntax error in file '%s': %s\n",
                            file.getFileName().c_str(), text.c_str());
            file.markSyntaxError();
            all = false;
        }
    }
    return all;
}

bool Config::saveAll(std::vector<std::wstring>* failed) {
    zem::CriticalSectionLock guard(m_lock);
    bool all = true;
    for (auto& entry : m_files) {
        if (entry.second->saveIfModified())
            continue;
        all = false;
        if (failed)
            failed->push_back(entry.second->getFileName());
    }
    return all;
}

} // namespace corvel
