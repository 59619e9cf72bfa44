// Knows the installed faces and the system's font aliases, creates and caches fonts,
// and builds font families whose groups pick, for each code point, the first face of
// the list that has it. One per process, made on first use; main thread only.
#pragma once
#include "corvel/document/IFontRegistry.h"
#include "corvel/ui/afUnicodeFont.h"
#include "corvel/ui/afUnicodeFontFamily.h"
#include "corvel/ui/afUnicodeFontInfo.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvel {

class afUnicodeFontManager : public IFontRegistry {
public:
    static afUnicodeFontManager* instance();
    // Deletes the process's manager; the next instance() makes a new one.
    static void destroy();

    afUnicodeFontManager();
    ~afUnicodeFontManager() override;
    afUnicodeFontManager(const afUnicodeFontManager&) = delete;
    afUnicodeFontManager& operator=(const afUnicodeFontManager&) = delete;

    // Enumerates the installed faces and reads the alias table again.
    void initFonts();
    // Whether a face of that name, or an alias of one, is installed (any letter case).
    bool hasFont(const wchar_t* name) const override;
    const afUnicodeFontInfo* findFaceInfo(const std::wstring& name) const;
    const std::vector<std::wstring>& unresolvedSubstitutes() const { return m_unresolved; }

    // The family of these faces at this size in points, built on first request.
    afUnicodeFontFamily* getFontGroup(const std::vector<std::wstring>& names, uint16_t size);
    // Adds the face (or its fallback) to the group; false when no face could be found
    // or the group is full.
    bool addFontToGroup(HDC dc, afUnicodeFontGroup* group, const std::wstring& name);
    // The slot's font, created on first use; never null.
    afUnicodeFont* fontForSlot(afUnicodeFontGroup* group, uint8_t slot, HDC dc);
    afUnicodeFont* createFont(afUnicodeFontGroup* group, uint8_t slot, HDC dc);
    // The slot that draws the code point: the first face of the list that has it, else an
    // installed face that has it (added to the group on first need), else slot 1.
    uint8_t slotForChar(afUnicodeFontGroup* group, uint32_t codePoint) {
        uint8_t slot = group->markedSlot(codePoint);
        return slot ? slot : fallbackSlot(group, codePoint);
    }
    afUnicodeFont* defaultFont();
    // The font cache's key: each field in bits of its own.
    static uint64_t fontKey(uint32_t faceCrc, uint16_t size, uint8_t slot, uint8_t variant) {
        return static_cast<uint64_t>(faceCrc) << 32 | static_cast<uint64_t>(size) << 16 |
               static_cast<uint64_t>(slot) << 8 | variant;
    }

private:
    typedef std::unordered_map<uint32_t, afUnicodeFontInfo*> NameTable;

    void clear();
    void enumerateFaces();
    void readSubstitutes();
    void recordFace(const LOGFONTW& logFont, const NEWTEXTMETRICEXW& metrics, DWORD fontType);
    static int CALLBACK onFace(const LOGFONTW* logFont, const TEXTMETRICW* metrics, DWORD fontType, LPARAM self);
    afUnicodeFontFamily* findFamily(const std::vector<std::wstring>& names, uint16_t size) const;
    void markCoverage(HDC dc, afUnicodeFontGroup* group, uint8_t slot, afUnicodeFontInfo* info);
    uint8_t fallbackSlot(afUnicodeFontGroup* group, uint32_t codePoint);
    // An installed face whose 'cmap' maps the code point, or null.
    afUnicodeFontInfo* faceCovering(uint32_t codePoint);
    void readFallbackCoverage(HDC dc, afUnicodeFontInfo* info);

    std::unordered_map<uint32_t, std::unique_ptr<afUnicodeFontInfo>> m_faces; // no-case CRC of the name
    NameTable m_substitutes;                                                 // no-case CRC of the alias
    NameTable m_moreNames;                                                   // consulted last; nothing fills it yet
    std::vector<std::wstring> m_unresolved; // aliases whose target face is not installed
    std::unordered_map<uint64_t, std::unique_ptr<afUnicodeFont>> m_fonts; // a null entry: creation failed
    std::vector<std::unique_ptr<afUnicodeFontFamily>> m_families;
    // Faces asked in turn for a character no listed face has: outline faces with a Unicode
    // table, fixed-pitch ones first, then by name. Built on first need.
    std::vector<afUnicodeFontInfo*> m_fallbackOrder;
    bool m_fallbackOrderBuilt = false;
    std::unique_ptr<afUnicodeFont> m_defaultFont;
};

} // namespace corvel
