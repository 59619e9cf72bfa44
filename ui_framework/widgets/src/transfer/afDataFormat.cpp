#include "corvel/widgets/afDataFormat.h"

#include "WidgetsLog.h"
#include "zem/log/LogManager.h"

#include <windows.h>

namespace corvel {

uint16_t afDataFormat::setFormat(const wchar_t* name) {
    m_format = name ? static_cast<uint16_t>(RegisterClipboardFormatW(name)) : 0;
    if (m_format == 0)
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afDataFormat::setFormat(): Unable to register custom format `%s`\n",
                        name ? name : L"");
    return m_format;
}

} // namespace corvel
