// Visual-style drawing without linking the theme library: the library is loaded at run
// time, usability is decided once per process, and every call quietly gives 0 when
// theming is off, so callers fall back to classic drawing.
#pragma once
#include <windows.h>
#include <uxtheme.h>

namespace corvel {

class afCanvas;

class afWindowsUX {
public:
    // The instance when theming is usable, else null; decided by the first call.
    static afWindowsUX* getInstance();
    // Frees the theme library and forgets the instance. Joins the configuration's exit
    // list when theming is decided usable; framework shutdown may call it too (once is
    // enough, a second call does nothing).
    static void release();

    static HTHEME openThemeData(HWND window, LPCWSTR classList);
    static HRESULT closeThemeData(HTHEME theme);
    static HRESULT drawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
    static HRESULT drawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                                 const RECT* rect);
    static HRESULT drawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
    static HRESULT getThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                                 RECT* content);
    static HRESULT getThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind,
                                    SIZE* size);
    static HRESULT getThemePartSize(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, SIZE* size);
    static HRESULT getThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags,
                                      const RECT* bounds, RECT* extent);
    // Measures on the canvas's device context.
    static HRESULT getThemeTextExtent(HTHEME theme, afCanvas& canvas, int part, int state, LPCWSTR text, int length,
                                      DWORD flags, const RECT* bounds, RECT* extent);
    static HRESULT getThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect,
                                   MARGINS* margins);
    static HRESULT getThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, MARGINS* margins);
    static HRESULT getThemeInt(HTHEME theme, int part, int state, int property, int* value);
    static BOOL isThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
    static HRESULT setExplorerTheme(HWND window);

private:
    explicit afWindowsUX(HMODULE module) : m_module(module) {}
    static afWindowsUX* decide();
    // The named entry point of the instance's module, or null without theming.
    static FARPROC entry(const char* name);

    HMODULE m_module; // the theme library, freed by release()
};

} // namespace corvel
