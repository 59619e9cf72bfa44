// The file chooser of quick open: candidate paths, each listed once, matched as whole
// paths and drawn one to a row.
#pragma once
#include "corvel/app/SuggestionWindow.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvel {

class FileSelectWindow : public SuggestionWindow {
public:
    explicit FileSelectWindow(afView* owner);

    // With dedupe, a key seen before adds nothing (false).
    bool addFile(uint32_t key, const wchar_t* path, size_t length, bool dedupe);
    bool addFile(uint32_t key, const std::wstring& path, bool dedupe) {
        return addFile(key, path.c_str(), path.size(), dedupe);
    }
    // Keyed by the hash of the path text, deduplicated.
    bool addFileText(const std::wstring& path);
    // False when nothing was picked or the list is empty.
    bool getSelectedPath(std::wstring& path) const;
    size_t getFileCount() const { return m_paths.size(); }

protected:
    int getItemCount() const override { return static_cast<int>(m_paths.size()); }
    bool filterItem(const FilterMatcher& matcher, int item, uint32_t& score) const override;
    void drawItem(int item, bool selected, afCanvas& canvas, const RECT& rect, bool focused) override;
    bool measureItem(int item, bool selected, afCanvas& canvas, SIZE& size) override;
    void configureList(afControlLister& list) override;
    const wchar_t* getCueText() const override { return L"Enter search string"; }

private:
    struct PathText {
        size_t offset; // into m_pool
        size_t length;
    };
    const wchar_t* textOf(const PathText& path) const { return m_pool.data() + path.offset; }

    std::unordered_set<uint32_t> m_keys;
    std::vector<PathText> m_paths; // in the order added
    std::vector<wchar_t> m_pool;   // every path's units, one after another
};

} // namespace corvel
