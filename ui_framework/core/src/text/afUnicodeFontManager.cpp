#include "corvel/ui/afUnicodeFontManager.h"

#include "ScreenDC.h"
#include "corvel/config/Timer.h"
#include "corvel/ui/CmapReader.h"
#include "corvel/ui/RegistryKey.h"
#include "zem/base/Crc.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr uint32_t UI_LOG_SOURCE = 0x629B9E5Bu;
constexpr size_t FACE_NAME_LIMIT = 31;
constexpr DWORD CMAP_TAG = 0x70616D63; // 'cmap' as GetFontData reads table tags
const wchar_t* const FALLBACK_FACES[] = {L"Courier New", L"Courier", L"SYSTEM"};

afUnicodeFontManager* g_manager = nullptr;

uint32_t nameKey(const std::wstring& name) { return zem::crc32StringNoCase(name.c_str()); }

// Alias names and their targets: the part before the first "," at face-name length.
std::wstring faceNamePart(const std::wstring& text) {
    std::wstring name = text.substr(0, text.find(L','));
    if (name.size() > FACE_NAME_LIMIT)
        name.resize(FACE_NAME_LIMIT);
    return name;
}

void copyFaceName(wchar_t (&target)[LF_FACESIZE], const std::wstring& name) {
    size_t length = std::min(name.size(), FACE_NAME_LIMIT);
    name.copy(target, length);
    target[length] = L'\0';
}

// Owns a font made for one step and deletes it when the step ends.
class TemporaryFont {
public:
    explicit TemporaryFont(HFONT font) : m_font(font) {}
    ~TemporaryFont() {
        if (m_font)
            DeleteObject(m_font);
    }
    TemporaryFont(const TemporaryFont&) = delete;
    TemporaryFont& operator=(const TemporaryFont&) = delete;
    HFONT get() const { return m_font; }

private:
    HFONT m_font;
};

// A font of the face at the system's default size, for reading its tables and metrics.
HFONT makeFaceFont(const std::wstring& faceName) {
    LOGFONTW logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    copyFaceName(logFont.lfFaceName, faceName);
    return CreateFontIndirectW(&logFont);
}

// The code points that the 'cmap' of the font selected into dc maps; false when the
// table cannot be read or used.
bool readSelectedCmap(HDC dc, std::vector<CmapRange>* ranges, bool* symbol) {
    std::vector<uint8_t> table;
    DWORD size = GetFontData(dc, CMAP_TAG, 0, nullptr, 0);
    if (size == 0 || size == GDI_ERROR)
        return false;
    table.resize(size);
    return GetFontData(dc, CMAP_TAG, 0, table.data(), size) == size &&
           readCmapRanges(table.data(), table.size(), ranges, symbol);
}

// Times one family request into the log's level-0 stopwatch line.
class FamilyStopwatch {
public:
    FamilyStopwatch() : m_start(timerNowMicroseconds()) {}
    ~FamilyStopwatch() {
        double ms = static_cast<double>(timerNowMicroseconds() - m_start) / 1000.0;
        zem::logMessage(0, UI_LOG_SOURCE, L"  %s%s:  % 8d @ % .3f ms\n", L"CreateFontFamily", L"       ", 1, ms);
    }

private:
    int64_t m_start;
};

} // namespace

afUnicodeFontManager* afUnicodeFontManager::instance() {
    if (!g_manager)
        g_manager = new afUnicodeFontManager();
    return g_manager;
}

void afUnicodeFontManager::destroy() {
    delete g_manager;
    g_manager = nullptr;
}

afUnicodeFontManager::afUnicodeFontManager() {
    initTimer();
    initFonts();
}

afUnicodeFontManager::~afUnicodeFontManager() {
    clear();
    m_defaultFont.reset();
}

void afUnicodeFontManager::clear() {
    m_fallbackOrder.clear();
    m_fallbackOrderBuilt = false;
    m_families.clear();
    m_fonts.clear();
    m_substitutes.clear();
    m_moreNames.clear();
    m_unresolved.clear();
    m_faces.clear();
}

void afUnicodeFontManager::initFonts() {
    clear();
    enumerateFaces();
    readSubstitutes();
}

void afUnicodeFontManager::enumerateFaces() {
    ScreenDC screen;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen.get(), &query, &afUnicodeFontManager::onFace, reinterpret_cast<LPARAM>(this), 0);
}

int CALLBACK afUnicodeFontManager::onFace(const LOGFONTW* logFont, const TEXTMETRICW* metrics, DWORD fontType,
                                          LPARAM self) {
    try {
        reinterpret_cast<afUnicodeFontManager*>(self)->recordFace(
            *logFont, *reinterpret_cast<const NEWTEXTMETRICEXW*>(metrics), fontType);
    } catch (...) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicodeFontManager::initFonts(): Failed to record a face.\n");
    }
    return 1;
}

void afUnicodeFontManager::recordFace(const LOGFONTW& logFont, const NEWTEXTMETRICEXW& metrics, DWORD fontType) {
    std::wstring name = faceNamePart(logFont.lfFaceName);
    if (name.empty() || name[0] == L'@')
        return; // vertical faces
    std::unique_ptr<afUnicodeFontInfo>& slot = m_faces[nameKey(name)];
    if (!slot) {
        slot.reset(new afUnicodeFontInfo());
        slot->name = name;
    }
    afUnicodeFontInfo& info = *slot;
    const NEWTEXTMETRICW& tm = metrics.ntmTm;
    info.fontType = static_cast<uint16_t>(fontType);
    info.charsets[tm.tmCharSet >> 5] |= 1u << (tm.tmCharSet & 31);
    int weightClass = std::max(1, std::min(9, static_cast<int>(tm.tmWeight / 100)));
    info.weightClasses = static_cast<uint16_t>(info.weightClasses | (1u << weightClass));
    info.weight = static_cast<uint16_t>(tm.tmWeight);
    if (tm.ntmFlags & 0x100000)
        info.symbol = true; // Type 1
    info.family = logFont.lfPitchAndFamily & 0xF0;
    info.pitch = logFont.lfPitchAndFamily & 0x0F;
    const DWORD* usb = metrics.ntmFontSig.fsUsb;
    info.hasCoverage = (usb[0] | usb[1] | usb[2] | usb[3]) != 0;
    if (info.hasCoverage)
        std::copy(usb, usb + 4, info.unicodeRanges);
}

void afUnicodeFontManager::readSubstitutes() {
    RegistryKey key = RegistryKey::fontSubstitutes();
    DWORD count = 0;
    if (!key.open() || !key.getValueCount(&count)) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicodeFontManager::initFonts(): Cannot get key for font substitutes.\n");
        return;
    }
    std::wstring valueName;
    std::wstring target;
    for (DWORD i = 0; i < count; ++i) {
        DWORD type = REG_NONE;
        if (!key.getValueName(i, &valueName) || valueName.empty() || valueName[0] == L'@')
            continue;
        if (!key.hasValue(valueName.c_str(), &type) || type != REG_SZ)
            continue;
        if (!key.readString(valueName.c_str(), &target))
            continue;
        std::wstring alias = faceNamePart(valueName);
        auto face = m_faces.find(nameKey(faceNamePart(target)));
        if (face == m_faces.end() || faceNamePart(target).empty()) {
            m_unresolved.push_back(alias);
            continue;
        }
        m_substitutes[nameKey(alias)] = face->second.get();
    }
}

bool afUnicodeFontManager::hasFont(const wchar_t* name) const {
    if (!name || !*name)
        return false;
    return findFaceInfo(name) != nullptr;
}

const afUnicodeFontInfo* afUnicodeFontManager::findFaceInfo(const std::wstring& name) const {
    uint32_t key = nameKey(name);
    auto face = m_faces.find(key);
    if (face != m_faces.end())
        return face->second.get();
    for (const NameTable* table : {&m_substitutes, &m_moreNames}) {
        auto found = table->find(key);
        if (found != table->end())
            return found->second;
    }
    return nullptr;
}

afUnicodeFontFamily* afUnicodeFontManager::findFamily(const std::vector<std::wstring>& names, uint16_t size) const {
    for (const auto& family : m_families) {
        if (family->size() == size && family->names() == names)
            return family.get();
    }
    return nullptr;
}

afUnicodeFontFamily* afUnicodeFontManager::getFontGroup(const std::vector<std::wstring>& names, uint16_t size) {
    FamilyStopwatch stopwatch;
    if (afUnicodeFontFamily* known = findFamily(names, size))
        return known;
    std::unique_ptr<afUnicodeFontFamily> family(new afUnicodeFontFamily(names, size));
    for (unsigned variant = 0; variant < afUnicodeFontFamily::GROUP_COUNT; ++variant) {
        std::unique_ptr<afUnicodeFontGroup> group(new afUnicodeFontGroup(static_cast<uint8_t>(variant), size));
        ScreenDC screen;
        for (auto name = names.rbegin(); name != names.rend(); ++name)
            addFontToGroup(screen.get(), group.get(), *name);
        family->setGroup(variant, std::move(group));
    }
    m_families.push_back(std::move(family));
    return m_families.back().get();
}

bool afUnicodeFontManager::addFontToGroup(HDC dc, afUnicodeFontGroup* group, const std::wstring& name) {
    const afUnicodeFontInfo* found = findFaceInfo(name);
    for (size_t i = 0; !found && i < sizeof(FALLBACK_FACES) / sizeof(FALLBACK_FACES[0]); ++i)
        found = findFaceInfo(FALLBACK_FACES[i]);
    if (!found)
        return false;
    afUnicodeFontInfo* info = const_cast<afUnicodeFontInfo*>(found);
    // The font is made from the face the slot records, so that a fallback or an alias
    // reads the coverage and ascent of the face that will actually draw.
    TemporaryFont font(makeFaceFont(info->name));
    if (!font.get()) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicodeFontManager::addFontToGroup(): Unable to create font `%s`\n",
                        name.c_str());
        return true;
    }
    uint8_t slot = group->addFace(info);
    if (slot == 0)
        return false;
    HGDIOBJ previous = SelectObject(dc, font.get());
    markCoverage(dc, group, slot, info);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    group->setAscent(slot, metrics.tmAscent);
    SelectObject(dc, previous);
    if (!info->hasCoverage)
        group->markRange(32, 255, slot);
    return true;
}

void afUnicodeFontManager::markCoverage(HDC dc, afUnicodeFontGroup* group, uint8_t slot, afUnicodeFontInfo* info) {
    std::vector<CmapRange> ranges;
    bool symbol = false;
    bool ok = readSelectedCmap(dc, &ranges, &symbol);
    if (symbol) {
        info->symbol = true;
        info->hasCoverage = false;
    }
    if (!ok) {
        zem::logMessage(1, UI_LOG_SOURCE,
                        L"afUnicodeFontManager::addFontToGroup(): Failed to get CMAP for font `%s`.\n",
                        info->name.c_str());
        info->hasCoverage = false;
        return;
    }
    for (const CmapRange& range : ranges)
        group->markRange(range.first, range.last, slot);
}

uint8_t afUnicodeFontManager::fallbackSlot(afUnicodeFontGroup* group, uint32_t codePoint) {
    // Control characters and characters of no installed face keep the page default.
    afUnicodeFontInfo* info = codePoint < 32 || group->faceCount() == 0 ? nullptr : faceCovering(codePoint);
    if (info) {
        ScreenDC screen;
        TemporaryFont font(makeFaceFont(info->name));
        group->endListedFaces();
        uint8_t slot = font.get() ? group->addFace(info) : 0;
        if (slot != 0) {
            HGDIOBJ previous = SelectObject(screen.get(), font.get());
            TEXTMETRICW metrics{};
            GetTextMetricsW(screen.get(), &metrics);
            SelectObject(screen.get(), previous);
            group->setAscent(slot, metrics.tmAscent);
            group->markOpen(info->fallbackCoverage, slot);
            return slot;
        }
    }
    group->markRange(codePoint, codePoint, 1);
    return 1;
}

afUnicodeFontInfo* afUnicodeFontManager::faceCovering(uint32_t codePoint) {
    if (!m_fallbackOrderBuilt) {
        m_fallbackOrderBuilt = true;
        for (auto& face : m_faces) {
            if ((face.second->fontType & TRUETYPE_FONTTYPE) && !face.second->symbol)
                m_fallbackOrder.push_back(face.second.get());
        }
        std::sort(m_fallbackOrder.begin(), m_fallbackOrder.end(),
                  [](const afUnicodeFontInfo* a, const afUnicodeFontInfo* b) {
                      bool aFixed = (a->pitch & 3) == FIXED_PITCH;
                      bool bFixed = (b->pitch & 3) == FIXED_PITCH;
                      return aFixed != bFixed ? aFixed : a->name < b->name;
                  });
    }
    ScreenDC screen;
    for (afUnicodeFontInfo* info : m_fallbackOrder) {
        if (!info->fallbackCoverageRead)
            readFallbackCoverage(screen.get(), info);
        const std::vector<CmapRange>& ranges = info->fallbackCoverage;
        auto after = std::upper_bound(ranges.begin(), ranges.end(), codePoint,
                                      [](uint32_t code, const CmapRange& range) { return code < range.first; });
        if (after != ranges.begin() && codePoint <= (after - 1)->last)
            return info;
    }
    return nullptr;
}

void afUnicodeFontManager::readFallbackCoverage(HDC dc, afUnicodeFontInfo* info) {
    info->fallbackCoverageRead = true;
    TemporaryFont font(makeFaceFont(info->name));
    if (!font.get())
        return;
    HGDIOBJ previous = SelectObject(dc, font.get());
    std::vector<CmapRange> ranges;
    bool symbol = false;
    bool ok = readSelectedCmap(dc, &ranges, &symbol);
    SelectObject(dc, previous);
    if (!ok || symbol)
        return;
    std::sort(ranges.begin(), ranges.end(), [](const CmapRange& a, const CmapRange& b) { return a.first < b.first; });
    info->fallbackCoverage.swap(ranges);
}

afUnicodeFont* afUnicodeFontManager::defaultFont() {
    if (!m_defaultFont) {
        ScreenDC screen;
        m_defaultFont.reset(
            new afUnicodeFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), false, screen.get()));
    }
    return m_defaultFont.get();
}

afUnicodeFont* afUnicodeFontManager::fontForSlot(afUnicodeFontGroup* group, uint8_t slot, HDC dc) {
    slot = group->resolveSlot(slot);
    if (afUnicodeFont* known = group->font(slot))
        return known;
    afUnicodeFont* font = createFont(group, slot, dc);
    if (slot < group->faceCount() + 1)
        group->setFont(slot, font);
    return font;
}

afUnicodeFont* afUnicodeFontManager::createFont(afUnicodeFontGroup* group, uint8_t slot, HDC dc) {
    const afUnicodeFontInfo* info = group->face(slot);
    if (!info) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicodeFontManager::createFont(): Unable to locate info for %d.\n",
                        static_cast<int>(slot));
        return defaultFont();
    }
    uint64_t key = fontKey(zem::crc32String(info->name.c_str()), group->size(), slot, group->variant());
    auto cached = m_fonts.find(key);
    if (cached != m_fonts.end())
        return cached->second ? cached->second.get() : defaultFont();
    LOGFONTW logFont{};
    {
        ScreenDC screen;
        logFont.lfHeight = -MulDiv(group->size(), GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    }
    uint8_t variant = group->variant();
    logFont.lfWeight = (variant & 1) ? FW_BOLD : 0;
    logFont.lfItalic = (variant & 2) ? TRUE : FALSE;
    logFont.lfUnderline = (variant & 4) ? TRUE : FALSE;
    copyFaceName(logFont.lfFaceName, info->name);
    HFONT handle = CreateFontIndirectW(&logFont);
    if (!handle) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicodeFontManager::createFont(): Unable to create font `%s`.\n",
                        info->name.c_str());
        return defaultFont();
    }
    std::unique_ptr<afUnicodeFont>& entry = m_fonts[key];
    entry.reset(new afUnicodeFont(handle, true, dc));
    return entry.get();
}

} // namespace corvel
