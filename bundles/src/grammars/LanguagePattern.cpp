#include "corvel/bundles/LanguagePattern.h"

#include "corvel/bundles/BundleManager.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/text/RegEx.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"
#include "zem/value/StringValue.h"
#include "zem/value/Values.h"

#include <cwchar>

namespace corvel {

namespace {

void logError(const wchar_t* format, const wchar_t* a, const wchar_t* b = L"", const wchar_t* c = L"") {
    zem::logMessage(3, BundleManager::logSource(), format, a, b, c);
}

// The group number of a captures key; false when the key is not a whole decimal number.
bool parseGroup(const std::wstring& key, int32_t& out) {
    if (key.empty())
        return false;
    wchar_t* end = nullptr;
    long value = std::wcstol(key.c_str(), &end, 10);
    if (*end != 0)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

void writeCaptures(zem::DictionaryValue& out, const wchar_t* key, const CaptureNames& captures) {
    if (captures.empty())
        return;
    zem::DictionaryValue* map = zem::createDictionaryValue();
    for (auto& capture : captures) {
        zem::DictionaryValue* entry = zem::createDictionaryValue();
        entry->set(L"name", zem::createStringValue(capture.second));
        map->set(std::to_wstring(capture.first), entry);
    }
    out.set(key, map);
}

void writeRegEx(zem::DictionaryValue& out, const wchar_t* key, const RegExLiteral& regex) {
    out.set(key, zem::createRegExpValue(regex.pattern(), regex.options()));
}

} // namespace

LanguagePattern::LanguagePattern(const std::wstring& repositoryKey, LanguagePattern* parent, int32_t index)
    : m_index(index), m_repositoryKey(repositoryKey), m_parent(parent) {}

LanguagePattern::~LanguagePattern() = default;

void LanguagePattern::clear() {
    clearPatterns();
}

void LanguagePattern::clearPatterns() {
    m_injectGroup.reset();
    m_patterns.clear();
}

bool LanguagePattern::readName(const zem::AbstractDictionaryValue& dictionary) {
    if (dictionary.getStringAt(L"name", &m_name))
        return true;
    if (dictionary.getStringAt(L"scope_name", &m_name)) {
        zem::logMessage(2, BundleManager::logSource(), L"The `%s` property is deprecated. Use `%s` instead.",
                        L"scope_name", L"name");
        return true;
    }
    m_name.clear();
    return false;
}

bool LanguagePattern::readRegEx(const zem::AbstractDictionaryValue& dictionary, const wchar_t* key, RegExLiteral& out) {
    const zem::RegExpValue* value =
        static_cast<const zem::RegExpValue*>(dictionary.findTyped(key, zem::Value::KIND_REGEXP));
    if (!value || value->pattern().empty()) {
        logError(L"The `%s` property not found.", key);
        return false;
    }
    std::wstring source = value->pattern();
    std::wstring rewritten;
    if (source.size() >= 4 && zem::RegEx::rewriteHexEscapes(source, rewritten)) {
        zem::logMessage(2, BundleManager::logSource(), L"Incorrect Unicode escape sequence used at /%s/%s.",
                        source.c_str(), value->options().c_str());
        source = rewritten;
    }
    out = RegExLiteral(source, value->options());
    return true;
}

bool LanguagePattern::readCaptures(const zem::AbstractDictionaryValue& dictionary, const wchar_t* key,
                                   CaptureNames& out) {
    out.clear();
    const zem::Value* value = dictionary.find(key);
    if (!value)
        return true;
    if (value->kind() != zem::Value::KIND_DICTIONARY) {
        logError(L"The `%s` property should be `%s` but is `%s`.", key, L"dictionary",
                 zem::getValueKindName(value->kind()));
        return false;
    }
    for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(value)->inOrder()) {
        int32_t group = 0;
        if (!parseGroup(entry.key, group) || entry.value->kind() != zem::Value::KIND_DICTIONARY)
            continue;
        std::wstring name;
        if (!static_cast<const zem::DictionaryValue*>(entry.value)->getStringAt(L"name", &name) || name.empty())
            continue;
        out.insert(std::make_pair(group, name));
    }
    return true;
}

bool LanguagePattern::read(const zem::AbstractDictionaryValue& dictionary, bool asRoot) {
    m_kind = KIND_INVALID;
    const bool hasBegin = dictionary.findTyped(L"begin", zem::Value::KIND_REGEXP) != nullptr;
    const bool hasEnd = dictionary.findTyped(L"end", zem::Value::KIND_REGEXP) != nullptr;
    const zem::ListValue* patterns =
        static_cast<const zem::ListValue*>(dictionary.findTyped(L"patterns", zem::Value::KIND_LIST));
    if (hasBegin && hasEnd) {
        m_kind = KIND_BEGIN_END;
        readName(dictionary);
        m_contentName.clear();
        dictionary.getStringAt(L"content_name", &m_contentName);
        if (!readRegEx(dictionary, L"begin", m_begin) || !readRegEx(dictionary, L"end", m_end) ||
            !readCaptures(dictionary, L"captures", m_captures) ||
            !readCaptures(dictionary, L"begin_captures", m_beginCaptures) ||
            !readCaptures(dictionary, L"end_captures", m_endCaptures)) {
            m_kind = KIND_INVALID;
            return false;
        }
        for (auto& capture : m_captures) {
            m_beginCaptures.insert(capture);
            m_endCaptures.insert(capture);
        }
        if (patterns)
            readPatterns(*patterns);
        return true;
    }
    if (dictionary.findTyped(L"match", zem::Value::KIND_REGEXP)) {
        m_kind = KIND_MATCH;
        readName(dictionary);
        if (!readRegEx(dictionary, L"match", m_match) || !readCaptures(dictionary, L"captures", m_captures)) {
            m_kind = KIND_INVALID;
            return false;
        }
        return true;
    }
    std::wstring include;
    if (dictionary.getStringAt(L"include", &include)) {
        m_kind = KIND_INCLUDE;
        if (include.size() < 2) {
            logError(L"The `%s` property was empty.", L"include");
            m_kind = KIND_INVALID;
            return false;
        }
        if (include == L"$self") {
            m_includeKind = INCLUDE_SELF;
        } else if (include == L"$base") {
            m_includeKind = INCLUDE_BASE;
        } else if (include[0] == L'#') {
            m_includeKind = INCLUDE_REPOSITORY;
            m_includeTarget = include.substr(1);
        } else {
            m_includeKind = INCLUDE_GRAMMAR;
            m_includeTarget = include;
        }
        if (const zem::ListValue* inject =
                static_cast<const zem::ListValue*>(dictionary.findTyped(L"inject", zem::Value::KIND_LIST)))
            readInject(*inject);
        return true;
    }
    if (patterns) {
        m_kind = asRoot ? KIND_ROOT : KIND_GROUP;
        readName(dictionary);
        if (asRoot && m_name.empty()) {
            m_kind = KIND_INVALID;
            throw zem::IllegalStateException(L"Unexpected state");
        }
        readPatterns(*patterns);
        return true;
    }
    return false;
}

bool LanguagePattern::readPatterns(const zem::ListValue& list) {
    clearPatterns();
    try {
        for (size_t i = 0; i < list.size(); ++i) {
            const zem::Value* item = list.at(i);
            if (!item || item->kind() != zem::Value::KIND_DICTIONARY)
                throw zem::IllegalStateException(L"Unexpected state");
            std::unique_ptr<LanguagePattern> child(
                new LanguagePattern(std::wstring(), this, static_cast<int32_t>(i + 1)));
            if (child->read(*static_cast<const zem::DictionaryValue*>(item), false))
                m_patterns.push_back(std::move(child));
        }
    } catch (...) {
        clearPatterns();
        throw;
    }
    return true;
}

void LanguagePattern::readInject(const zem::ListValue& list) {
    m_injectGroup.reset(new LanguagePattern(std::wstring(), this, 0));
    m_injectGroup->m_kind = KIND_GROUP;
    for (size_t i = 0; i < list.size(); ++i) {
        const zem::Value* item = list.at(i);
        if (!item || item->kind() != zem::Value::KIND_DICTIONARY)
            throw zem::IllegalStateException(L"Unexpected state");
        const zem::ListValue* patterns = static_cast<const zem::DictionaryValue*>(item)->findList(L"patterns");
        if (!patterns)
            continue;
        std::unique_ptr<LanguagePattern> group(new LanguagePattern(std::wstring(), m_injectGroup.get(), 0));
        group->m_kind = KIND_GROUP;
        group->readPatterns(*patterns);
        m_injectGroup->m_patterns.push_back(std::move(group));
    }
}

bool LanguagePattern::write(zem::DictionaryValue& out) const {
    if (m_kind == KIND_INVALID)
        return false;
    if (m_kind == KIND_ROOT || !m_name.empty())
        out.set(L"name", zem::createStringValue(m_name));
    switch (m_kind) {
    case KIND_MATCH:
        writeRegEx(out, L"match", m_match);
        writeCaptures(out, L"captures", m_captures);
        break;
    case KIND_BEGIN_END:
        writeRegEx(out, L"begin", m_begin);
        writeRegEx(out, L"end", m_end);
        if (!m_contentName.empty())
            out.set(L"content_name", zem::createStringValue(m_contentName));
        writeCaptures(out, L"captures", m_captures);
        writeCaptures(out, L"begin_captures", m_beginCaptures);
        writeCaptures(out, L"end_captures", m_endCaptures);
        break;
    case KIND_INCLUDE: {
        std::wstring text = m_includeKind == INCLUDE_BASE         ? L"$base"
                            : m_includeKind == INCLUDE_SELF       ? L"$self"
                            : m_includeKind == INCLUDE_REPOSITORY ? L"#" + m_includeTarget
                                                                  : m_includeTarget;
        out.set(L"include", zem::createStringValue(text));
        // Saving must not drop what the file injects.
        if (m_injectGroup && !m_injectGroup->m_patterns.empty()) {
            zem::ListValue* inject = zem::createListValue();
            for (auto& group : m_injectGroup->m_patterns) {
                zem::DictionaryValue* item = zem::createDictionaryValue();
                zem::ListValue* patterns = zem::createListValue();
                for (auto& child : group->m_patterns) {
                    zem::DictionaryValue* written = zem::createDictionaryValue();
                    child->write(*written);
                    patterns->append(written);
                }
                item->set(L"patterns", patterns);
                inject->append(item);
            }
            out.set(L"inject", inject);
        }
        return true;
    }
    default:
        break;
    }
    // A group is known by its list alone: written without it, even empty, it would not
    // read back as a group and would vanish from the next save.
    bool withPatterns =
        m_kind == KIND_ROOT || m_kind == KIND_GROUP || (m_kind == KIND_BEGIN_END && !m_patterns.empty());
    if (withPatterns) {
        zem::ListValue* list = zem::createListValue();
        for (auto& child : m_patterns) {
            zem::DictionaryValue* written = zem::createDictionaryValue();
            child->write(*written);
            list->append(written);
        }
        out.set(L"patterns", list);
    }
    return true;
}

const std::wstring& LanguagePattern::getPath() const {
    if (!m_path.empty())
        return m_path;
    std::wstring path;
    if (m_parent)
        path = m_parent->getPath() + L" > ";
    path += m_name.empty() ? L"<unnamed>" : m_name;
    if (!m_repositoryKey.empty())
        path += L"#" + m_repositoryKey;
    path += L"#" + std::to_wstring(m_index);
    m_path = path;
    return m_path;
}

} // namespace corvel
