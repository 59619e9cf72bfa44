// The settings under one dotted prefix ("app.editor.font") and who listens to them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class Config;
class ConfigValue;

class ConfigListener {
public:
    virtual ~ConfigListener() = default;
    // At once, on the thread that changed the name space, under the Config lock.
    virtual void changedNow(Config& config, const wchar_t* nameSpace) = 0;
    // Later, on the main thread, under the Config lock.
    virtual void changedLater(Config& config, const wchar_t* nameSpace) = 0;
};

class ConfigNamespace {
public:
    ConfigNamespace(uint32_t id, std::wstring name) : m_id(id), m_name(std::move(name)) {}

    uint32_t getId() const { return m_id; }
    const std::wstring& getName() const { return m_name; }
    // Appends unless already listening; the listener is not owned.
    void addListener(ConfigListener* listener);
    void removeListener(ConfigListener* listener);
    const std::vector<ConfigListener*>& getListeners() const { return m_listeners; }
    // In declaration order.
    const std::vector<ConfigValue*>& getValues() const { return m_values; }

private:
    friend class Config;
    uint32_t m_id;
    std::wstring m_name;
    std::vector<ConfigListener*> m_listeners;
    std::vector<ConfigValue*> m_values; // owned by the Config
};

} // namespace corvel
