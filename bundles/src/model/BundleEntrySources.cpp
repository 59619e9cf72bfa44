// Reading an entry from its files, the source text the user edits, and saving.
#include "corvel/bundles/BundleEntry.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "corvel/bundles/BundleEntryValidator.h"
#include "corvel/bundles/BundleSource.h"
#include "model/ExceptionText.h"
#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/value/Overlay.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <memory>

namespace corvel {

namespace {

// A copy that keeps the dictionary's order (a clone would sort its keys).
std::shared_ptr<zem::DictionaryValue> copyInOrder(const zem::DictionaryValue* source) {
    std::shared_ptr<zem::DictionaryValue> copy(zem::createDictionaryValue());
    if (source) {
        for (const zem::DictionaryEntry& entry : source->inOrder())
            copy->set(entry.key, entry.value->clone());
    }
    return copy;
}

// The whole text of a token store.
void writeTokens(const zem::JasmineTokenStore& tokens, std::wstring& out) {
    out.clear();
    tokens.appendText(0, tokens.size() - 1, out);
}

bool isUserSource(const BundleEntry::SourcePtr& source) {
    return source && source->root == ENTRY_ROOT_USER;
}

} // namespace

bool BundleEntry::loadSource(int mode, const BundleEntryLocation& location, SourcePtr& out) {
    m_workText.clear();
    std::wstring path = location.toString();
    if (!readSourceFile(path, m_workText, m_errors))
        return false;
    SourcePtr source = std::make_shared<Source>();
    source->root = location.root;
    if (mode == LOAD_TEXT)
        source->tokens.reset(new zem::JasmineTokenStore);
    source->value.reset(parseBundleSource(source->tokens.get(), m_workText, path, m_errors));
    // A grammar's text can be large: the scratch copy is not kept once parsed.
    m_workText.clear();
    m_workText.shrink_to_fit();
    if (!source->value)
        return false;
    out = source;
    return true;
}

bool BundleEntry::loadSources(int mode) {
    m_errors.clear();
    m_sources.clear();
    for (size_t slot = 0; slot < m_locations.size(); ++slot) {
        if (m_locations[slot].bundle.isEmpty())
            continue;
        SourcePtr source;
        if (!loadSource(mode, m_locations[slot], source)) {
            // A bundle can live on from its other folder; an item is its file.
            if (isBundle())
                continue;
            return false;
        }
        source->root = static_cast<int32_t>(slot) + 1;
        m_sources.push_back(source);
    }
    return true;
}

void BundleEntry::dropSources() {
    m_value.reset();
    m_baseSource.reset();
    m_sourceText.clear();
    m_sources.clear();
    m_valueValid = false;
    m_valueEdited = false;
    m_sourceTextValid = false;
}

std::shared_ptr<zem::DictionaryValue> BundleEntry::getValue() {
    if (m_valueValid)
        return m_value;
    try {
        dropSources();
        if (!loadSources(LOAD_VALUES) || m_sources.empty())
            return nullptr;
        if (m_sources.size() == 1) {
            m_value = m_sources[0]->value;
            if (m_sources[0]->root != ENTRY_ROOT_USER)
                m_baseSource = m_sources[0];
        } else {
            ZEM_ASSERT_MSG(m_sources.size() == 2, L"m_sources.size() == 2");
            std::shared_ptr<zem::DictionaryValue> merged(zem::createDictionaryValue());
            zem::applyOverlay(m_sources[0]->value.get(), m_sources[1]->value.get(), merged.get());
            m_value = merged;
            m_baseSource = m_sources[0];
        }
        m_valueValid = true;
        m_sourceTextValid = false;
        return m_value;
    } catch (...) {
        m_errors.add(new BundleEntryError(ValidationError::ERROR_SEVERITY,
                                          currentExceptionText(L"Unexpected error while reading file. (3)")));
        dropSources();
        return nullptr;
    }
}

bool BundleEntry::reload() {
    m_isNew = false;
    m_loaded = false;
    dropSources();
    std::shared_ptr<zem::DictionaryValue> value = getValue();
    if (!value)
        return false;
    try {
        setLoaded();
        if (!getValidator().validate(&m_errors, value.get()))
            return false;
        readProperties(value.get());
        clearModified();
        return true;
    } catch (...) {
        m_errors.add(new BundleEntryError(ValidationError::ERROR_SEVERITY,
                                          currentExceptionText(L"Unexpected error while reading file. (3)")));
        return false;
    }
}

const std::wstring& BundleEntry::getSource() {
    if (m_sourceTextValid)
        return m_sourceText;
    try {
        if (m_valueValid && m_valueEdited && m_value) {
            // Edited properties live only in memory: reading the files again would lose them.
            zem::formatJasmine(m_value.get(), m_sourceText);
            m_sourceTextValid = true;
            return m_sourceText;
        }
        if (m_valueValid)
            dropSources();
        m_sourceText.clear();
        if (!loadSources(LOAD_TEXT) || m_sources.empty())
            return m_sourceText;
        if (m_sources.size() == 1) {
            writeTokens(*m_sources[0]->tokens, m_sourceText);
            if (m_sources[0]->root != ENTRY_ROOT_USER)
                m_baseSource = m_sources[0];
        } else {
            const SourcePtr& lower = m_sources[0];
            const SourcePtr& upper = m_sources[1];
            zem::applyOverlaySource(lower->value.get(), lower->tokens.get(), upper->value.get(), upper->tokens.get(),
                                    m_sourceText);
            m_baseSource = lower;
        }
        m_sourceTextValid = true;
    } catch (...) {
        m_errors.add(new BundleEntryError(ValidationError::ERROR_SEVERITY,
                                          currentExceptionText(L"Unexpected error while parsing source. (1)")));
        m_sourceText.clear();
    }
    return m_sourceText;
}

void BundleEntry::putUserSource(const SourcePtr& user) {
    if (!m_sources.empty() && isUserSource(m_sources.back()))
        m_sources.back() = user;
    else
        m_sources.push_back(user);
}

void BundleEntry::applyValue() {
    if (getValidator().validate(&m_errors, m_value.get()))
        readProperties(m_value.get());
}

void BundleEntry::setSource(const std::wstring& text) {
    try {
        m_errors.clear();
        const BundleEntryLocation* location = getLocation();
        std::wstring locationText = location ? location->toString() : std::wstring();
        SourcePtr edited = std::make_shared<Source>();
        edited->root = ENTRY_ROOT_USER;
        edited->tokens.reset(new zem::JasmineTokenStore);
        edited->value.reset(parseBundleSource(edited->tokens.get(), text, locationText, m_errors));
        m_value = edited->value;
        m_sourceText = text;
        m_sourceTextValid = true;
        m_valueValid = true;
        m_valueEdited = false;
        setModified();
        if (!m_value)
            return;
        SourcePtr user = edited;
        if (m_baseSource && m_baseSource->value) {
            user = std::make_shared<Source>();
            user->root = ENTRY_ROOT_USER;
            if (m_baseSource->tokens) {
                zem::writeOverlaySource(m_workText, m_baseSource->value.get(), m_baseSource->tokens.get(),
                                        m_value.get(), edited->tokens.get());
                user->tokens.reset(new zem::JasmineTokenStore);
                user->value.reset(parseBundleSource(user->tokens.get(), m_workText, locationText, m_errors));
                m_workText.clear();
            }
            if (!user->value) {
                // The shipped file was read without its text: the differences go as values.
                user->tokens.reset();
                user->value.reset(zem::createDictionaryValue());
                zem::makeOverlay(m_baseSource->value.get(), m_value.get(), user->value.get());
            }
        }
        putUserSource(user);
        applyValue();
    } catch (...) {
        m_errors.add(new BundleEntryError(ValidationError::ERROR_SEVERITY,
                                          currentExceptionText(L"Unexpected error while parsing source. (1)")));
    }
}

void BundleEntry::setValue(std::shared_ptr<zem::DictionaryValue> dictionary) {
    zem::throwIfNull(dictionary.get());
    try {
        m_errors.clear();
        m_value = dictionary;
        m_sourceText.clear();
        m_sourceTextValid = false;
        m_valueValid = true;
        m_valueEdited = true;
        SourcePtr user = std::make_shared<Source>();
        user->root = ENTRY_ROOT_USER;
        if (m_baseSource && m_baseSource->value) {
            user->value.reset(zem::createDictionaryValue());
            zem::makeOverlay(m_baseSource->value.get(), dictionary.get(), user->value.get());
        } else {
            user->value = dictionary;
        }
        putUserSource(user);
        setModified();
        applyValue();
    } catch (...) {
        m_errors.add(new BundleEntryError(ValidationError::ERROR_SEVERITY,
                                          currentExceptionText(L"Unexpected error while parsing source. (2)")));
    }
}

BundleEntryLocation BundleEntry::prepareWriteLocation() {
    BundleEntryLocation target = createLocation();
    const BundleEntryLocation* stored = getLocation();
    BundleEntryLocation current = stored ? *stored : BundleEntryLocation();
    current.root = ENTRY_ROOT_USER;
    if (!m_isNew && !current.equals(target))
        throw zem::NotImplementedException(L"Not implemented");
    BundleEntryLocation folder = target;
    folder.item = EntryFileName();
    std::wstring folderText = folder.toString();
    if (!zem::fileCreateDirectories(folderText.c_str()))
        throw zem::PathNotFoundException(folderText);
    return target;
}

bool BundleEntry::ensureUserSource() {
    bool hasUser = !m_sources.empty() && isUserSource(m_sources.back());
    std::shared_ptr<zem::DictionaryValue> current = m_valueValid ? m_value : getValue();
    // A stored entry whose files cannot be read is not written over with its properties alone.
    if (!current && !m_isNew)
        return false;
    std::shared_ptr<zem::DictionaryValue> properties = copyInOrder(current.get());
    if (!hasUser) {
        writeProperties(properties.get());
        setValue(properties);
        return true;
    }
    // A property changed through a setter (a new title) is not in the user file yet. Only
    // keys the value holds are compared: a key the file lacks leaves its field as it was.
    std::unique_ptr<zem::DictionaryValue> written(zem::createDictionaryValue());
    writeProperties(written.get());
    bool changed = false;
    for (const zem::DictionaryEntry& entry : written->inOrder()) {
        const zem::Value* held = current ? current->find(entry.key) : nullptr;
        if (held && !held->equals(entry.value)) {
            properties->set(entry.key, entry.value->clone());
            changed = true;
        }
    }
    if (changed)
        setValue(properties);
    return true;
}

bool BundleEntry::save() {
    std::wstring targetText;
    try {
        // An edited text that does not parse is not written.
        if (m_valueValid && !m_value)
            return false;
        bool hasUser = !m_sources.empty() && isUserSource(m_sources.back());
        if (!m_modified && !hasUser)
            return true;
        if (m_modified && !ensureUserSource())
            return false;
        if (m_sources.empty() || !isUserSource(m_sources.back()) || !m_sources.back()->value)
            throw zem::IllegalStateException(L"Unexpected state");
        BundleEntryLocation target = createLocation();
        targetText = target.toString();
        target = prepareWriteLocation();
        const SourcePtr& user = m_sources.back();
        if (user->tokens)
            writeTokens(*user->tokens, m_workText);
        else
            zem::formatJasmine(user->value.get(), m_workText);
        writeEntryFile(targetText, m_workText);
        m_workText.clear();
        m_valueEdited = false;
        m_isNew = false;
        clearModified();
        target.storeIn(*this);
        m_onSaved.invoke(this);
        return true;
    } catch (...) {
        m_workText.clear();
        m_errors.add(makeEntryFileError(ValidationError::ERROR_SEVERITY,
                                        currentExceptionText(L"Unexpected error while writing file."), targetText));
        return false;
    }
}

} // namespace corvel
