#include "WorkspaceDevices.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectInfo.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "support/TempFolder.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::JasmineValue;
using corvel::Project;
using corvel::ProjectFolder;
using corvel::ProjectInfo;
using corvel::ProjectItem;
using corvel::ProjectVirtualFolder;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        dir = zemtest::makeTempFolder(L"projfile");
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { zemtest::removeTree(dir); }

    // Writes a project file from Jasmine text and loads it into a fresh project.
    std::unique_ptr<Project> loadText(const std::string& text, bool* loaded = nullptr) {
        zemtest::writeNativeFile(dir + L"p.cvProject", text);
        std::unique_ptr<Project> project(new Project(nullptr));
        bool ok = project->load((dir + L"p.cvProject").c_str());
        if (loaded)
            *loaded = ok;
        return project;
    }

    std::wstring dir; // ends in '\'
};

// "vdir:name(child,child)" for virtual folders, "dir:path", "file:path": the shape of a tree.
std::wstring shape(const ProjectItem* item) {
    switch (item->getKind()) {
    case ProjectItem::KIND_FILE:
        return L"file:" + item->getPath();
    case ProjectItem::KIND_FOLDER:
        return L"dir:" + item->getPath();
    default:
        break;
    }
    const ProjectFolder* folder = static_cast<const ProjectFolder*>(item);
    std::wstring out = L"vdir:" + item->name() + L"(";
    for (size_t i = 0; i < folder->childCount(); ++i)
        out += (i ? L"," : L"") + shape(folder->childAt(i));
    return out + L")";
}

::testing::AssertionResult loadsAs(const std::unique_ptr<Project>& project, bool loaded, const std::wstring& expected) {
    if (!loaded)
        return ::testing::AssertionFailure() << "did not load";
    std::wstring actual = shape(project->getRoot());
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << ", expected "
                                         << ::testing::PrintToString(expected);
}

} // namespace

TEST_F(ProjectFileTest, ReadsTheTreeAndSkipsWhatItCannotClassify) {
    const struct {
        const char* text;
        const wchar_t* expected;
    } rows[] = {
        {"{ root : { vdir : 'T' } }", L"vdir:T()"},
        {"{ root : { vdir : 'T' content : [ { vdir : 'A' file : 'C:\\x.txt' } ] } }", L"vdir:T(vdir:A())"},
        {"{ root : { vdir : 'T' content : [ { other : 'x' } { dir : 5 } { dir : 'C:\\src\\' } ] } }",
         L"vdir:T(dir:C:\\src)"},
        // Found by fuzzing: one of two trailing separators stayed, and went on the next load.
        {"{ root : { vdir : 'T' content : [ { dir : 'C:\\src\\\\/' } ] } }", L"vdir:T(dir:C:\\src)"},
        {"{ root : { vdir : 'T' content : [ { file : 'C:\\a.txt' } 7 'text' ] } }", L"vdir:T(file:C:\\a.txt)"},
        {"{ root : { vdir : 1 content : [ { file : 'C:\\a.txt' } ] } }", L"vdir:()"},
        {"{ root : { vdir : 'T' content : 'none' } }", L"vdir:T()"},
    };
    for (const auto& row : rows) {
        bool loaded = false;
        std::unique_ptr<Project> project = loadText(row.text, &loaded);
        EXPECT_TRUE(loadsAs(project, loaded, row.expected)) << row.text;
    }
}

TEST_F(ProjectFileTest, RefusesFilesWithoutARoot) {
    const char* rows[] = {"{ version : '1' }", "{ root : 'x' }", "{ root : ", "\x01\x02\xff\xfe binary", ""};
    for (const char* text : rows) {
        bool loaded = true;
        std::unique_ptr<Project> project = loadText(text, &loaded);
        EXPECT_FALSE(loaded) << text;
        EXPECT_EQ(nullptr, project->getRoot()) << text;
    }
}

TEST_F(ProjectFileTest, RelativePathsResolveAgainstTheProjectFolder) {
    bool loaded = false;
    std::unique_ptr<Project> project =
        loadText("{ root : { vdir : 'T' content : [ { file : '.\\a.txt' } { dir : '.\\src' } "
                 "{ file : 'C:\\full.txt' } ] } }",
                 &loaded);
    EXPECT_TRUE(loadsAs(project, loaded, L"vdir:T(file:" + dir + L"a.txt,dir:" + dir + L"src,file:C:\\full.txt)"));
    EXPECT_EQ(dir + L"p.cvProject", project->getFilePath());
}

TEST_F(ProjectFileTest, SaveAndLoadAgainGiveTheSameRoot) {
    Project project(nullptr);
    ProjectVirtualFolder* root = new ProjectVirtualFolder(&project);
    root->setName(L"Demo");
    project.setRoot(root);
    ProjectItem* src = project.createItem(ProjectItem::KIND_FOLDER, nullptr);
    src->setPath(dir + L"src");
    project.attachItem(src, root);
    ProjectItem* scannedFile = project.createItem(ProjectItem::KIND_FILE, L"inside.txt");
    project.attachItem(scannedFile, static_cast<ProjectFolder*>(src));
    ProjectItem* group = project.createItem(ProjectItem::KIND_VIRTUAL_FOLDER, L"group");
    project.attachItem(group, root);
    ProjectItem* file = project.createItem(ProjectItem::KIND_FILE, nullptr);
    file->setPath(dir + L"notes.txt");
    project.attachItem(file, static_cast<ProjectFolder*>(group));
    EXPECT_TRUE(project.isModified());

    ASSERT_TRUE(project.save((dir + L"demo.cvProject").c_str()));
    EXPECT_FALSE(project.isModified());
    JasmineValue written;
    ASSERT_TRUE(corvel::JasmineLoader::load((dir + L"demo.cvProject").c_str(), written));
    const JasmineValue& rootValue = written.find(L"root");
    EXPECT_EQ(std::wstring(L"Demo"), rootValue.find(L"vdir").asString(L""));
    EXPECT_EQ(2u, rootValue.find(L"content").listSize());
    EXPECT_EQ(JasmineValue::TYPE_STRING, written.find(L"version").getType());

    Project again(nullptr);
    ASSERT_TRUE(again.load((dir + L"demo.cvProject").c_str()));
    EXPECT_EQ(shape(project.getRoot()).find(L"inside"), std::wstring::npos);
    EXPECT_EQ(L"vdir:Demo(dir:" + dir + L"src,vdir:group(file:" + dir + L"notes.txt))", shape(again.getRoot()))
        << "real folders are stored without their contents";
    EXPECT_TRUE(again.buildValue().find(L"root") == rootValue);
}

TEST_F(ProjectFileTest, AProjectWithoutRootOrWithABadPathDoesNotSave) {
    Project empty(nullptr);
    EXPECT_FALSE(empty.save((dir + L"never.cvProject").c_str()));
    EXPECT_EQ("<missing>", zemtest::readNativeFile(dir + L"never.cvProject"));

    Project project(nullptr);
    project.setRoot(new ProjectVirtualFolder(&project));
    project.setModified(true);
    EXPECT_FALSE(project.save((dir + L"no\\such\\folder\\x.cvProject").c_str()));
    EXPECT_TRUE(project.isModified());
}

TEST_F(ProjectFileTest, DefaultFileNames) {
    const struct {
        const wchar_t* title;
        const wchar_t* stem;
    } rows[] = {
        {L"My Project", L"my_project"},
        {L"Web-Site 2", L"web_site_2"},
        {L"\u00e9t\u00e9!?", L"t"},
        {L"a/b\\c:d", L"abcd"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(std::wstring(row.stem), Project::defaultFileStem(row.title)) << ::testing::PrintToString(row.stem);

    const std::wstring& user = workspacetest::WorkspaceDevices::ensure().userFolder();
    zemtest::removeTree(user + L"projects");
    std::wstring first;
    std::wstring second;
    ASSERT_TRUE(Project::createDefaultFile(L"My Project", first)) << "the projects folder is made when missing";
    ASSERT_TRUE(Project::createDefaultFile(L"My Project", second));
    EXPECT_EQ(user + L"projects\\my_project.cvProject", first);
    EXPECT_EQ(user + L"projects\\my_project_1.cvProject", second);
    std::wstring bare;
    ASSERT_TRUE(Project::createDefaultFile(L"!!!", bare));
    EXPECT_EQ(user + L"projects\\.cvProject", bare);
}

namespace {

::testing::AssertionResult headerFails(const std::wstring& path, const std::wstring& expected) {
    std::wstring title;
    std::wstring full;
    try {
        ProjectInfo::readHeader(path.c_str(), title, full);
    } catch (const zem::Exception& e) {
        if (e.message() == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "message " << ::testing::PrintToString(e.message());
    }
    return ::testing::AssertionFailure() << "no error, title " << ::testing::PrintToString(title);
}

} // namespace

TEST_F(ProjectFileTest, HeaderErrors) {
    const struct {
        const char* name;
        const char* text;
        const wchar_t* message;
    } rows[] = {
        {"noroot.cvProject", "{ version : '1' }", L"Incorrect project file (root missing)."},
        {"notitle.cvProject", "{ root : { content : [] } }", L"Title not set."},
        {"emptytitle.cvProject", "{ root : { vdir : '' } }", L"Title not set."},
        {"broken.cvProject",
         "{ root : { vdir : ", L"Error occured while opening a project file. See log for more informations."},
        {"empty.cvProject", "", L"Error occured while opening a project file. See log for more informations."},
    };
    for (const auto& row : rows) {
        std::wstring path = dir + std::wstring(row.name, row.name + strlen(row.name));
        zemtest::writeNativeFile(path, row.text);
        EXPECT_TRUE(headerFails(path, row.message)) << row.name;
    }
    EXPECT_TRUE(headerFails(dir + L"missing.cvProject", L"Unable to find project file."));
    EXPECT_TRUE(headerFails(dir, L"Project file found, but cannot be opened.")) << "a directory";
    zemtest::writeNativeFile(dir + L"ro.cvProject", "{ root : { vdir : 'T' } }");
    SetFileAttributesW((dir + L"ro.cvProject").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(headerFails(dir + L"ro.cvProject", L"Project file found, but cannot be opened."));
    EXPECT_TRUE(headerFails(L"nodevice:x.cvProject", L"Unable to get full path."));

    zemtest::writeNativeFile(dir + L"ok.cvProject", "{ root : { vdir : 'Title' } }");
    std::wstring title;
    std::wstring full;
    ProjectInfo::readHeader((dir + L"ok.cvProject").c_str(), title, full);
    EXPECT_EQ(L"Title", title);
    EXPECT_EQ(dir + L"ok.cvProject", full);
}

TEST_F(ProjectFileTest, DeepNestingIsRefusedOrCut) {
    const int depth = 300;
    std::string text = "{ root : ";
    for (int i = 0; i < depth; ++i)
        text += "{ vdir : 'v' content : [ ";
    for (int i = 0; i < depth; ++i)
        text += "] } ";
    text += "}";
    bool loaded = true;
    std::unique_ptr<Project> project = loadText(text, &loaded);
    EXPECT_FALSE(loaded) << "the parser refuses the file";

    // A tree built in memory reaches the reader unparsed: it cuts the nesting itself.
    JasmineValue top(JasmineValue::TYPE_DICTIONARY);
    JasmineValue* level = &top;
    for (int i = 0; i < depth; ++i) {
        level->getOrAddEntry(L"vdir").setString(L"v");
        JasmineValue& content = level->getOrAddEntry(L"content");
        content.initPayload(JasmineValue::TYPE_LIST);
        level = &content.appendElement();
        level->initPayload(JasmineValue::TYPE_DICTIONARY);
    }
    Project memory(nullptr);
    ProjectVirtualFolder* root = new ProjectVirtualFolder(&memory);
    root->readFrom(top);
    memory.setRoot(root);
    int levels = 0;
    for (const ProjectFolder* folder = root; folder->childCount() > 0;
         folder = static_cast<const ProjectFolder*>(folder->childAt(0)))
        ++levels;
    EXPECT_EQ(ProjectVirtualFolder::MAX_DEPTH - 1, levels);
}
