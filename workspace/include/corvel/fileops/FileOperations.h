// One file operation with its user interface: error prompts for the quick ones, a progress
// dialog for removing, copying and moving. Each runs to its end inside the call on the GUI
// thread and returns whether it succeeded. owner may be null.
#pragma once
#include <string>
#include <vector>

namespace corvel {

class afView;

namespace fileops {

bool createFile(afView* owner, const std::wstring& path);
bool createDirectory(afView* owner, const std::wstring& path);
// Gives path the file name newName in its folder.
bool rename(afView* owner, const std::wstring& path, const std::wstring& newName);
bool removePath(afView* owner, const std::wstring& path);
bool removeList(afView* owner, const std::vector<std::wstring>& paths);
// Into the directory target.
bool copyPath(afView* owner, const std::wstring& source, const std::wstring& target);
bool copyList(afView* owner, const std::vector<std::wstring>& paths, const std::wstring& directory);
bool movePath(afView* owner, const std::wstring& source, const std::wstring& target);
bool moveList(afView* owner, const std::vector<std::wstring>& paths, const std::wstring& directory);

} // namespace fileops
} // namespace corvel
