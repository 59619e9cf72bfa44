#include "corvel/projects/ProjectInfo.h"

#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectManager.h"
#include "corvel/projects/ProjectPrompts.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

namespace corvel {

ProjectInfo::ProjectInfo() = default;
ProjectInfo::~ProjectInfo() = default;

void ProjectInfo::setProject(Project* project) {
    m_project.reset(project);
}

namespace {

// A file that cannot be parsed is refused (in the words the file layer's table holds for
// ERR_PROJECT_FILE_OPEN) rather than listed without a title.
const wchar_t UNREADABLE[] = L"Error occured while opening a project file. See log for more informations.";

} // namespace

void ProjectInfo::readHeader(const wchar_t* path, std::wstring& title, std::wstring& fullPath) {
    zem::WorkString full;
    if (!path || !zem::fileGetFullPath(path, full))
        throw zem::RuntimeException(L"Unable to get full path.");
    zem::FileInfo info;
    if (!zem::fileGetAttributes(full.c_str(), &info))
        throw zem::RuntimeException(L"Unable to find project file.");
    if (!(info.flags & zem::FileInfo::WRITABLE) || info.isDirectory())
        throw zem::RuntimeException(L"Project file found, but cannot be opened.");
    JasmineValue value;
    bool loaded = false;
    try {
        loaded = JasmineLoader::load(full.c_str(), value);
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, Project::LOG_SOURCE, L"Project file %s: %s\n", full.c_str(),
                        e.message().c_str());
    }
    if (!loaded)
        throw zem::RuntimeException(UNREADABLE);
    const JasmineValue& root = value.find(L"root");
    if (!root.isDictionary())
        throw zem::IllegalStateException(L"Incorrect project file (root missing).");
    const JasmineValue& vdir = root.find(L"vdir");
    const wchar_t* text = vdir.getType() == JasmineValue::TYPE_STRING ? vdir.asString(L"") : L"";
    if (!text || !*text)
        throw zem::IllegalStateException(L"Title not set.");
    title = text;
    fullPath = full.str();
}

ProjectInfo* ProjectInfo::fromFile(ProjectManager* manager, const std::wstring& path) {
    std::wstring title;
    std::wstring fullPath;
    try {
        readHeader(path.c_str(), title, fullPath);
    } catch (const zem::Exception& e) {
        projectprompts::ask(manager ? manager->getOwner() : nullptr, L"Error",
                            {{L"Unable to open project", 1}, {path, 2}, {e.message(), 0}},
                            {{L"&OK", projectprompts::RESULT_YES, true, 0}});
        return nullptr;
    }
    // One file opened as two projects would autosave over itself.
    if (manager && manager->findByFile(fullPath))
        return nullptr;
    auto* info = new ProjectInfo();
    info->setTitle(title);
    info->setFilePath(fullPath);
    if (manager)
        manager->appendProject(info);
    return info;
}

} // namespace corvel
