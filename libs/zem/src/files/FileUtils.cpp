#include "zem/files/FileUtils.h"

#include "FileError.h"
#include "FileSteps.h"
#include "zem/base/Assert.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/files/Path.h"
#include "zem/files/StaticFileList.h"

#include <algorithm>
#include <cwchar>

namespace zem {

using namespace filesteps;
using Handler = FileProgressHandler;

namespace {

std::wstring joinPath(const wchar_t* directory, const wchar_t* name) {
    std::wstring path = directory;
    if (!path.empty() && !isPathSeparator(path.back()))
        path += L'\\';
    path += name;
    return path;
}

// The last component of a path; a device prefix ("mem:a.txt") is no part of it.
const wchar_t* nameOf(const wchar_t* path) {
    const wchar_t* name = getFileName(path);
    if (const wchar_t* colon = std::wcsrchr(name, L':'))
        return colon + 1;
    return name;
}

// Closes a file the device table opened, on every way out.
struct FileCloser {
    File* file;
    ~FileCloser() {
        if (file)
            fileClose(file);
    }
    void close() {
        if (file)
            fileClose(file);
        file = nullptr;
    }
};

struct DirectoryCloser {
    Directory* directory;
    ~DirectoryCloser() {
        if (directory)
            fileCloseDirectory(directory);
    }
};

// A walk with no handler of the caller's still needs one to count and to answer "cancel".
struct HandlerOrDefault {
    Handler own;
    Handler& handler;
    explicit HandlerOrDefault(Handler* given) : handler(given ? *given : own) {}
};

bool isDirectoryEntry(const FileListEntry* entry) {
    return (entry->flags & (FileListEntry::DIRECTORY_BEFORE | FileListEntry::DIRECTORY_AFTER)) != 0;
}

FileListEntry* addDestination(FileList& list, const std::wstring& path, uint32_t flags) {
    FileListEntry* entry = list.add(path.c_str(), nullptr);
    entry->flags |= FileListEntry::DESTINATION | flags;
    return entry;
}

void addDirectory(FileList& list, const wchar_t* path, const FileInfo& info, const wchar_t* destination,
                  uint32_t placement) {
    FileListEntry* entry = list.add(path, &info);
    entry->flags |= placement | FileListEntry::SECTION_START;
    if (destination)
        addDestination(list, destination, placement | FileListEntry::SECTION_START);
}

bool walkContent(Handler& handler, const std::wstring& path, FileList& list, const wchar_t* destination,
                 uint32_t flags);

// A directory with its content, placed before and/or after it as the flags say.
bool walkDirectory(Handler& handler, const std::wstring& path, const FileInfo& info, FileList& list,
                   const wchar_t* destination, uint32_t flags) {
    if (flags & FileUtils::WALK_DIRECTORY_BEFORE)
        addDirectory(list, path.c_str(), info, destination, FileListEntry::DIRECTORY_BEFORE);
    if (!walkContent(handler, path, list, destination, flags))
        return false;
    if (flags & FileUtils::WALK_DIRECTORY_AFTER)
        addDirectory(list, path.c_str(), info, destination, FileListEntry::DIRECTORY_AFTER);
    return true;
}

bool walkContent(Handler& handler, const std::wstring& path, FileList& list, const wchar_t* destination,
                 uint32_t flags) {
    DirectoryCloser listing{openDirectory(handler, path.c_str())};
    if (!listing.directory)
        return false;
    bool firstFile = true;
    while (const FileInfo* info = listing.directory->next()) {
        handler.tick();
        if (!checkCancel(handler))
            return false;
        // Only the last component joins the path: a listed name never reaches outside it.
        const wchar_t* name = nameOf(info->name);
        if (!*name || std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0)
            continue;
        std::wstring child = joinPath(path.c_str(), name);
        std::wstring childDestination = destination ? joinPath(destination, name) : std::wstring();
        const wchar_t* target = destination ? childDestination.c_str() : nullptr;
        if (info->isDirectory()) {
            if (!(flags & FileUtils::WALK_RECURSE))
                continue;
            FileInfo copy = *info;
            if (!walkDirectory(handler, child, copy, list, target, flags))
                return handler.getLastAnswer() == Handler::UI_Skip;
            firstFile = true;
            continue;
        }
        FileListEntry* entry = list.add(child.c_str(), info);
        uint32_t section = firstFile ? static_cast<uint32_t>(FileListEntry::SECTION_START) : 0u;
        entry->flags |= section;
        if (destination)
            addDestination(list, childDestination, section);
        firstFile = false;
    }
    return true;
}

std::wstring pathOf(const FileListEntry* entry) {
    return std::wstring(entry->path, entry->pathLength);
}

// The pair after the closing entry of the directory that source opens.
FileListEntry* pastDirectory(FileList& list, FileListEntry* source, uint32_t* pairs) {
    std::wstring path = pathOf(source);
    FileListEntry* entry = list.next(list.next(source));
    *pairs = 1;
    while (entry) {
        FileListEntry* following = list.next(list.next(entry));
        ++*pairs;
        if ((entry->flags & FileListEntry::DIRECTORY_AFTER) && pathOf(entry) == path)
            return following;
        entry = following;
    }
    return nullptr;
}

void startExecution(Handler& handler, FileList& list, uint32_t items) {
    handler.setTotals(items, list.getStatistics().bytes);
    handler.setConfirmSingly(items < 2);
    handler.setSkipAllowed(true);
    handler.notify(Handler::EVENT_EXECUTION_STARTED, nullptr);
    handler.startClock();
}

// After each item: count it, report, and tell whether the run goes on.
bool finishItem(Handler& handler, bool ok) {
    handler.itemDone();
    handler.tick();
    if (!ok && handler.getLastAnswer() != Handler::UI_Skip)
        return false;
    return checkCancel(handler);
}

bool createDestinationDirectory(Handler& handler, const wchar_t* path, const FileListEntry* source) {
    handler.setPath(path);
    if (!FileUtils::createDirectory(path, &handler))
        return false;
    handler.notify(Handler::EVENT_DIRECTORY_CREATED, path);
    if (source->flags & FileListEntry::HAS_ATTRIBUTES) {
        if (!setAttributes(handler, path, FileAttributeChange::fromFlags(source->infoFlags)))
            return false;
        handler.notify(Handler::EVENT_ATTRIBUTES_CHANGED, path);
    }
    return true;
}

bool executeCopy(Handler& handler, FileList& list) {
    ZEM_ASSERT_MSG(list.getOperation() == FileList::OperationCopyPath,
                   L"flist->getOperation() == FileList::OperationCopyPath");
    startExecution(handler, list, static_cast<uint32_t>(list.count() / 2));
    for (FileListEntry* source = list.first(); source; source = list.next(list.next(source))) {
        FileListEntry* target = list.next(source);
        ZEM_ASSERT(target && (target->flags & FileListEntry::DESTINATION));
        bool groupStart = (source->flags & FileListEntry::GROUP_START) != 0;
        bool directory = isDirectoryEntry(source);
        handler.setSourcePath(source->path);
        handler.setDestinationPath(target->path);
        if (groupStart && filePathsEqual(source->path, target->path))
            return failFatal(handler, directory ? ERR_COPY_DIR_TO_ITSELF : ERR_COPY_FILE_TO_ITSELF, source->path);
        bool ok;
        if (directory) {
            if (groupStart && fileIsDirectory(target->path)) {
                handler.setOperation(Handler::OP_COPY_FILE);
                if (!confirm(handler, Handler::Q_REPLACE_DIRECTORY_CONTENT, target->path, source->path))
                    return false;
            }
            ok = createDestinationDirectory(handler, target->path, source);
        } else {
            FileAttributeChange change = FileAttributeChange::fromFlags(source->infoFlags);
            bool withAttributes = (source->flags & FileListEntry::HAS_ATTRIBUTES) != 0;
            ok = FileUtils::copyFile(&handler, source->path, target->path, false, withAttributes ? &change : nullptr);
        }
        if (!finishItem(handler, ok))
            return false;
    }
    return true;
}

bool executeMove(Handler& handler, FileList& list) {
    ZEM_ASSERT_MSG(list.getOperation() == FileList::OperationMovePath,
                   L"flist->getOperation() == FileList::OperationMovePath");
    startExecution(handler, list, static_cast<uint32_t>(list.count() / 2));
    bool renames = true;
    FileListEntry* source = list.first();
    while (source) {
        FileListEntry* target = list.next(source);
        ZEM_ASSERT(target && (target->flags & FileListEntry::DESTINATION));
        FileListEntry* following = list.next(target);
        bool directory = isDirectoryEntry(source);
        handler.setSourcePath(source->path);
        handler.setDestinationPath(target->path);
        if (source->flags & FileListEntry::GROUP_START) {
            if (filePathsEqual(source->path, target->path))
                return failFatal(handler, directory ? ERR_MOVE_DIR_TO_ITSELF : ERR_MOVE_FILE_TO_ITSELF, source->path);
            renames = fileCanMove(source->path, target->path);
        }
        FileInfo existing;
        bool exists = fileGetAttributes(target->path, &existing);
        bool ok = true;
        if (source->flags & FileListEntry::DIRECTORY_BEFORE) {
            if (exists && !existing.isDirectory())
                return failFatal(handler, ERR_MOVE_DIR_TO_FILE, target->path);
            if (!exists && renames) {
                handler.setOperation(Handler::OP_MOVE);
                ok = FileUtils::moveReplacing(&handler, source->path, target->path);
                if (ok || handler.getLastAnswer() == Handler::UI_Skip) {
                    uint32_t pairs = 0;
                    following = pastDirectory(list, source, &pairs);
                    for (uint32_t i = 1; i < pairs; ++i)
                        handler.itemDone();
                }
            } else if (exists) {
                handler.setOperation(Handler::OP_MOVE);
                fileFail(Handler::Q_REPLACE_DIRECTORY_CONTENT, target->path, source->path);
                uint32_t answer = handler.ask(false);
                if (answer == Handler::UI_Skip) {
                    uint32_t pairs = 0;
                    following = pastDirectory(list, source, &pairs);
                    for (uint32_t i = 1; i < pairs; ++i)
                        handler.itemDone();
                } else if (answer != Handler::UI_Yes) {
                    return false;
                }
            } else {
                ok = createDestinationDirectory(handler, target->path, source);
            }
        } else if (source->flags & FileListEntry::DIRECTORY_AFTER) {
            ok = removeDirectory(handler, source->path);
            if (ok)
                handler.notify(Handler::EVENT_DIRECTORY_REMOVED, source->path);
        } else if (exists && existing.isDirectory()) {
            return failFatal(handler, ERR_MOVE_FILE_TO_DIR, target->path);
        } else if (exists || !renames) {
            FileAttributeChange change = FileAttributeChange::fromFlags(source->infoFlags);
            bool withAttributes = (source->flags & FileListEntry::HAS_ATTRIBUTES) != 0;
            ok = FileUtils::copyFile(&handler, source->path, target->path, true, withAttributes ? &change : nullptr);
        } else {
            handler.setOperation(Handler::OP_MOVE);
            ok = FileUtils::moveReplacing(&handler, source->path, target->path);
        }
        if (!finishItem(handler, ok))
            return false;
        source = following;
    }
    return true;
}

// Asks a delete question; with confirm-singly off an answer for all files also covers the
// directories, and the other way round.
bool confirmDelete(Handler& handler, uint32_t code, uint32_t otherCode, const wchar_t* path) {
    uint32_t answer;
    if (!handler.isConfirmSingly() && !handler.findAnswer(code, &answer) && handler.findAnswer(otherCode, &answer))
        handler.setAnswer(code, answer);
    return confirm(handler, code, path, nullptr);
}

bool removeEntry(Handler& handler, FileListEntry* entry) {
    handler.setPath(entry->path);
    if (isDirectoryEntry(entry)) {
        handler.setOperation(Handler::OP_DELETE_DIRECTORY);
        if (!confirmDelete(handler, Handler::Q_DELETE_DIRECTORY, Handler::Q_DELETE_FILE, entry->path))
            return false;
        if (!removeDirectory(handler, entry->path))
            return false;
        handler.notify(Handler::EVENT_DIRECTORY_REMOVED, entry->path);
        return true;
    }
    if (entry->flags & FileListEntry::SECTION_START)
        handler.notify(Handler::EVENT_DIRECTORY_FIRST_FILE, entry->path);
    handler.setOperation(Handler::OP_DELETE_FILE);
    if (!confirmDelete(handler, Handler::Q_DELETE_FILE, Handler::Q_DELETE_DIRECTORY, entry->path))
        return false;
    bool readOnly = (entry->flags & FileListEntry::HAS_ATTRIBUTES) && !(entry->infoFlags & FileInfo::WRITABLE);
    if (readOnly) {
        if (!confirm(handler, Handler::Q_DELETE_READ_ONLY_FILE, entry->path, nullptr))
            return false;
        if (!makeWritable(handler, entry->path))
            return false;
    }
    if (!deleteFile(handler, entry->path))
        return false;
    handler.notify(Handler::EVENT_FILE_DELETED, entry->path);
    return true;
}

bool executeRemove(Handler& handler, FileList& list) {
    ZEM_ASSERT_MSG(list.getOperation() == FileList::OperationRemovePath,
                   L"flist->getOperation() == FileList::OperationRemovePath");
    startExecution(handler, list, static_cast<uint32_t>(list.count()));
    for (FileListEntry* entry = list.first(); entry; entry = list.next(entry)) {
        if (!finishItem(handler, removeEntry(handler, entry)))
            return false;
    }
    return true;
}

// The target of source inside the destination directory.
std::wstring targetOf(const wchar_t* source, const wchar_t* destination) {
    return joinPath(destination, nameOf(source));
}

// Adds one source of a copy or move to the list; false ends the building.
bool buildTransfer(Handler& handler, const wchar_t* source, const wchar_t* destination, FileList& list, bool move) {
    FileInfo info;
    if (!getAttributes(handler, source, &info))
        return false;
    std::wstring target = targetOf(source, destination);
    if (filePathsEqual(source, target.c_str())) {
        uint32_t code = move ? (info.isDirectory() ? ERR_MOVE_DIR_TO_ITSELF : ERR_MOVE_FILE_TO_ITSELF)
                             : (info.isDirectory() ? ERR_COPY_DIR_TO_ITSELF : ERR_COPY_FILE_TO_ITSELF);
        return failFatal(handler, code, source);
    }
    handler.notify(Handler::EVENT_LIST_STARTED, source);
    return FileUtils::walk(source, list, info.isDirectory() ? target.c_str() : destination,
                           move ? FileUtils::WALK_MOVE : FileUtils::WALK_COPY, &handler);
}

bool transfer(const std::vector<const wchar_t*>& sources, const wchar_t* destination, Handler* given, bool move) {
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    handler.reset(false);
    handler.startClock();
    StaticFileList list(move ? FileList::OperationMovePath : FileList::OperationCopyPath);
    for (const wchar_t* source : sources) {
        if (!buildTransfer(handler, source, destination, list, move))
            return false;
    }
    return move ? executeMove(handler, list) : executeCopy(handler, list);
}

bool remove(const std::vector<const wchar_t*>& paths, Handler* given) {
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    if (!given) {
        // Nobody to ask: removing is what the caller asked for.
        handler.setAnswer(Handler::Q_DELETE_FILE, Handler::UI_Yes);
        handler.setAnswer(Handler::Q_DELETE_READ_ONLY_FILE, Handler::UI_Yes);
        handler.setAnswer(Handler::Q_DELETE_DIRECTORY, Handler::UI_Yes);
    }
    handler.reset(false);
    handler.startClock();
    StaticFileList list(FileList::OperationRemovePath);
    for (const wchar_t* path : paths) {
        handler.notify(Handler::EVENT_LIST_STARTED, path);
        if (!FileUtils::walk(path, list, nullptr, FileUtils::WALK_REMOVE, &handler))
            return false;
    }
    return executeRemove(handler, list);
}

std::vector<const wchar_t*> pointersOf(const std::vector<std::wstring>& paths) {
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& path : paths)
        pointers.push_back(path.c_str());
    return pointers;
}

} // namespace

bool FileUtils::walk(const wchar_t* path, FileList& list, const wchar_t* destination, uint32_t flags,
                     FileProgressHandler* given) {
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    if (destination)
        flags |= WALK_DESTINATION;
    handler.setSkipAllowed(!(flags & WALK_NO_SKIP));
    FileInfo info;
    if (!getAttributes(handler, path, &info))
        return false;
    list.startGroup();
    if (info.isDirectory())
        return walkDirectory(handler, path, info, list, destination, flags);
    FileListEntry* entry = list.add(path, &info);
    entry->flags |= FileListEntry::SECTION_START;
    if (destination)
        addDestination(list, joinPath(destination, nameOf(path)), FileListEntry::SECTION_START);
    return true;
}

bool FileUtils::copyPath(const wchar_t* source, const wchar_t* destination, FileProgressHandler* handler) {
    ZEM_ASSERT_MSG(source && destination, L"source_path && destination_path");
    return transfer({source}, destination, handler, false);
}

bool FileUtils::copyList(const std::vector<std::wstring>& sources, const wchar_t* destination,
                         FileProgressHandler* handler) {
    ZEM_ASSERT_MSG(destination, L"destination_path");
    return transfer(pointersOf(sources), destination, handler, false);
}

bool FileUtils::movePath(const wchar_t* source, const wchar_t* destination, FileProgressHandler* handler) {
    ZEM_ASSERT_MSG(source && destination, L"source_path && destination_path");
    return transfer({source}, destination, handler, true);
}

bool FileUtils::moveList(const std::vector<std::wstring>& sources, const wchar_t* destination,
                         FileProgressHandler* handler) {
    ZEM_ASSERT_MSG(destination, L"destination_path");
    return transfer(pointersOf(sources), destination, handler, true);
}

bool FileUtils::removePath(const wchar_t* path, FileProgressHandler* handler) {
    ZEM_ASSERT_MSG(path, L"path");
    return remove({path}, handler);
}

bool FileUtils::removeList(const std::vector<std::wstring>& paths, FileProgressHandler* handler) {
    return remove(pointersOf(paths), handler);
}

bool FileUtils::rename(const wchar_t* path, const wchar_t* newName, FileProgressHandler* given) {
    ZEM_ASSERT_MSG(path, L"path");
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    handler.setOperation(Handler::OP_MOVE);
    handler.setSourcePath(path);
    // The new name stays inside the folder: no separators, no "." or "..".
    std::wstring name = newName ? newName : L"";
    if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\/") != std::wstring::npos)
        return failFatal(handler, ERROR_INVALID_NAME, name.c_str());
    WorkString destination(path);
    removeTrailingSeparator(destination);
    replaceFileName(destination, name.c_str());
    handler.setDestinationPath(destination.c_str());
    if (filePathsEqual(path, destination.c_str()))
        return failFatal(handler, fileIsDirectory(path) ? ERR_MOVE_DIR_TO_ITSELF : ERR_MOVE_FILE_TO_ITSELF, path);
    if (!fileCanMove(path, destination.c_str())) {
        handler.ask(true);
        return false;
    }
    return moveReplacing(&handler, path, destination.c_str());
}

File* FileUtils::createFile(const wchar_t* path, FileProgressHandler* given) {
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    const std::wstring& source = handler.getSourcePath();
    handler.setOperation(Handler::OP_OPEN_WRITE);
    for (;;) {
        File* file = fileOpen(path, FILE_MODE_WRITE_NEW);
        if (file)
            return file;
        uint32_t code = lastErrorCode();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
            break;
        if (handler.ask(false) != Handler::UI_Retry)
            return nullptr;
    }
    if (!given)
        return nullptr;
    bool haveSource = !source.empty();
    if (!confirm(handler, haveSource ? Handler::Q_REPLACE_FILE : Handler::Q_FILE_EXISTS, path,
                 haveSource ? source.c_str() : nullptr))
        return nullptr;
    bool askedReadOnly = false;
    for (;;) {
        File* file = fileOpen(path, FILE_MODE_WRITE);
        if (file)
            return file;
        FileInfo info;
        bool readOnly = lastErrorCode() == ERROR_ACCESS_DENIED && !askedReadOnly && fileGetAttributes(path, &info) &&
                        !(info.flags & FileInfo::WRITABLE);
        if (readOnly) {
            askedReadOnly = true;
            if (!confirm(handler, haveSource ? Handler::Q_REPLACE_READ_ONLY_FILE : Handler::Q_READ_ONLY_EXISTS, path,
                         haveSource ? source.c_str() : nullptr))
                return nullptr;
            if (!makeWritable(handler, path))
                return nullptr;
            handler.setOperation(Handler::OP_OPEN_WRITE);
            continue;
        }
        handler.setOperation(Handler::OP_OPEN_WRITE);
        if (handler.ask(false) != Handler::UI_Retry)
            return nullptr;
    }
}

bool FileUtils::createDirectory(const wchar_t* path, FileProgressHandler* given) {
    HandlerOrDefault choice(given);
    return retrying(choice.handler, Handler::OP_CREATE_DIRECTORY,
                    [&] { return fileCreateDirectory(path) || fileIsDirectory(path); });
}

bool FileUtils::copyFile(FileProgressHandler* given, const wchar_t* source, const wchar_t* destination, bool move,
                         const FileAttributeChange* attributes) {
    ZEM_ASSERT_MSG(source, L"source_path");
    ZEM_ASSERT_MSG(destination, L"destination_path");
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    handler.setSourcePath(source);
    handler.setDestinationPath(destination);
    handler.setPath(source);
    FileCloser input{openRead(handler, source)};
    if (!input.file)
        return false;
    handler.setPath(destination);
    FileCloser output{createFile(destination, &handler)};
    if (!output.file)
        return false;
    // From here the destination was created or truncated: a failure removes what is left of it.
    std::vector<char>& buffer = handler.copyBuffer();
    if (buffer.size() < COPY_PIECE)
        buffer.resize(COPY_PIECE);
    uint32_t size = input.file->getSize();
    uint32_t position = 0;
    handler.startFile();
    bool ok = true;
    while (ok && position < size) {
        handler.tick();
        if (!checkCancel(handler)) {
            ok = false;
            break;
        }
        uint32_t piece = std::min<uint32_t>(COPY_PIECE, size - position);
        handler.setPath(source);
        ok = readExactly(handler, input.file, buffer.data(), piece);
        if (ok) {
            handler.setPath(destination);
            ok = writeExactly(handler, output.file, buffer.data(), piece);
        }
        if (ok) {
            position += piece;
            handler.progress(position, false);
        }
    }
    input.close();
    if (ok && !fileClose(output.file)) {
        output.file = nullptr;
        ok = false;
    }
    output.file = nullptr;
    if (!ok) {
        ErrorRecord failure = currentError();
        fileDelete(destination);
        currentError() = failure;
        SetLastError(failure.code);
        return false;
    }
    handler.notify(Handler::EVENT_FILE_COPIED, destination);
    if (attributes) {
        if (!setAttributes(handler, destination, *attributes))
            return false;
        handler.notify(Handler::EVENT_ATTRIBUTES_CHANGED, destination);
    }
    if (!move)
        return true;
    FileInfo info;
    if (fileGetAttributes(source, &info) && !(info.flags & FileInfo::WRITABLE) && !makeWritable(handler, source))
        return false;
    if (!deleteFile(handler, source))
        return false;
    handler.notify(Handler::EVENT_FILE_DELETED, source);
    return true;
}

bool FileUtils::moveReplacing(FileProgressHandler* given, const wchar_t* source, const wchar_t* destination) {
    HandlerOrDefault choice(given);
    Handler& handler = choice.handler;
    for (;;) {
        handler.setOperation(Handler::OP_MOVE);
        if (fileMove(source, destination))
            return true;
        uint32_t code = lastErrorCode();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            if (handler.ask(false) != Handler::UI_Retry)
                return false;
            continue;
        }
        FileInfo from;
        FileInfo to;
        if (!getAttributes(handler, source, &from) || !getAttributes(handler, destination, &to))
            return false;
        handler.setOperation(Handler::OP_MOVE);
        if (from.isDirectory() || to.isDirectory()) {
            uint32_t failure = !to.isDirectory()     ? ERR_MOVE_DIR_TO_FILE
                               : !from.isDirectory() ? ERR_MOVE_FILE_TO_DIR
                                                     : ERR_MOVE_DIR_TO_EXISTING_DIR;
            fileFail(failure, source);
            handler.ask(false);
            return false;
        }
        if (!given)
            return false;
        if (!confirm(handler, Handler::Q_REPLACE_FILE, destination, source))
            return false;
        if (!(to.flags & FileInfo::WRITABLE)) {
            if (!confirm(handler, Handler::Q_REPLACE_READ_ONLY_FILE, destination, source))
                return false;
            if (!makeWritable(handler, destination))
                return false;
        }
        if (!deleteFile(handler, destination))
            return false;
    }
}

} // namespace zem
