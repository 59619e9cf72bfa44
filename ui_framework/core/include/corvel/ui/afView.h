// Every visible element is a view. Views live in two trees at once: the ownership tree
// (ObjectNode: an owner deletes what it owns) and the view hierarchy (parent and
// children: geometry, painting, input). A view is virtual (drawn inside its host window)
// or platform (owns a native window). Main thread only.
#pragma once
#include "corvel/ui/ObjectNode.h"
#include "corvel/ui/afDrawable.h"
#include "corvel/ui/afRect.h"
#include "corvel/ui/afViewMeasureSpec.h"
#include "zem/base/CallbackList.h"

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class afCanvas;
class afCanvasRegion;
class afEvent;
class afLayoutParams;
class ScopePath;

class afView : public ObjectNode, public afDrawableListener {
public:
    // Listener of mouse and key events; true when it handled the event.
    typedef zem::CallbackList<bool(afView*, afEvent*)> EventListeners;
    // Replaces onDraw when set.
    typedef bool (*PaintFunction)(void* object, afView* view, afCanvas* canvas, afCanvasRegion* region);

    enum : uint32_t {
        FLAG_LAYOUT_NEEDED = 1,
        FLAG_MEASURED = 2,
        FLAG_LAYOUT_FORCED = 4,
        FLAG_ATTACHED = 0x10,
    };

    // The owner adopts the view at once (null: nobody owns it yet).
    explicit afView(afView* owner);
    // Never throws: a view still in a parent is logged and taken out of it first.
    ~afView() override;

    virtual bool isVirtual() const { return true; }
    virtual bool isRoot() const { return false; }
    virtual const wchar_t* getTypeName() const;
    virtual bool isMnemonic(wchar_t character) const;
    virtual void addScopeEntries(ScopePath& path);
    virtual void addChild(afView* child, int index);
    virtual void removeChild(afView* child);
    virtual bool hasChild(const afView* view) const;
    virtual bool hasDescendant(const afView* view) const;
    virtual afView* findChild(const std::wstring& name) const;
    virtual afView* findDescendant(const std::wstring& name) const;
    virtual void attach();
    virtual void detach();
    virtual void setOwner(afView* owner);
    virtual void onChildAdded(afView* child, int index);
    virtual void onChildRemoved(afView* child);
    virtual void measure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec);
    virtual void layout();
    virtual void onHook(void* argument) { (void)argument; }
    virtual afRect getFrame() const = 0;
    virtual afRect getClientFrame() const = 0;
    virtual void setFrame(const afRect& frame) = 0;
    virtual void getHostRect(afRect& out) const;
    virtual void getLocalRect(afRect& out) const;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void scrollBy(int dx, int dy);
    virtual void scrollTo(int x, int y);
    virtual afView* getChildAt(int index) const;
    virtual afView* hitTest(int x, int y);
    virtual void invalidateRect(const afRect& rect);
    virtual void invalidate();
    virtual void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec);
    virtual void onLayout(bool changed, const afRect& rect);
    virtual void onSizeChanged(const afRect& newRect, const afRect& oldRect);
    virtual void onOwnerChanging(afView* owner);
    virtual void requestLayout(const char* reason);
    virtual void onScrollChanged(int x, int y, int oldX, int oldY);
    virtual std::unique_ptr<afCanvas> getCanvas();
    virtual void onAncestorVisibilityChanged(afView* view, bool visible);
    virtual bool onMouseMove(afEvent* event);
    virtual bool onMouseLeave(afEvent* event);
    virtual bool onMouseDown(afEvent* event);
    virtual bool onMouseUp(afEvent* event);
    virtual bool onMouseWheel(afEvent* event, int notches);
    virtual bool dispatchMouseMove(afEvent* event);
    virtual bool dispatchMouseLeave(afEvent* event);
    virtual bool dispatchMouseDown(afEvent* event);
    virtual bool dispatchMouseUp(afEvent* event);
    virtual bool dispatchMouseWheel(afEvent* event, int notches);
    virtual bool dispatchKeyDown(afEvent* event);
    virtual bool dispatchKeyUp(afEvent* event);
    virtual bool onKeyDown(afEvent* event);
    virtual bool onKeyUp(afEvent* event);
    virtual bool onMnemonic(wchar_t character);
    virtual void paint(afCanvas* canvas, afCanvasRegion* region);
    virtual bool onDraw(afCanvas* canvas, afCanvasRegion* region);
    virtual void requestFocus();
    virtual bool hasFocus() const { return false; }
    virtual bool setFocus(afView* view);

    // afDrawableListener: the background changed.
    void onDrawableChanged(afDrawable* drawable) override;

    // Names and paths.
    void setName(const std::wstring& name);
    const std::wstring& getName() const { return m_name; }
    const std::wstring& getContextName();
    // Per view from this one outward: its own entries, then its context name; then the
    // parent, or the owner when there is none; stops after a root. Rebuilt on every call.
    ScopePath& getScopePath();

    // Trees.
    afView* getParent() const { return m_parent; }
    afView* getOwner() const { return m_owner; }
    int getChildCount() const { return static_cast<int>(m_children.size()); }
    const std::vector<afView*>& getChildren() const { return m_children; }
    int indexOfChild(const afView* view) const;
    void appendChild(afView* child) { addChild(child, -1); }
    afView* findVisibleChildBefore(const afView* child) const;
    afView* findVisibleChildAfter(const afView* child) const;
    // Adds each view's frame origin minus its scroll position from descendant up to (not
    // including) this view. InvalidArgumentException "Parameter must be a descendant of
    // this view." when the walk reaches a root first.
    void mapDescendantRect(afRect& rect, const afView* descendant) const;
    POINT hostToLocal(POINT point) const;
    void notifyChildrenVisibility(afView* view, bool visible);
    void focusDescendant(afView* view);

    // Geometry and layout.
    void setFrameRect(int x, int y, int width, int height) { setFrame(afRect(x, y, x + width, y + height)); }
    void setPadding(int left, int top, int right, int bottom);
    void setPadding(int all) { setPadding(all, all, all, all); }
    void setPadding(const RECT& padding) { setPadding(padding.left, padding.top, padding.right, padding.bottom); }
    const afRect& getPadding() const { return m_padding; }
    void setMinimumSize(int width, int height);
    int getMinimumWidth() const { return m_minWidth; }
    int getMinimumHeight() const { return m_minHeight; }
    // Takes ownership; NullPointerException "layout_params are null" for null.
    void setLayoutParams(afLayoutParams* params);
    afLayoutParams* getLayoutParams() const { return m_layoutParams; }
    void requestLayoutWidth(int value, bool show);
    void requestLayoutHeight(int value, bool show);
    int getMeasuredWidth() const { return m_measuredWidth; }
    int getMeasuredHeight() const { return m_measuredHeight; }
    void setMeasuredDimension(int width, int height);
    int getScrollX() const { return m_scrollX; }
    int getScrollY() const { return m_scrollY; }
    bool testFlag(uint32_t flag) const { return (m_flags & flag) != 0; }
    void markLayoutNeeded() { m_flags |= FLAG_LAYOUT_NEEDED; }
    // Sets the layout-needed flag and asks for a pass.
    void needLayout(const char* reason) {
        markLayoutNeeded();
        requestLayout(reason);
    }
    const afRect& getLastFrame() const { return m_lastFrame; }

    // Background and painting.
    void setBackground(afDrawable* drawable);
    afDrawable* getBackground() const { return m_background; }
    void setPaintCallback(void* object, PaintFunction function) {
        m_paintObject = object;
        m_paintFunction = function;
    }

    // Owned attachment, deleted with the view.
    void setAttachment(zem::Object* object, bool owned);
    zem::Object* getAttachment() const { return m_attachment; }

    // Listener lists.
    EventListeners& mouseDownListeners() { return m_mouseDown; }
    EventListeners& mouseUpListeners() { return m_mouseUp; }
    EventListeners& mouseMoveListeners() { return m_mouseMove; }
    EventListeners& mouseLeaveListeners() { return m_mouseLeave; }
    EventListeners& keyDownListeners() { return m_keyDown; }
    EventListeners& keyUpListeners() { return m_keyUp; }

    // Multi-click state of button presses (kept here, counted by platform views).
    struct ClickState {
        unsigned count = 0;
        DWORD time = 0;
        unsigned button = 0;
        POINT point{0, 0};
    };
    ClickState& clickState() { return m_click; }

protected:
    void setFlagBits(uint32_t bits, bool on) { m_flags = on ? (m_flags | bits) : (m_flags & ~bits); }
    void storeOwner(afView* owner) { m_owner = owner; }
    // The first platform view from this one up through the parents, or null.
    afView* findPlatformHost();
    bool paintSelf(afCanvas* canvas, afCanvasRegion* region);

    std::vector<afView*> m_children;
    afView* m_parent = nullptr;
    int m_scrollX = 0;
    int m_scrollY = 0;

private:
    void rebuildContextName();
    bool dispatchKey(afEvent* event, bool down);

    std::wstring m_name;
    std::wstring m_contextName; // type name, ".", name; the type name alone while unnamed
    bool m_contextNameBuilt = false;
    std::unique_ptr<ScopePath> m_scopePath;
    afView* m_owner = nullptr; // the platform host (or the construction owner until hosted)
    zem::Object* m_attachment = nullptr;
    bool m_attachmentOwned = false;
    afLayoutParams* m_layoutParams; // owned, never null
    afRect m_padding;
    afRect m_lastFrame;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_measuredWidth = 0;
    int m_measuredHeight = 0;
    afViewMeasureSpec m_lastWidthSpec = 0x80000000u;
    afViewMeasureSpec m_lastHeightSpec = 0x80000000u;
    uint32_t m_flags = 0;
    afDrawable* m_background = nullptr; // owned
    EventListeners m_mouseDown, m_mouseUp, m_mouseMove, m_mouseLeave, m_keyDown, m_keyUp;
    ClickState m_click;
    void* m_paintObject = nullptr;
    PaintFunction m_paintFunction = nullptr;
};

} // namespace corvel
