#include "MadeFont.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace uitest {

namespace {

class Bytes {
public:
    void u8(uint32_t v) { m_data.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v >> 8);
        u8(v);
    }
    void u32(uint32_t v) {
        u16(v >> 16);
        u16(v);
    }
    void zeros(size_t n) { m_data.insert(m_data.end(), n, 0); }
    void append(const std::vector<uint8_t>& more) { m_data.insert(m_data.end(), more.begin(), more.end()); }
    void pad4() {
        while (m_data.size() % 4)
            u8(0);
    }
    size_t size() const { return m_data.size(); }
    void put16(size_t at, uint32_t v) {
        m_data[at] = static_cast<uint8_t>(v >> 8);
        m_data[at + 1] = static_cast<uint8_t>(v);
    }
    std::vector<uint8_t>& data() { return m_data; }

private:
    std::vector<uint8_t> m_data;
};

constexpr uint16_t BOX_GLYPH = 1;
constexpr uint16_t BLANK_GLYPH = 2;
constexpr uint16_t GLYPH_COUNT = 3;

uint16_t glyphFor(uint32_t code) { return code == 0x20 ? BLANK_GLYPH : BOX_GLYPH; }

std::map<uint32_t, uint16_t> codeMap(const std::vector<CodeRange>& ranges) {
    std::map<uint32_t, uint16_t> codes;
    for (const CodeRange& range : ranges) {
        for (uint32_t c = range.first; c <= range.last; ++c)
            codes[c] = glyphFor(c);
    }
    return codes;
}

// Format 4 with one segment per range, glyphs through the id array, plus the final segment.
std::vector<uint8_t> format4(const std::vector<CodeRange>& input) {
    std::vector<CodeRange> ranges;
    for (const CodeRange& r : input) {
        if (r.first < 0xFFFF)
            ranges.push_back(CodeRange{r.first, std::min<uint32_t>(r.last, 0xFFFE)});
    }
    std::sort(ranges.begin(), ranges.end(), [](const CodeRange& a, const CodeRange& b) { return a.first < b.first; });
    ranges.push_back(CodeRange{0xFFFF, 0xFFFF});
    uint32_t segments = static_cast<uint32_t>(ranges.size());
    size_t ids = 0;
    for (size_t i = 0; i + 1 < ranges.size(); ++i)
        ids += ranges[i].last - ranges[i].first + 1;
    Bytes out;
    uint32_t length = 16 + segments * 8 + static_cast<uint32_t>(ids) * 2;
    out.u16(4);
    out.u16(length);
    out.u16(0);
    out.u16(segments * 2);
    uint32_t power = 1, log2 = 0;
    while (power * 2 <= segments) {
        power *= 2;
        ++log2;
    }
    out.u16(power * 2);
    out.u16(log2);
    out.u16(segments * 2 - power * 2);
    for (const CodeRange& r : ranges)
        out.u16(r.last);
    out.u16(0);
    for (const CodeRange& r : ranges)
        out.u16(r.first);
    for (size_t i = 0; i < ranges.size(); ++i)
        out.u16(i + 1 == ranges.size() ? 1 : 0);
    size_t idStart = 0;
    for (size_t i = 0; i < ranges.size(); ++i) {
        if (i + 1 == ranges.size()) {
            out.u16(0);
            continue;
        }
        // From this word to the segment's first id.
        size_t here = (segments - i) * 2;
        out.u16(static_cast<uint32_t>(here + idStart * 2));
        idStart += ranges[i].last - ranges[i].first + 1;
    }
    for (size_t i = 0; i + 1 < ranges.size(); ++i) {
        for (uint32_t c = ranges[i].first; c <= ranges[i].last; ++c)
            out.u16(glyphFor(c));
    }
    return out.data();
}

std::vector<uint8_t> format12(const std::vector<CodeRange>& ranges) {
    std::map<uint32_t, uint16_t> codes = codeMap(ranges);
    Bytes out;
    out.u16(12);
    out.u16(0);
    out.u32(16 + static_cast<uint32_t>(codes.size()) * 12);
    out.u32(0);
    out.u32(static_cast<uint32_t>(codes.size()));
    for (const auto& code : codes) {
        out.u32(code.first);
        out.u32(code.first);
        out.u32(code.second);
    }
    return out.data();
}

struct Table {
    uint32_t tag;
    std::vector<uint8_t> bytes;
};

uint32_t tagOf(const char* s) {
    return static_cast<uint32_t>(s[0]) << 24 | static_cast<uint32_t>(s[1]) << 16 | static_cast<uint32_t>(s[2]) << 8 |
           static_cast<uint32_t>(s[3]);
}

uint32_t checksum(const std::vector<uint8_t>& bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k)
            word = word << 8 | (i + k < bytes.size() ? bytes[i + k] : 0);
        sum += word;
    }
    return sum;
}

std::vector<uint8_t> nameTable(const std::wstring& family) {
    struct Record {
        uint16_t id;
        std::wstring text;
    };
    const std::vector<Record> records = {
        {1, family}, {2, L"Regular"}, {3, family + L" Regular"}, {4, family}, {6, L"MadeFont"}};
    Bytes out;
    out.u16(0);
    out.u16(static_cast<uint32_t>(records.size()));
    out.u16(static_cast<uint32_t>(6 + records.size() * 12));
    size_t offset = 0;
    for (const Record& r : records) {
        out.u16(3);
        out.u16(1);
        out.u16(0x409);
        out.u16(r.id);
        out.u16(static_cast<uint32_t>(r.text.size() * 2));
        out.u16(static_cast<uint32_t>(offset));
        offset += r.text.size() * 2;
    }
    for (const Record& r : records) {
        for (wchar_t c : r.text)
            out.u16(c);
    }
    return out.data();
}

} // namespace

std::vector<uint8_t> buildCmap(const MadeFontSpec& spec) {
    struct Sub {
        uint16_t encoding;
        std::vector<uint8_t> bytes;
    };
    std::vector<Sub> subs;
    if (!spec.symbol.empty())
        subs.push_back(Sub{0, format4(spec.symbol)});
    if (!spec.unicodeBmp.empty())
        subs.push_back(Sub{1, format4(spec.unicodeBmp)});
    if (!spec.unicodeFull.empty())
        subs.push_back(Sub{10, format12(spec.unicodeFull)});
    Bytes out;
    out.u16(0);
    out.u16(static_cast<uint32_t>(subs.size()));
    uint32_t offset = 4 + static_cast<uint32_t>(subs.size()) * 8;
    for (const Sub& sub : subs) {
        out.u16(spec.windowsPlatform ? 3 : 0);
        out.u16(spec.windowsPlatform ? sub.encoding : (sub.encoding == 10 ? 4 : 3));
        out.u32(offset);
        offset += static_cast<uint32_t>(sub.bytes.size());
    }
    for (const Sub& sub : subs)
        out.append(sub.bytes);
    return out.data();
}

std::vector<uint8_t> buildTrueType(const MadeFontSpec& spec) {
    const int em = spec.unitsPerEm;
    const int boxLeft = spec.advance / 12, boxRight = spec.advance - spec.advance / 12;
    const int boxTop = spec.ascender - em / 20, boxBottom = -spec.descender + em / 20;
    std::vector<Table> tables;

    // Glyphs: 0 .notdef (empty), 1 the box, 2 blank.
    Bytes glyf;
    glyf.u16(1);
    glyf.u16(static_cast<uint16_t>(boxLeft));
    glyf.u16(static_cast<uint16_t>(boxBottom));
    glyf.u16(static_cast<uint16_t>(boxRight));
    glyf.u16(static_cast<uint16_t>(boxTop));
    glyf.u16(3);
    glyf.u16(0);
    for (int i = 0; i < 4; ++i)
        glyf.u8(0x01);
    const int xs[4] = {boxLeft, boxLeft, boxRight, boxRight};
    const int ys[4] = {boxBottom, boxTop, boxTop, boxBottom};
    int px = 0, py = 0;
    for (int x : xs) {
        glyf.u16(static_cast<uint16_t>(x - px));
        px = x;
    }
    for (int y : ys) {
        glyf.u16(static_cast<uint16_t>(y - py));
        py = y;
    }
    glyf.pad4();
    const uint32_t boxEnd = static_cast<uint32_t>(glyf.size());

    Bytes loca;
    for (uint32_t at : {0u, 0u, boxEnd, boxEnd})
        loca.u32(at);

    Bytes head;
    head.u32(0x00010000);
    head.u32(0x00010000);
    head.u32(0); // checksum adjustment, filled below
    head.u32(0x5F0F3CF5);
    head.u16(0x000B);
    head.u16(static_cast<uint32_t>(em));
    head.zeros(16);
    head.u16(static_cast<uint16_t>(boxLeft));
    head.u16(static_cast<uint16_t>(boxBottom));
    head.u16(static_cast<uint16_t>(boxRight));
    head.u16(static_cast<uint16_t>(boxTop));
    head.u16(0);
    head.u16(8);
    head.u16(2);
    head.u16(1); // long loca
    head.u16(0);

    Bytes hhea;
    hhea.u32(0x00010000);
    hhea.u16(static_cast<uint32_t>(spec.ascender));
    hhea.u16(static_cast<uint16_t>(-spec.descender));
    hhea.u16(0);
    hhea.u16(static_cast<uint32_t>(spec.advance));
    hhea.u16(0);
    hhea.u16(0);
    hhea.u16(static_cast<uint16_t>(boxRight));
    hhea.u16(1);
    hhea.u16(0);
    hhea.u16(0);
    hhea.zeros(8);
    hhea.u16(0);
    hhea.u16(GLYPH_COUNT);

    Bytes maxp;
    maxp.u32(0x00010000);
    maxp.u16(GLYPH_COUNT);
    maxp.u16(4);
    maxp.u16(1);
    maxp.u16(0);
    maxp.u16(0);
    maxp.u16(2);
    maxp.zeros(16);

    Bytes hmtx;
    for (int g = 0; g < GLYPH_COUNT; ++g) {
        hmtx.u16(static_cast<uint32_t>(spec.advance));
        hmtx.u16(g == BOX_GLYPH ? static_cast<uint32_t>(boxLeft) : 0);
    }

    uint32_t firstChar = 0xFFFF, lastChar = 0;
    for (const auto* list : {&spec.unicodeBmp, &spec.unicodeFull, &spec.symbol}) {
        for (const CodeRange& r : *list) {
            firstChar = std::min(firstChar, r.first);
            lastChar = std::max(lastChar, std::min<uint32_t>(r.last, 0xFFFF));
        }
    }
    Bytes os2;
    os2.u16(4);
    os2.u16(static_cast<uint32_t>(spec.advance));
    os2.u16(400);
    os2.u16(5);
    os2.u16(0);
    for (int i = 0; i < 10; ++i)
        os2.u16(static_cast<uint32_t>(em / 10));
    os2.u16(0);
    const uint8_t panose[10] = {2, 0, 5, 9, 0, 0, 0, 0, 0, 0}; // monospaced
    for (uint8_t p : panose)
        os2.u8(p);
    for (uint32_t r : spec.unicodeRanges)
        os2.u32(r);
    os2.u8('M');
    os2.u8('A');
    os2.u8('D');
    os2.u8('E');
    os2.u16(0x40);
    os2.u16(firstChar == 0xFFFF ? 0x20 : firstChar);
    os2.u16(lastChar == 0 ? 0x20 : lastChar);
    os2.u16(static_cast<uint32_t>(spec.ascender));
    os2.u16(static_cast<uint16_t>(-spec.descender));
    os2.u16(0);
    os2.u16(static_cast<uint32_t>(spec.ascender));
    os2.u16(static_cast<uint32_t>(spec.descender));
    os2.u32(spec.symbol.empty() ? 1u : 0x80000000u);
    os2.u32(0);
    os2.u16(static_cast<uint32_t>(em / 2));
    os2.u16(static_cast<uint32_t>(em * 7 / 10));
    os2.u16(0);
    os2.u16(0x20);
    os2.u16(1);

    Bytes post;
    post.u32(0x00030000);
    post.u32(0);
    post.u16(static_cast<uint16_t>(-em / 10));
    post.u16(static_cast<uint32_t>(em / 20));
    post.u32(1); // fixed pitch
    post.zeros(16);

    tables.push_back(Table{tagOf("OS/2"), os2.data()});
    tables.push_back(Table{tagOf("cmap"), buildCmap(spec)});
    tables.push_back(Table{tagOf("glyf"), glyf.data()});
    tables.push_back(Table{tagOf("head"), head.data()});
    tables.push_back(Table{tagOf("hhea"), hhea.data()});
    tables.push_back(Table{tagOf("hmtx"), hmtx.data()});
    tables.push_back(Table{tagOf("loca"), loca.data()});
    tables.push_back(Table{tagOf("maxp"), maxp.data()});
    tables.push_back(Table{tagOf("name"), nameTable(spec.family)});
    tables.push_back(Table{tagOf("post"), post.data()});
    std::sort(tables.begin(), tables.end(), [](const Table& a, const Table& b) { return a.tag < b.tag; });

    Bytes file;
    uint32_t count = static_cast<uint32_t>(tables.size());
    uint32_t power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    file.u32(0x00010000);
    file.u16(count);
    file.u16(power * 16);
    file.u16(log2);
    file.u16(count * 16 - power * 16);
    uint32_t offset = 12 + count * 16;
    size_t headAt = 0;
    for (const Table& t : tables) {
        file.u32(t.tag);
        file.u32(checksum(t.bytes));
        file.u32(offset);
        file.u32(static_cast<uint32_t>(t.bytes.size()));
        if (t.tag == tagOf("head"))
            headAt = offset;
        offset += static_cast<uint32_t>((t.bytes.size() + 3) & ~size_t(3));
    }
    for (const Table& t : tables) {
        file.append(t.bytes);
        file.pad4();
    }
    uint32_t adjustment = 0xB1B0AFBAu - checksum(file.data());
    file.put16(headAt + 8, adjustment >> 16);
    file.put16(headAt + 10, adjustment & 0xFFFF);
    return file.data();
}

InstalledFont::InstalledFont(const MadeFontSpec& spec) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    m_path = std::wstring(folder) + L"corvel-" + std::to_wstring(GetCurrentProcessId()) + L"-" + spec.family + L".ttf";
    std::vector<uint8_t> bytes = buildTrueType(spec);
    FILE* file = _wfopen(m_path.c_str(), L"wb");
    if (!file)
        return;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    fclose(file);
    m_added = written && AddFontResourceExW(m_path.c_str(), FR_PRIVATE, nullptr) > 0;
}

InstalledFont::~InstalledFont() {
    if (m_added)
        RemoveFontResourceExW(m_path.c_str(), FR_PRIVATE, nullptr);
    DeleteFileW(m_path.c_str());
}

} // namespace uitest
