// A view that owns a native window: the bridge between window messages and the view
// tree. One window procedure (afWidget::s_WndProc) serves every framework window; the
// window property "AFWIDGETPTR" maps a handle back to its view. Main thread only.
#pragma once
#include "corvel/ui/afView.h"

#include <memory>
#include <string>
#include <uxtheme.h>

namespace corvel {

class afFont;
class afIDropTarget;

// One raw window message as views see it; result starts at 0.
struct afMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// The class-registration record.
struct afWindowClass {
    UINT style = 0;
    HCURSOR cursor = nullptr;
    int background = 0; // a system colour index plus 1; 0 for none
    const wchar_t* menuName = nullptr;
    const wchar_t* className = L"";
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    int extraBytes = 0;
};

template <class F> struct afCallback {
    void* object = nullptr;
    F function = nullptr;
    bool isBound() const { return object != nullptr || function != nullptr; }
    void set(void* o, F f) {
        object = o;
        function = f;
    }
};

class afViewPlatform : public afView {
public:
    // The creation record.
    struct Seed {
        DWORD style = 0;
        DWORD exStyle = 0;
        std::wstring className;
        std::wstring windowName;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HMENU menu = nullptr; // or the control id
    };

    enum : uint32_t { OPTION_NATIVE_TEXT = 1, OPTION_DOUBLE_BUFFERED = 2 };

    typedef bool (*EraseFunction)(void* object, afViewPlatform* view, afCanvas* canvas);
    typedef bool (*CharFunction)(void* object, afViewPlatform* view, afEvent* event);
    // May change the text; false refuses the change.
    typedef bool (*TextChangingFunction)(void* object, afViewPlatform* view, std::wstring& text);
    typedef bool (*SetCursorFunction)(void* object, afViewPlatform* view, int hitTest, int mouseMessage);
    typedef void (*ScrollFunction)(void* object, afViewPlatform* view, int request, int position);
    typedef void (*DestroyedFunction)(void* object, afViewPlatform* view);
    typedef zem::CallbackList<bool(afViewPlatform*, afMessage*)> MessageHooks;

    explicit afViewPlatform(afView* owner);
    ~afViewPlatform() override;

    // afView
    bool isVirtual() const override { return false; }
    const wchar_t* getTypeName() const override;
    void attach() override;
    void detach() override;
    void onChildAdded(afView* child, int index) override;
    void onChildRemoved(afView* child) override;
    void layout() override;
    afRect getFrame() const override;
    afRect getClientFrame() const override;
    void setFrame(const afRect& frame) override;
    void getHostRect(afRect& out) const override;
    void setVisible(bool visible) override { setVisible(visible, false); }
    bool isVisible() const override { return m_visible; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    afView* hitTest(int x, int y) override;
    void invalidateRect(const afRect& rect) override;
    void invalidate() override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void onLayout(bool changed, const afRect& rect) override;
    void onOwnerChanging(afView* owner) override;
    std::unique_ptr<afCanvas> getCanvas() override;
    void onAncestorVisibilityChanged(afView* view, bool visible) override;
    void paint(afCanvas* canvas, afCanvasRegion* region) override;
    bool hasFocus() const override;

    // Added operations.
    virtual bool registerClass(const afWindowClass& windowClass, bool& registered);
    virtual bool buildSeed(Seed& seed);
    virtual bool createWindow(Seed& seed);
    virtual afRect getNonClientMargins();
    virtual void setClientFrame(const afRect& rect);
    virtual void setParentBackground(bool on);
    virtual bool hasParentBackground() const { return m_parentBackground; }
    virtual void setVisible(bool visible, bool activate);
    virtual afView* getFocusedChild();
    virtual void onChildFocus(afView* view, bool gained);
    virtual void onFocusIn();
    virtual void onFocusOut();
    virtual void setText(const wchar_t* text);
    virtual const std::wstring& getText();
    virtual void setBorder(int kind);
    virtual int getBorder() const;
    virtual void centerRect(afRect& rect);
    virtual void clampToWorkArea(afRect& rect);
    virtual bool preTranslate(MSG* message);
    virtual void bindHandle(HWND hwnd, bool subclass);
    virtual void unbindHandle(HWND hwnd);
    virtual bool onRawMessage(afMessage* message);
    virtual void onCreated() {}
    virtual void onBeforeDestroy() {}
    virtual void onAttached() {}
    virtual void onCreate();
    virtual void onDestroy();
    virtual void onDestroyed();
    virtual void drawParentBackground(afCanvas* canvas);
    virtual void paintNative(afCanvas* canvas);
    virtual void defaultProc(afMessage* message);
    virtual bool onInitMenuPopup(afMessage* message);
    virtual bool onMenuCommand(afMessage* message);
    virtual bool onMeasureItem(afMessage* message);
    virtual bool onDrawItem(afMessage* message);
    virtual bool onMenuChar(afMessage* message);

    // Builds a default Seed, lets buildSeed fill it and creates the window.
    // IllegalStateException "Seed build failed." when buildSeed refuses.
    void create();
    // Makes an existing native window this view (subclassing it); false for null.
    bool adoptHandle(HWND hwnd);
    static afViewPlatform* viewFromHandle(HWND hwnd);
    // The milliseconds that tell a double click from two clicks (the system's tick count);
    // a test that sends its clicks faster or slower than the machine allows replaces it.
    static DWORD (*clickClock)();

    HWND getHandle() const { return m_hwnd; }
    HWND getOwnerWindow() const;
    void setContentView(afView* content);
    afView* getContentView() const { return m_content; }
    // InvalidArgumentException "Font cannot be NULL." / "Font handle cannot be NULL.".
    void setFont(const afFont* font);
    HFONT getFontHandle() const;
    void setIcon(HICON big, HICON small);
    void setThemeClass(const wchar_t* className);
    HTHEME getTheme() const { return m_theme; }
    void setStyleBits(DWORD bits, bool on, bool extended);
    void setDropTarget(afIDropTarget* target);
    void setScrollInfo(int position, int maximum, int page, bool horizontal, bool withPage);
    void setCapture(bool take);
    bool hasCapture() const;
    LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam, bool post = false);
    void suspendRedraw();
    void resumeRedraw();
    void setControlId(int id);
    int getControlId() const;
    DWORD getStyle() const;
    DWORD getExStyle() const;
    void setClientEdge(bool on);
    void update(bool invalidateFirst);
    void addMessageHook(MessageHooks::Function function, void* object) { m_hooks.add(function, object); }
    void removeMessageHook(MessageHooks::Function function, void* object) { m_hooks.remove(function, object); }
    void setOptions(uint32_t options) { m_options = options; }
    uint32_t getOptions() const { return m_options; }
    void setSwallowNextChar(bool on) { m_swallowChar = on; }
    int getWheelAccumulator() const { return m_wheel; }

    afCallback<EraseFunction> eraseCallback;
    afCallback<CharFunction> charCallback;
    afCallback<TextChangingFunction> textChangingCallback;
    afCallback<SetCursorFunction> setCursorCallback;
    afCallback<ScrollFunction> hScrollCallback;
    afCallback<ScrollFunction> vScrollCallback;
    afCallback<DestroyedFunction> destroyedCallback;

    // The deferred-positioning batch open during a layout pass of this window, or null.
    HDWP getDeferBatch() const { return m_deferBatch; }
    void setDeferBatch(HDWP batch) { m_deferBatch = batch; }

protected:
    friend class afWidget;
    void refreshGeometry(bool force) const;
    void markGeometryStale() { m_geometryStale = true; }
    void storeFrame(const afRect& frame) { m_frame = frame; }
    void storeVisible(bool visible) { m_visible = visible; }
    bool ancestorsVisible() const;
    void applyNativeVisibility(bool show, bool activate);
    bool handleMouseButton(afMessage* message, unsigned button, bool down);
    bool handleMouseMove(afMessage* message);
    bool handleWheel(afMessage* message);
    void handlePaint(afMessage* message);
    bool handleSetText(afMessage* message);
    bool handleScroll(afMessage* message);
    MSG toMsg(const afMessage* message) const;

    HWND m_hwnd = nullptr;
    WNDPROC m_prevProc = nullptr; // only for adopted (subclassed) windows
    afView* m_content = nullptr;
    const afFont* m_font = nullptr;
    std::wstring m_text;
    std::wstring m_themeClass;
    HTHEME m_theme = nullptr;
    mutable afRect m_frame;  // window rectangle; parent coordinates for child windows
    mutable afRect m_client; // screen coordinates for top-level windows
    mutable afRect m_margins;
    mutable bool m_geometryStale = true;
    bool m_parentBackground = false;
    bool m_visible = false;
    bool m_tracking = false;
    bool m_swallowChar = false;
    uint32_t m_options = 0;
    int m_wheel = 0; // wheel deltas not yet delivered
    afView* m_hover = nullptr;
    HDWP m_deferBatch = nullptr;
    int m_redrawSuspended = 0;
    std::unique_ptr<afIDropTarget> m_dropTarget;
    MessageHooks m_hooks;
    afViewPlatform* m_hookedParent = nullptr; // where this view's hook is registered

private:
    static bool parentHook(void* self, afViewPlatform* parent, afMessage* message);
};

} // namespace corvel
