// The base of everything stored in bundles: the bundle itself and every item in it. An
// entry has a kind, a UUID, a title, one file location per root, the parsed sources of
// those files, a modified flag, its validation errors and five notification lists.
// Entries are shared by reference count; the loader creates and reads them (reload) on
// its own thread, everything else runs on the main thread.
#pragma once
#include "corvel/bundles/BundleEntryLocation.h"
#include "corvel/bundles/BundleEntryManager.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/config/TaggedObject.h"
#include "corvel/config/ValidationErrorList.h"
#include "zem/base/CallbackList.h"
#include "zem/base/MTRefObject.h"
#include "zem/base/Uuid.h"

#include <memory>
#include <string>
#include <vector>

namespace zem {
class AbstractDictionaryValue;
class DictionaryValue;
class JasmineTokenStore;
} // namespace zem

namespace corvel {

class BundleEntryValidator;

class BundleEntry : public TaggedObject, public zem::MTRefObject<1> {
public:
    // One loaded entry file.
    struct Source {
        int32_t root = ENTRY_ROOT_UNSET;                // of the file it came from
        std::shared_ptr<zem::DictionaryValue> value;    // the root dictionary; null when parsing failed
        std::unique_ptr<zem::JasmineTokenStore> tokens; // kept when read for text (mode 2)
        Source();
        ~Source();
    };
    typedef std::shared_ptr<Source> SourcePtr;
    typedef zem::CallbackList<void(BundleEntry*)> Callbacks;

    // How loadSources reads: values only, or values with their tokens for source text.
    enum LoadMode { LOAD_VALUES = 1, LOAD_TEXT = 2 };

    BundleEntry(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid);
    ~BundleEntry() override;

    uint32_t getType() const override;
    // Sets up a new entry from a title.
    virtual void initFromTemplate(const std::wstring& title);
    // Where a new file of this entry goes (always under "user:").
    virtual BundleEntryLocation createLocation() const = 0;
    // Reads the files of every location into sources; false when an item's file failed.
    virtual bool loadSources(int mode);
    // Reads "title": a non-empty string becomes the title, anything else is left alone.
    virtual void readProperties(const zem::AbstractDictionaryValue* dictionary);
    // Writes "title". A null dictionary throws NullPointerException.
    virtual void writeProperties(zem::DictionaryValue* dictionary) const;
    virtual bool isBundle() const = 0;
    // False, changing nothing, when the entry may not be modified now.
    virtual bool setTitle(const std::wstring& title);
    // The kind's validator, or the plain one when the kind has none.
    virtual BundleEntryValidator& getValidator() const;

    const BundleEntryTypeInfo* getTypeInfo() const { return m_typeInfo; }
    const std::wstring& getTitle() const { return m_title; }
    const zem::Uuid& getUuid() const { return m_uuid; }
    bool isInstalled() const { return m_installed; }
    bool isLoaded() const { return m_loaded; }
    bool isModified() const { return m_modified; }
    bool isNew() const { return m_isNew; }
    void setInstalled(bool installed) { m_installed = installed; }

    // An installed entry changes only inside an update bracket.
    bool canModify() const { return !m_installed || m_updateDepth > 0; }
    void beginUpdate();
    void endUpdate();

    void setModified();
    void clearModified();
    void setLoaded();

    // The title, else the name of the location's own file part, else "<unset>".
    std::wstring getDisplayTitle() const;
    // The location of the highest root that names a bundle; null when there is none.
    const BundleEntryLocation* getLocation() const;
    const std::vector<BundleEntryLocation>& getLocations() const { return m_locations; }

    bool hasErrors() const { return m_errors.count(ValidationError::ERROR_SEVERITY) > 0; }
    void clearErrors() { m_errors.clear(); }
    const ValidationErrorList& getErrors() const { return m_errors; }
    ValidationErrorList& getErrors() { return m_errors; }

    BundleEntryEditorFactory getEditorFactory();

    // The effective dictionary: the one file's, or the user file merged over the shipped
    // one. Null when an item's file could not be read or parsed.
    std::shared_ptr<zem::DictionaryValue> getValue();
    // Reads the entry from its files, validates and applies the properties. False when
    // reading or validation failed (the reasons are in the error list).
    bool reload();
    // The Jasmine text of the entry as the user edits it; empty when it cannot be read.
    const std::wstring& getSource();
    // Takes an edited text: the user file becomes its difference from the shipped one.
    void setSource(const std::wstring& text);
    // Takes edited properties, as setSource takes text.
    void setValue(std::shared_ptr<zem::DictionaryValue> dictionary);
    // Writes the user file (a temporary file beside it, then replaced). True when written
    // or when an unmodified entry had nothing to write; false, with an error in the list
    // and the old file untouched, otherwise.
    bool save();

    Callbacks& onUpdateBegin() { return m_onUpdateBegin; }
    Callbacks& onUpdateEnd() { return m_onUpdateEnd; }
    Callbacks& onSaved() { return m_onSaved; }
    Callbacks& onModifiedChanged() { return m_onModifiedChanged; }
    Callbacks& onLoaded() { return m_onLoaded; }

    const std::vector<SourcePtr>& getSources() const { return m_sources; }

protected:
    // Deleted through the entry itself, so the whole object goes (and the compiler sees it).
    void destroy() override { delete this; }
    // The target location and the current one; throws when they differ for a stored entry.
    BundleEntryLocation prepareWriteLocation();

private:
    friend class BundleEntryLocation;
    std::vector<BundleEntryLocation>& locationSlots() { return m_locations; }

    bool loadSource(int mode, const BundleEntryLocation& location, SourcePtr& out);
    void dropSources();
    void putUserSource(const SourcePtr& user);
    void applyValue();
    bool ensureUserSource();
    bool writeUserFile(const BundleEntryLocation& target);

    bool m_isNew = true;                   // never written to a file; while clear it is written back in place only
    const BundleEntryTypeInfo* m_typeInfo; // never null, not owned
    int m_updateDepth = 0;
    std::vector<BundleEntryLocation> m_locations; // slot = root - 1
    bool m_sourceTextValid = false;
    std::wstring m_sourceText;
    bool m_valueValid = false; // m_value and m_sources are current
    std::shared_ptr<zem::DictionaryValue> m_value;
    bool m_valueEdited = false; // m_value came from setValue and is in no file yet
    std::wstring m_workText;
    std::vector<SourcePtr> m_sources; // in root order
    SourcePtr m_baseSource;           // what a user file is written against; null without one
    Callbacks m_onUpdateBegin;
    Callbacks m_onUpdateEnd;
    Callbacks m_onSaved;
    Callbacks m_onModifiedChanged;
    Callbacks m_onLoaded;
    std::wstring m_title;
    zem::Uuid m_uuid;
    bool m_installed = false;
    bool m_loaded = true;
    bool m_modified = false;
    ValidationErrorList m_errors;
};

} // namespace corvel
