// A created font as the text stack uses it: the handle, Uniscribe's per-font cache and
// the font's metrics. The font manager owns every record and keeps it until it is
// destroyed, so layouts may hold plain pointers.
#pragma once
#include <windows.h>
#include <usp10.h>

namespace corvel {

class afUnicodeFont {
public:
    // Reads the metrics with the font selected into dc; owned handles are deleted with
    // the record.
    afUnicodeFont(HFONT handle, bool owned, HDC dc);
    ~afUnicodeFont();
    afUnicodeFont(const afUnicodeFont&) = delete;
    afUnicodeFont& operator=(const afUnicodeFont&) = delete;

    HFONT handle() const { return m_handle; }
    SCRIPT_CACHE* scriptCache() { return &m_cache; }
    const TEXTMETRICW& metrics() const { return m_metrics; }

private:
    HFONT m_handle;
    bool m_owned;
    SCRIPT_CACHE m_cache = nullptr;
    TEXTMETRICW m_metrics{};
};

} // namespace corvel
