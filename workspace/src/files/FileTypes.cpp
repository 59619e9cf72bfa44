// What a document's file type decides: its grammar, the face preset that grammar calls
// for, and the file types the open and save dialogs offer.
#include "corvel/workspace/FileManager.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/widgets/afDialogFileOptions.h"

namespace corvel {

void FileManager::chooseGrammar(DocumentController* controller, bool forced) {
    if (!controller || !m_languages || controller->getFilePath().empty())
        return;
    if (!forced && !controller->getLanguageName().empty())
        return;
    Language* language = m_languages->getLanguageForFile(controller->getFilePath());
    if (language && language->getName() != controller->getLanguageName())
        controller->setLanguage(language->getName());
}

void FileManager::applyFacePreset(DocumentController* controller) {
    if (!controller || !m_presets)
        return;
    const FacePreset& preset = m_presets->findPresetForLanguage(controller->getLanguageName().c_str());
    // The controller tells its editor, when the settings differ.
    controller->setFacePreset(preset);
}

void FileManager::buildFileFilters(const std::wstring& grammarName, afDialogFileOptions& options) const {
    options.fileTypes.add(L"All Files", {L"*"});
    options.preselectedType = nullptr;
    if (!m_languages)
        return;
    for (LanguageAction* action : m_languages->getLanguageList()) {
        Language* language = action->getLanguage();
        if (!language)
            continue;
        std::vector<std::wstring> patterns;
        m_languages->getGrammarFilePatterns(language->getName(), patterns);
        m_languages->getConfiguredFilePatterns(language->getName(), patterns);
        if (patterns.empty())
            continue;
        afFileFilter* filter = options.fileTypes.add(action->getTitle() + L" files", std::move(patterns));
        if (!grammarName.empty() && language->getName() == grammarName)
            options.preselectedType = filter;
    }
}

// Every document, not only the active one: a grammar found for a tab in the background
// would otherwise show with the preset of the grammar it had before.
void FileManager::onLanguageChanged(void* self, DocumentController* controller, const wchar_t*) {
    static_cast<FileManager*>(self)->applyFacePreset(controller);
}

// Every change of the set of grammars ends in a compilation: the file-name bindings may
// have changed, so documents still without a grammar get the one of their file now.
void FileManager::onGrammarsChanged(void* self, LanguageManager*) {
    auto* manager = static_cast<FileManager*>(self);
    for (DocumentController* controller : std::vector<DocumentController*>(manager->m_open)) {
        if (!controller->getFilePath().empty() && controller->getLanguageName().empty())
            manager->chooseGrammar(controller, false);
    }
}

void FileManager::onPresetsChanged(void* self, FacePresetManager*) {
    auto* manager = static_cast<FileManager*>(self);
    for (DocumentController* controller : manager->m_open)
        manager->applyFacePreset(controller);
}

void FileManager::watchServices(bool subscribe) {
    if (subscribe == m_servicesWatched)
        return;
    m_servicesWatched = subscribe;
    if (subscribe) {
        if (m_languages)
            m_languages->onCompiled.add(&FileManager::onGrammarsChanged, this);
        if (m_presets)
            m_presets->presetsChanged.add(&FileManager::onPresetsChanged, this);
    } else {
        if (m_languages)
            m_languages->onCompiled.remove(&FileManager::onGrammarsChanged, this);
        if (m_presets)
            m_presets->presetsChanged.remove(&FileManager::onPresetsChanged, this);
    }
}

} // namespace corvel
