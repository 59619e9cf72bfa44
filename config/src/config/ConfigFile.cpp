#include "corvel/config/ConfigFile.h"

#include "corvel/base/VersionInfo.h"
#include "corvel/config/Config.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

// The group and key a value is written under. Its namespace is the text before the last
// dot of its full key, but a file may have held it under a shorter group (app : { a.5e3x : 1 }),
// and the part after the last dot need not read back as a key on its own ("5e3x" lexes as
// a number and a symbol). The split then moves left to a dot where both parts read back as
// single keys; the full key, and so the value read next time, stays the same.
void splitForWriting(const std::wstring& nameSpace, const std::wstring& name, std::wstring& group, std::wstring& key) {
    group = nameSpace;
    key = name;
    if (JasmineValue::isWritableKey(name))
        return;
    const std::wstring full = nameSpace + L"." + name;
    for (size_t dot = nameSpace.rfind(L'.'); dot != std::wstring::npos && dot > 0; dot = full.rfind(L'.', dot - 1)) {
        std::wstring before = full.substr(0, dot);
        std::wstring after = full.substr(dot + 1);
        if (JasmineValue::isWritableKey(before) && JasmineValue::isWritableKey(after)) {
            group = before;
            key = after;
            return;
        }
    }
}

} // namespace

ConfigFile::ConfigFile(Config& config, const wchar_t* fileName, bool readOnly)
    : m_config(config), m_fileName(fileName ? fileName : L""), m_readOnly(readOnly) {}

void ConfigFile::addValue(ConfigValue* value) {
    if (std::find(m_values.begin(), m_values.end(), value) == m_values.end())
        m_values.push_back(value);
}

ConfigValue* ConfigFile::declare(ConfigValue::Type type, const wchar_t* key) {
    ConfigValue* value = m_config.declareValue(key, type);
    if (value)
        addValue(value);
    return value;
}

ConfigValue* ConfigFile::declareWithDefault(const wchar_t* key, const ConfigValue& defaultValue) {
    ConfigValue* value = m_config.declareValueWithDefault(key, defaultValue);
    if (value)
        addValue(value);
    return value;
}

bool ConfigFile::load() {
    JasmineValue document;
    if (!JasmineLoader::load(m_fileName.c_str(), document))
        return false;
    return apply(document);
}

bool ConfigFile::apply(JasmineValue& document) {
    const JasmineValue* version = document.findVersion();
    if (!version) {
        zem::logMessage(zem::LOG_ERROR, m_config.logSource(),
                        L"File '%s' is in deprecated format, 'version' identifier not found.\n", m_fileName.c_str());
        return false;
    }
    if (parseVersionStamp(version->asString(L"")) == 0) {
        zem::logMessage(zem::LOG_ERROR, m_config.logSource(),
                        L"ConfigFile: Version identifier mish mash in file '%s'\n", m_fileName.c_str());
        return false;
    }
    document.removeVersion();
    bool all = true;
    const JasmineDictionary* entries = document.dictionary();
    for (size_t i = 0; entries && i < entries->size(); ++i) {
        const JasmineDictionary::Entry& entry = entries->at(i);
        if (entry.value.isDictionary() && !applyNamespace(entry.key, entry.value))
            all = false;
    }
    return all;
}

bool ConfigFile::applyNamespace(const std::wstring& nameSpace, const JasmineValue& dictionary) {
    const JasmineDictionary* entries = dictionary.dictionary();
    for (size_t i = 0; entries && i < entries->size(); ++i) {
        const JasmineDictionary::Entry& entry = entries->at(i);
        std::wstring key = nameSpace + L"." + entry.key;
        ConfigValue fromFile;
        bool readable = fromFile.fromJasmineValue(entry.value);
        ConfigValue* value = m_config.getValue(key.c_str());
        if (value) {
            // A declared key keeps its type: the file's value converts into it, and one
            // that cannot be read leaves the setting as it was.
            if (readable)
                value->assign(fromFile);
        } else if (readable) {
            value = declareWithDefault(key.c_str(), fromFile);
        }
        if (value)
            value->clearFlags(ConfigValue::FLAG_MODIFIED);
    }
    return m_config.notifyChanged(nameSpace.c_str());
}

bool ConfigFile::saveIfModified() {
    if (m_readOnly || m_syntaxError)
        return true;
    for (ConfigValue* value : m_values) {
        if (value->hasFlags(ConfigValue::FLAG_MODIFIED))
            return save();
    }
    return true;
}

void ConfigFile::buildDocument(JasmineValue& out) const {
    out.initPayload(JasmineValue::TYPE_DICTIONARY);
    out.getOrAddEntry(L"version").setString(getVersionStamp());
    std::wstring groupName;
    std::wstring key;
    for (ConfigValue* value : m_values) {
        splitForWriting(value->getNamespace()->getName(), value->getName(), groupName, key);
        JasmineValue& group = out.getOrAddEntry(groupName);
        if (group.isNull())
            group.initPayload(JasmineValue::TYPE_DICTIONARY);
        if (value->hasFlags(ConfigValue::FLAG_HOLDS_VALUE))
            value->toJasmine(group.getOrAddEntry(key));
    }
}

bool ConfigFile::save() {
    if (m_readOnly || m_syntaxError)
        return false;
    JasmineValue document;
    buildDocument(document);
    std::wstring text;
    std::wstring badKey;
    if (!document.writeText(text, 0, &badKey)) {
        zem::logMessage(zem::LOG_ERROR, m_config.logSource(), L"JasmineLoader::save(): Key `%s` cannot be written.\n",
                        badKey.c_str());
        zem::logMessage(zem::LOG_ERROR, m_config.logSource(), L"File '%s' can't open for write\n", m_fileName.c_str());
        return false;
    }
    if (!JasmineLoader::writeDocument(m_fileName.c_str(), text)) {
        zem::logMessage(zem::LOG_ERROR, m_config.logSource(), L"File '%s' can't open for write\n", m_fileName.c_str());
        return false;
    }
    for (ConfigValue* value : m_values)
        value->clearFlags(ConfigValue::FLAG_MODIFIED);
    zem::FileInfo info;
    m_lastWriteTime = zem::fileGetAttributes(m_fileName.c_str(), &info) ? info.lastWriteTime : 0;
    return true;
}

} // namespace corvel
