#include "corvel/ui/afWindowsUX.h"

#include "corvel/config/ConfigManager.h"
#include "corvel/ui/afCanvas.h"
#include "zem/log/LogManager.h"

#include <shlwapi.h>

namespace corvel {

namespace {

constexpr uint32_t UI_LOG_SOURCE = 0x629B9E5Bu;

afWindowsUX* g_instance = nullptr;
bool g_undecided = true;

bool systemIsAtLeastXP() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return false;
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
}

bool applicationIsThemed(HMODULE theme) {
    typedef BOOL(WINAPI * Query)();
    auto isAppThemed = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(theme, "IsAppThemed")));
    auto isThemeActive = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(theme, "IsThemeActive")));
    return isAppThemed && isThemeActive && isAppThemed() && isThemeActive();
}

// Visual styles draw only through the version-6 common controls.
bool commonControlsDrawThemes() {
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    if (!controls)
        return false;
    bool usable = false;
    auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(controls, "DllGetVersion")));
    DLLVERSIONINFO version{};
    version.cbSize = sizeof(version);
    if (getVersion && SUCCEEDED(getVersion(&version))) {
        usable = version.dwMajorVersion >= 6;
        if (!usable)
            zem::logMessage(1, UI_LOG_SOURCE, L"afWindowsUX::getInstance(): ComCtl32.DLL is available.\n");
    }
    FreeLibrary(controls);
    return usable;
}

void releaseAtExit(void*, Config*) { afWindowsUX::release(); }

} // namespace

afWindowsUX* afWindowsUX::getInstance() {
    if (g_undecided) {
        g_undecided = false;
        g_instance = decide();
    }
    return g_instance;
}

afWindowsUX* afWindowsUX::decide() {
    if (!systemIsAtLeastXP())
        return nullptr;
    HMODULE theme = LoadLibraryW(L"UxTheme.dll");
    bool usable = false;
    if (theme && applicationIsThemed(theme)) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afWindowsUX::getInstance(): Theme is active, and application is themed.\n");
        usable = commonControlsDrawThemes();
    }
    if (!usable) {
        if (theme)
            FreeLibrary(theme);
        zem::logMessage(1, UI_LOG_SOURCE, L"afWindowsUX::getInstance(): Theming is DISABLED.\n");
        return nullptr;
    }
    zem::logMessage(1, UI_LOG_SOURCE, L"afWindowsUX::getInstance(): Theming is enabled.\n");
    // No configuration holder (none made yet, or already shut down): framework shutdown
    // releases the module instead.
    if (ConfigManager* configuration = ConfigManager::current())
        configuration->settingsStore.add(&releaseAtExit, nullptr);
    return new afWindowsUX(theme);
}

void afWindowsUX::release() {
    if (!g_instance)
        return;
    FreeLibrary(g_instance->m_module);
    delete g_instance;
    g_instance = nullptr;
}

FARPROC afWindowsUX::entry(const char* name) {
    afWindowsUX* instance = getInstance();
    if (!instance)
        return nullptr;
    return GetProcAddress(instance->m_module, name);
}

namespace {

// Calls the named theme entry point with the caller's arguments, or gives 0 without one.
template <class R, class... Args> R callTheme(FARPROC proc, Args... args) {
    if (!proc)
        return 0;
    typedef R(WINAPI * Function)(Args...);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc))(args...);
}

} // namespace

HTHEME afWindowsUX::openThemeData(HWND window, LPCWSTR classList) {
    return callTheme<HTHEME>(entry("OpenThemeData"), window, classList);
}

HRESULT afWindowsUX::closeThemeData(HTHEME theme) { return callTheme<HRESULT>(entry("CloseThemeData"), theme); }

HRESULT afWindowsUX::drawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                         const RECT* clip) {
    return callTheme<HRESULT>(entry("DrawThemeBackground"), theme, dc, part, state, rect, clip);
}

HRESULT afWindowsUX::drawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                                   const RECT* rect) {
    return callTheme<HRESULT>(entry("DrawThemeText"), theme, dc, part, state, text, length, flags, DWORD(0), rect);
}

HRESULT afWindowsUX::drawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
    return callTheme<HRESULT>(entry("DrawThemeParentBackground"), window, dc, rect);
}

HRESULT afWindowsUX::getThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                                   RECT* content) {
    return callTheme<HRESULT>(entry("GetThemeBackgroundContentRect"), theme, dc, part, state, bounds, content);
}

HRESULT afWindowsUX::getThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind,
                                      SIZE* size) {
    return callTheme<HRESULT>(entry("GetThemePartSize"), theme, dc, part, state, rect, kind, size);
}

HRESULT afWindowsUX::getThemePartSize(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, SIZE* size) {
    return getThemePartSize(theme, dc, part, state, nullptr, kind, size);
}

HRESULT afWindowsUX::getThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length,
                                        DWORD flags, const RECT* bounds, RECT* extent) {
    return callTheme<HRESULT>(entry("GetThemeTextExtent"), theme, dc, part, state, text, length, flags, bounds, extent);
}

HRESULT afWindowsUX::getThemeTextExtent(HTHEME theme, afCanvas& canvas, int part, int state, LPCWSTR text, int length,
                                        DWORD flags, const RECT* bounds, RECT* extent) {
    return getThemeTextExtent(theme, canvas.getDC(), part, state, text, length, flags, bounds, extent);
}

HRESULT afWindowsUX::getThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect,
                                     MARGINS* margins) {
    return callTheme<HRESULT>(entry("GetThemeMargins"), theme, dc, part, state, property, rect, margins);
}

HRESULT afWindowsUX::getThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, MARGINS* margins) {
    return getThemeMargins(theme, dc, part, state, property, nullptr, margins);
}

HRESULT afWindowsUX::getThemeInt(HTHEME theme, int part, int state, int property, int* value) {
    return callTheme<HRESULT>(entry("GetThemeInt"), theme, part, state, property, value);
}

BOOL afWindowsUX::isThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
    return callTheme<BOOL>(entry("IsThemeBackgroundPartiallyTransparent"), theme, part, state);
}

HRESULT afWindowsUX::setExplorerTheme(HWND window) {
    return callTheme<HRESULT>(entry("SetWindowTheme"), window, L"explorer", static_cast<LPCWSTR>(nullptr));
}

} // namespace corvel
