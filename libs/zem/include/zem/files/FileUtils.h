// Copies, moves and removes files and whole trees over the device table. Each operation
// walks its sources into a file list, then works through the list; every step that can
// fail asks the progress handler whether to retry, skip or cancel. Without a handler any
// failure stops the operation and an existing target is never replaced.
#pragma once
#include "zem/files/File.h"

#include <string>
#include <vector>

namespace zem {

class FileList;
class FileProgressHandler;

class FileUtils {
public:
    enum WalkFlags : uint32_t {
        WALK_RECURSE = 0x1,
        WALK_DIRECTORY_BEFORE = 0x2, // add a directory before its content
        WALK_DIRECTORY_AFTER = 0x4,  // and/or after it
        WALK_DESTINATION = 0x8,      // a destination is given
        WALK_NO_SKIP = 0x10,         // skipping is not allowed while walking
        WALK_COPY = 0x3,
        WALK_MOVE = 0x17,
        WALK_REMOVE = 0x15,
    };
    // Size of the pieces a file is copied in.
    static constexpr uint32_t COPY_PIECE = 32768;

    // Into the destination directory: a file keeps its name, a directory goes to
    // destination\name with all its content.
    static bool copyPath(const wchar_t* source, const wchar_t* destination, FileProgressHandler* handler);
    static bool copyList(const std::vector<std::wstring>& sources, const wchar_t* destination,
                         FileProgressHandler* handler);
    // Renames within a device; copies and deletes across devices (and drives).
    static bool movePath(const wchar_t* source, const wchar_t* destination, FileProgressHandler* handler);
    static bool moveList(const std::vector<std::wstring>& sources, const wchar_t* destination,
                         FileProgressHandler* handler);
    static bool removePath(const wchar_t* path, FileProgressHandler* handler);
    static bool removeList(const std::vector<std::wstring>& paths, FileProgressHandler* handler);
    // Gives path the file name newName, replacing an existing file after asking. A name that
    // would leave the folder (empty, ".", "..", or holding a separator) fails with
    // ERROR_INVALID_NAME.
    static bool rename(const wchar_t* path, const wchar_t* newName, FileProgressHandler* handler);

    // Adds path (and with a destination, the matching target paths) to list.
    static bool walk(const wchar_t* path, FileList& list, const wchar_t* destination, uint32_t flags,
                     FileProgressHandler* handler);
    // One file; with move the source is deleted after a good copy. attributes may be null.
    static bool copyFile(FileProgressHandler* handler, const wchar_t* source, const wchar_t* destination, bool move,
                         const FileAttributeChange* attributes);
    // Opens a new file for writing, asking before it replaces an existing one. The caller
    // closes the file with fileClose.
    static File* createFile(const wchar_t* path, FileProgressHandler* handler);
    // An existing directory counts as created.
    static bool createDirectory(const wchar_t* path, FileProgressHandler* handler);
    // fileMove that asks before it replaces an existing file.
    static bool moveReplacing(FileProgressHandler* handler, const wchar_t* source, const wchar_t* destination);
};

} // namespace zem
