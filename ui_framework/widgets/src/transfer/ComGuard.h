// The boundary of every COM method the system calls: nothing may unwind into OLE's
// frames, so a failure inside is logged and answered with E_UNEXPECTED.
#pragma once
#include "WidgetsLog.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <windows.h>

namespace corvel {

template <class Body> HRESULT comGuarded(const wchar_t* method, Body body) {
    try {
        return body();
    } catch (const zem::Exception& e) {
        zem::logMessage(3, WIDGETS_LOG_SOURCE, L"%s: %s\n", method, e.message().c_str());
    } catch (...) {
        zem::logMessage(3, WIDGETS_LOG_SOURCE, L"%s: unexpected exception\n", method);
    }
    return E_UNEXPECTED;
}

} // namespace corvel
