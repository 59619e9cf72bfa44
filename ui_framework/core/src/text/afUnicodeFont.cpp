#include "corvel/ui/afUnicodeFont.h"

namespace corvel {

afUnicodeFont::afUnicodeFont(HFONT handle, bool owned, HDC dc) : m_handle(handle), m_owned(owned) {
    HGDIOBJ previous = SelectObject(dc, handle);
    GetTextMetricsW(dc, &m_metrics);
    SelectObject(dc, previous);
}

afUnicodeFont::~afUnicodeFont() {
    ScriptFreeCache(&m_cache);
    if (m_owned && m_handle)
        DeleteObject(m_handle);
}

} // namespace corvel
