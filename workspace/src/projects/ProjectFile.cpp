// Project files: the title and the user-made part of the tree as one Jasmine dictionary.
// What lies inside real folders is never stored; scans find it again.
#include "corvel/base/VersionInfo.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/jasmine/ParserException.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"
#include "zem/log/LogManager.h"
#include "zem/text/Inflector.h"
#include "zem/thread/Thread.h"

namespace corvel {

namespace {

const wchar_t DEFAULT_FOLDER[] = L"user:projects";

bool keptInFileName(wchar_t unit) {
    return (unit >= L'a' && unit <= L'z') || (unit >= L'A' && unit <= L'Z') || (unit >= L'0' && unit <= L'9') ||
           unit == L' ' || unit == L'-' || unit == L'_';
}

} // namespace

JasmineValue Project::buildValue() const {
    JasmineValue value(JasmineValue::TYPE_DICTIONARY);
    value.getOrAddEntry(L"version").setString(getVersionStamp());
    JasmineValue& root = value.getOrAddEntry(L"root");
    root.initPayload(JasmineValue::TYPE_DICTIONARY);
    if (m_root)
        m_root->writeTo(root);
    return value;
}

bool Project::save(const wchar_t* path) {
    zem::checkMainThread();
    if (!m_root)
        return false;
    if (path)
        m_filePath = path;
    if (!JasmineLoader::save(m_filePath.c_str(), buildValue()))
        return false;
    setModified(false);
    return true;
}

bool Project::load(const wchar_t* path) {
    zem::checkMainThread();
    if (!path)
        return false;
    JasmineValue value;
    try {
        if (!JasmineLoader::load(path, value))
            return false;
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, LOG_SOURCE, L"Project file %s: %s\n", path, e.message().c_str());
        return false;
    }
    const JasmineValue& rootValue = value.find(L"root");
    if (!rootValue.isDictionary())
        return false;
    std::unique_ptr<ProjectVirtualFolder> root(new ProjectVirtualFolder(this));
    root->readFrom(rootValue);

    zem::WorkString directory(path);
    zem::removeFileName(directory);
    zem::appendPathSeparator(directory);
    resolveRelativePaths(root.get(), directory.str());

    m_filePath = path;
    setRoot(root.release());
    return true;
}

void Project::resolveRelativePaths(ProjectItem* item, const std::wstring& directory) {
    if (!item->isVirtualFolder()) {
        const std::wstring& text = item->getPathText();
        zem::WorkString full;
        if (!text.empty() && text[0] == L'.' && zem::fileGetFullPath((directory + text).c_str(), full))
            item->setPath(full.str());
        return;
    }
    ProjectFolder* folder = static_cast<ProjectFolder*>(item);
    for (size_t i = 0; i < folder->childCount(); ++i)
        resolveRelativePaths(folder->childAt(i), directory);
}

std::wstring Project::defaultFileStem(const std::wstring& title) {
    std::wstring kept = title;
    zem::Inflector::filter(kept, &keptInFileName);
    std::wstring stem;
    zem::Inflector::underscore(kept, &stem);
    return stem;
}

bool Project::createDefaultFile(const std::wstring& title, std::wstring& path) {
    // A fresh user folder has no projects folder yet.
    if (!zem::fileIsDirectory(DEFAULT_FOLDER))
        zem::fileCreateDirectories(DEFAULT_FOLDER);
    std::wstring wanted = std::wstring(DEFAULT_FOLDER) + L"/" + defaultFileStem(title) + L".cvProject";
    zem::File* file = zem::fileCreateUnique(wanted.c_str());
    if (!file)
        return false;
    zem::WorkString full;
    bool resolved = zem::fileGetFullPath(file->getPath(), full);
    zem::fileClose(file);
    if (!resolved)
        return false;
    path = full.str();
    return true;
}

} // namespace corvel
