// Starts a drag of files as another program would, for the user-flow scripts:
//
//   drag_files PATH...
//
// shows a small window titled "Corvel flow drag source" at the screen's top left; a left
// button pressed on it starts an OLE drag of the paths (copy, move and link offered) that
// lasts while the button is held, so that xdotool can carry it to a target and let go.
// Prints "effect N" with the drop effect the target chose and ends: 0 when something was
// dropped, 1 when the drag was cancelled or refused, 2 for bad arguments.
#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> g_paths;
DWORD g_effect = DROPEFFECT_NONE;
bool g_dropped = false;

// Every call the system makes here stays inside: nothing unwinds into OLE.
class FileData : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; } // lives on main's stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK || !medium)
            return DV_E_FORMATETC;
        size_t units = 1;
        for (const std::wstring& path : g_paths)
            units += path.size() + 1;
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
        if (!block)
            return E_OUTOFMEMORY;
        auto* files = static_cast<DROPFILES*>(GlobalLock(block));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        auto* text = reinterpret_cast<wchar_t*>(files + 1);
        for (const std::wstring& path : g_paths) {
            std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
            text += path.size() + 1;
        }
        *text = 0;
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG m_refs = 1;
};

class Source : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ULONG m_refs = 1;
};

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
        FileData data;
        Source source;
        HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &g_effect);
        g_dropped = result == DRAGDROP_S_DROP && g_effect != DROPEFFECT_NONE;
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        wchar_t full[MAX_PATH] = {};
        if (!GetFullPathNameW(argv[i], MAX_PATH, full, nullptr))
            return 2;
        g_paths.push_back(full);
    }
    if (g_paths.empty())
        return 2;
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    windowClass.lpszClassName = L"CorvelFlowDragSource";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Corvel flow drag source", WS_POPUP | WS_VISIBLE, 0,
                        0, 120, 120, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    OleUninitialize();
    std::printf("effect %lu\n", g_effect);
    std::fflush(stdout);
    return g_dropped ? 0 : 1;
}
