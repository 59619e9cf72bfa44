// One ".cvConfig" file: the values declared in it, read at start-up and written back at
// exit when one of them was modified. The file is a Jasmine document stamped with the
// program's version; saving replaces the old file only once the new one is complete.
#pragma once
#include "corvel/config/ConfigValue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class Config;
class JasmineValue;

class ConfigFile {
public:
    ConfigFile(Config& config, const wchar_t* fileName, bool readOnly);
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Declare through the Config and add the value to this file; null when refused.
    ConfigValue* declare(ConfigValue::Type type, const wchar_t* key);
    ConfigValue* declareWithDefault(const wchar_t* key, const ConfigValue& defaultValue);

    // Loads and applies the file; false when it is missing, unreadable or not applied
    // whole. A syntax error throws corvel::ParserException.
    bool load();
    bool apply(JasmineValue& document);
    bool applyNamespace(const std::wstring& nameSpace, const JasmineValue& dictionary);
    // True without writing for a read-only file, one whose load met a syntax error, or
    // one with nothing modified.
    bool saveIfModified();
    bool save();
    void buildDocument(JasmineValue& out) const;

    // After a syntax error the file keeps its defaults and is not written this run, so
    // the user's text survives to be mended.
    void markSyntaxError() { m_syntaxError = true; }
    bool hadSyntaxError() const { return m_syntaxError; }

    bool isReadOnly() const { return m_readOnly; }
    const std::wstring& getFileName() const { return m_fileName; }
    const std::vector<ConfigValue*>& getValues() const { return m_values; }
    // FILETIME of the last write, 0 until written or when unreadable.
    uint64_t getLastWriteTime() const { return m_lastWriteTime; }

private:
    void addValue(ConfigValue* value);

    Config& m_config;
    std::wstring m_fileName;
    bool m_readOnly;
    bool m_syntaxError = false;
    std::vector<ConfigValue*> m_values; // declaration order, no repeats; owned by the Config
    uint64_t m_lastWriteTime = 0;
};

} // namespace corvel
