// The file manager with the grammar, face-preset and project managers: grammars and
// presets by file type, the dialogs' file types, drops, quick open's list and the way from
// a document to its place in the project.
#include "FileManagerFixture.h"
#include "PromptSteps.h"
#include "WorkspaceDevices.h"

#include "../../bundles/tests/support/TestKinds.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigValue.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/document/ScopePath.h"
#include "corvel/editor/EditorStatusController.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchScope.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/widgets/ToolStrip.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectFiles.h"
#include "corvel/widgets/afDialogFileOptions.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropTarget.h"
#include "zem/files/FileIO.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/DictionaryValue.h"

using namespace filemanagertest;

namespace {

class FileTypesTest : public FileManagerTest {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        FileManagerTest::SetUp();
    }
    void addServices() override {
        // ".inl" was assigned to C++ by the user.
        ConfigValue::List list;
        JasmineValue pair(JasmineValue::TYPE_DICTIONARY);
        pair.getOrAddEntry(L"grammar_name").setString(L"source.c++");
        pair.getOrAddEntry(L"extensions") = JasmineValue(JasmineValue::TYPE_LIST);
        pair.getOrAddEntry(L"extensions").appendElement().setString(L"inl");
        list.emplace_back(ConfigValue::TYPE_JASMINE);
        list.back().setJasmine(pair);
        config.declareValue(LanguageManager::EXTENSIONS_KEY, ConfigValue::TYPE_LIST)->setList(list);
        bundles.reset(new BundleManager());
        bundles->onConfigReady(config);
        languages = new LanguageManager(*bundles, *grammars); // the bundle manager's once registered
        languages->onConfigReady(config);
        bundles->beginUpdate();
        install(L"{ title: 'C++', name: 'source.c++', file_types: ['cpp', 'h'], patterns: [] }");
        install(L"{ title: 'Plain Text', name: 'text.plain', file_types: ['txt'], patterns: [] }");
        install(L"{ title: 'Notes', name: 'text.notes', file_types: [], patterns: [] }");
        bundles->endUpdate();

        presets.reset(new FacePresetManager(nullptr, nullptr));
        auto* code = new FacePresetEntry;
        code->languages = {L"source"};
        code->preset.title = L"Code";
        code->preset.wordWrap = false;
        code->preset.gutterLineNumbers = true;
        presets->addPreset(code);
        auto* prose = new FacePresetEntry;
        prose->languages = {L"text"};
        prose->preset.title = L"Prose";
        prose->preset.wordWrap = true;
        presets->addPreset(prose);

        projects.reset(new ProjectManager(nullptr, nullptr));
        manager->setLanguages(languages);
        manager->setFacePresets(presets.get());
        manager->setProjects(projects.get());
        strip = ToolStrip::create(host);
        manager->setStatusStrip(strip);
    }
    void TearDown() override {
        manager.reset();
        projects.reset();
        presets.reset();
        bundles.reset();
        FileManagerTest::TearDown();
    }

    Language* install(const std::wstring& text) {
        Language* language = static_cast<Language*>(bundles->createEntry(LANGUAGE_TYPE_ID, bundletest::newUuid()));
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        language->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
        bundles->addEntry(language);
        language->release();
        return language;
    }
    // A project of the files, made the active one.
    void makeProject(const std::vector<std::wstring>& paths) {
        ProjectInfo* info = projects->createProjectWithPaths(L"Demo", paths);
        ASSERT_NE(nullptr, info);
        ASSERT_TRUE(projects->setActiveProject(info));
    }
    afDataObjectFiles* dropped(afDataObjectComposite* data) {
        return static_cast<afDataObjectFiles*>(data->findPart(CF_HDROP));
    }

    Config config;
    std::unique_ptr<BundleManager> bundles;
    LanguageManager* languages = nullptr;
    std::unique_ptr<FacePresetManager> presets;
    std::unique_ptr<ProjectManager> projects;
    ToolStrip* strip = nullptr;
};

TEST_F(FileTypesTest, OpenedFilesTakeTheGrammarAndPresetOfTheirType) {
    struct Case {
        const wchar_t* name;
        const wchar_t* grammar;
        const wchar_t* preset;
    } cases[] = {
        {L"main.cpp", L"source.c++", L"Code"},
        {L"UPPER.H", L"source.c++", L"Code"},
        {L"table.inl", L"source.c++", L"Code"}, // the user's assignment
        {L"read.txt", L"text.plain", L"Prose"},
        {L"data.bin", L"", L"Default"}, // no grammar: the first preset, the stand-in
    };
    for (const Case& c : cases) {
        DocumentController* controller = open(file(c.name));
        ASSERT_NE(nullptr, controller);
        EXPECT_EQ(c.grammar, controller->getLanguageName()) << narrow(c.name);
        EXPECT_EQ(c.preset, controller->getFacePreset().title) << narrow(c.name);
    }
    // Shown, the editor takes the document's preset.
    DocumentController* text = open(folder + L"read.txt");
    manager->activateTab(text);
    auto* wrapper = dynamic_cast<EditorWrapper*>(manager->slotOf(text)->getView());
    ASSERT_NE(nullptr, wrapper);
    EXPECT_TRUE(wrapper->getEditor()->getFacePreset().wordWrap);

    // A grammar chosen by hand stays unless the choice is forced (Save As).
    text->setLanguage(L"source.c++");
    manager->chooseGrammar(text, false);
    EXPECT_EQ(L"source.c++", text->getLanguageName());
    EXPECT_EQ(L"Code", text->getFacePreset().title);
    EXPECT_FALSE(wrapper->getEditor()->getFacePreset().wordWrap);
    manager->chooseGrammar(text, true);
    EXPECT_EQ(L"text.plain", text->getLanguageName());
    EXPECT_EQ(L"Prose", text->getFacePreset().title);
}

TEST_F(FileTypesTest, NewGrammarsAndChangedPresetsReachTheOpenDocuments) {
    DocumentController* script = open(file(L"run.rb"));
    DocumentController* code = open(file(L"main.cpp"));
    EXPECT_EQ(L"", script->getLanguageName());
    code->setLanguage(L"text.plain"); // chosen by hand: kept

    bundles->beginUpdate();
    install(L"{ title: 'Ruby', name: 'source.ruby', file_types: ['rb', 'cpp'], patterns: [] }");
    bundles->endUpdate();
    languages->onCompiled.invoke(languages);
    EXPECT_EQ(L"source.ruby", script->getLanguageName());
    EXPECT_EQ(L"text.plain", code->getLanguageName());

    presets->presets()[2]->preset.title = L"Letters"; // after "Default" and "Code"
    presets->presetsChanged.invoke(presets.get());
    EXPECT_EQ(L"Letters", code->getFacePreset().title);
    EXPECT_EQ(L"Code", script->getFacePreset().title);
}

TEST_F(FileTypesTest, TheDialogsOfferAllFilesThenEachGrammarWithFileTypes) {
    afDialogFileOptions open;
    manager->buildFileFilters(L"", open);
    ASSERT_EQ(3, open.fileTypes.size());
    EXPECT_EQ(L"All Files", open.fileTypes.at(0)->title);
    EXPECT_EQ(std::vector<std::wstring>{L"*"}, open.fileTypes.at(0)->patterns);
    EXPECT_EQ(L"C++ files", open.fileTypes.at(1)->title);
    EXPECT_EQ((std::vector<std::wstring>{L"cpp", L"h", L"inl"}), open.fileTypes.at(1)->patterns);
    EXPECT_EQ(L"Plain Text files", open.fileTypes.at(2)->title);
    EXPECT_EQ(nullptr, open.preselectedType);

    const wchar_t* grammars[][2] = {{L"text.plain", L"Plain Text files"}, {L"text.notes", nullptr}, {L"x.y", nullptr}};
    for (auto& grammar : grammars) {
        afDialogFileOptions save;
        manager->buildFileFilters(grammar[0], save);
        if (grammar[1]) {
            ASSERT_NE(nullptr, save.preselectedType);
            EXPECT_EQ(grammar[1], save.preselectedType->title);
        } else {
            EXPECT_EQ(nullptr, save.preselectedType) << narrow(grammar[0]);
        }
    }
}

TEST_F(FileTypesTest, DroppedFilesOpenSideBySideAndEachFailureIsShown) {
    open(file(L"a.txt"));
    open(file(L"z.txt"));
    afDataObjectComposite* data = static_cast<afDataObjectComposite*>(tabs->getDropTarget()->getDataObject());
    std::wstring missing = folder + L"missing.txt";
    dropped(data)->setPaths({file(L"b.txt"), missing, file(L"c.cpp")});
    std::vector<Prompt> prompts;
    workspacetest::runWithPrompts(
        [&] {
            int action = FileManager::onDockFileDrop(manager.get(), tabs, dropped(data), 1, nullptr,
                                                     afDropAction::COPY | afDropAction::NONE, afDropAction::NONE);
            EXPECT_EQ(afDropAction::COPY, action);
        },
        {[&] {
            afMessageBox* box = widgetstest::findOpenMessageBox();
            if (!box)
                return false;
            Prompt prompt;
            prompt.title = box->getTitle();
            collectLabels(box, prompt.labels);
            prompts.push_back(prompt);
            box->close(RESULT_SAVE);
            return true;
        }});
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.cpp", L"z.txt"}), tabTexts());
    EXPECT_EQ(L"c.cpp", manager->getActive() ? manager->getActive()->getTitle() : L"");
    EXPECT_EQ(L"source.c++", manager->getActive() ? manager->getActive()->getLanguageName() : L"");
    ASSERT_EQ(1u, prompts.size());
    EXPECT_EQ(L"Error", prompts[0].title);
    ASSERT_LE(2u, prompts[0].labels.size());
    EXPECT_EQ(L"Unable to open file", prompts[0].labels[0]);
    EXPECT_EQ(missing, prompts[0].labels[1]);
    EXPECT_TRUE(dropped(data)->getPaths().empty());

    // On an editor: at the end, the last one shown.
    auto* wrapper = dynamic_cast<EditorWrapper*>(manager->slotOf(manager->getActive())->getView());
    ASSERT_NE(nullptr, wrapper);
    Editor* editor = wrapper->getEditor();
    auto* editorData = static_cast<afDataObjectComposite*>(editor->getDropTarget()->getDataObject());
    dropped(editorData)->setPaths({file(L"d.txt"), file(L"e.txt")});
    EXPECT_EQ(afDropAction::COPY, editor->acceptDrop(POINT{0, 0}, afDropAction::COPY));
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.cpp", L"z.txt", L"d.txt", L"e.txt"}), tabTexts());
    EXPECT_EQ(L"e.txt", manager->getActive()->getTitle());
}

TEST_F(FileTypesTest, QuickOpenListsProjectFilesThenRecentThenOpenOnceEach) {
    std::wstring shared = file(L"shared.txt");
    makeProject({file(L"p1.txt"), shared});
    for (const wchar_t* name : {L"r1.txt", L"shared.txt", L"r2.txt"}) {
        RecentFileEntry entry;
        entry.filePath = file(name);
        manager->addRecent(entry);
    }
    open(file(L"o1.txt"));
    open(folder + L"R2.TXT"); // the recent file, in other case
    open(file(L"o2.txt"));
    manager->newDocument();
    EXPECT_EQ((std::vector<std::wstring>{folder + L"p1.txt", shared, folder + L"r2.txt", folder + L"r1.txt",
                                         folder + L"o2.txt", folder + L"o1.txt"}),
              manager->quickOpenCandidates());
}

TEST_F(FileTypesTest, OnlyDocumentsOfTheActiveProjectOfferShowInProject) {
    std::wstring inside = file(L"in.txt");
    DocumentController* member = open(inside);
    DocumentController* stranger = open(file(L"out.txt"));
    DocumentController* untitled = manager->newDocument();
    EXPECT_FALSE(manager->isInActiveProject(member)); // no project yet
    makeProject({inside});

    struct Case {
        DocumentController* controller;
        bool offered;
    } cases[] = {{member, true}, {stranger, false}, {untitled, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.offered, manager->isInActiveProject(c.controller)) << narrow(c.controller->getTitle());
        std::unique_ptr<afMenu> menu(afMenu::createPopup(L""));
        manager->fillSlotMenu(manager->slotOf(c.controller), menu.get());
        std::vector<std::wstring> titles;
        for (afMenuNode* node : menu->children())
            titles.push_back(node->getKind() == afMenuNode::SEPARATOR ? L"-" : node->getTitle());
        EXPECT_EQ(c.offered ? (std::vector<std::wstring>{L"-", L"Show in &Project"}) : std::vector<std::wstring>{},
                  titles)
            << narrow(c.controller->getTitle());
    }

    // The tab's context carries its document for the action.
    ScopePath path;
    manager->getSlotScope(manager->slotOf(member), path);
    const ScopeAtom* atom = path.find(L"_.tab.document");
    ASSERT_NE(nullptr, atom);
    EXPECT_EQ(member, atom->object);
}

TEST_F(FileTypesTest, ADraggedTabCarriesItsFile) {
    DocumentController* named = open(file(L"a.txt"));
    DocumentController* untitled = manager->newDocument();
    afDataObjectComposite withFile;
    manager->getSlotDragData(manager->slotOf(named), &withFile);
    auto* files = static_cast<afDataObjectFiles*>(withFile.findPart(CF_HDROP));
    ASSERT_NE(nullptr, files);
    EXPECT_EQ(std::vector<std::wstring>{folder + L"a.txt"}, files->getPaths());
    afDataObjectComposite without;
    manager->getSlotDragData(manager->slotOf(untitled), &without);
    EXPECT_EQ(nullptr, without.findPart(CF_HDROP));
}

// Find and Replace work on the focused document editor: the tabs' editors serve both scopes,
// so closing the dialog can give the focus back and Find Next has something to search.
TEST_F(FileTypesTest, DocumentEditorsServeTheSearchScopes) {
    SearchManager search(nullptr, nullptr);
    DocumentController* a = open(file(L"a.txt"));
    DocumentController* b = open(file(L"b.txt"));
    for (DocumentController* controller : {a, b}) {
        manager->activateTab(controller);
        auto* wrapper = dynamic_cast<EditorWrapper*>(manager->slotOf(controller)->getView());
        ASSERT_NE(nullptr, wrapper);
        wrapper->getEditor()->notifySearchFocus(true);
        for (uint32_t id : {SearchRequest::SCOPE_CURRENT_DOCUMENT, SearchRequest::SCOPE_CURRENT_SELECTION}) {
            SearchScope* scope = search.findScope(id);
            ASSERT_NE(nullptr, scope);
            EXPECT_EQ(static_cast<SearchSubscriber*>(wrapper->getEditor()), scope->subscriber)
                << narrow(controller->getTitle());
        }
    }
}

TEST_F(FileTypesTest, TheStatusStripFollowsTheActiveDocument) {
    EditorStatusController* status = manager->getStatusController();
    ASSERT_NE(nullptr, status);
    DocumentController* a = open(file(L"a.cpp"));
    DocumentController* b = open(file(L"b.txt"));
    manager->activateTab(a);
    EXPECT_EQ(a, status->getDocumentController());
    manager->activateTab(b);
    EXPECT_EQ(b, status->getDocumentController());
    EXPECT_TRUE(manager->closeAll(nullptr));
    EXPECT_EQ(nullptr, status->getDocumentController());
}

} // namespace
