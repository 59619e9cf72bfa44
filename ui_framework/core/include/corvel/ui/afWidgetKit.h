// What the framework core needs of the widgets library, as small interfaces: the core
// never includes the widgets library. The widgets library implements them and hands its
// kit to the application object (afApp::setWidgetKit) before afApp::initialize; without
// a kit the services stay null and the core works without them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <windows.h>

struct IDropTarget;

namespace corvel {

class afCanvas;
class afFont;
class afView;
class afViewPlatform;

// The action system's key invoker: sees key and character messages before translation.
class afIKeyInvoker {
public:
    virtual ~afIKeyInvoker() = default;
    // True when the action system consumed the message. target is the framework view of
    // the message's window, or null.
    virtual bool preTranslateMessage(afView* target, const MSG& message) = 0;
};

// The action registry, as far as start-up and shutdown need it.
class afIActionRegistry {
public:
    static constexpr uint32_t EVENT_KEY = 0x2ef83f9cu;
    static constexpr uint32_t EVENT_CHAR = 0x937ab034u;
    virtual ~afIActionRegistry() = default;
    virtual void addInvoker(afIKeyInvoker* invoker, uint32_t eventType) = 0;
    virtual void removeInvoker(afIKeyInvoker* invoker) = 0;
};

// The application's clipboard object; created empty at start-up.
class afIClipboard {
public:
    virtual ~afIClipboard() = default;
};

// A platform view's drop target: the COM object registered with RegisterDragDrop.
class afIDropTarget {
public:
    virtual ~afIDropTarget() = default;
    virtual IDropTarget* getComTarget() = 0;
};

// The model of a menu. A native menu's MENUINFO.dwMenuData holds the widgets library's
// menu object itself, which the core does not know: the library sets fromMenuData, which
// turns that data into the model, before it makes its first menu.
class afIMenuModel {
public:
    virtual ~afIMenuModel() = default;
    // WM_INITMENUPOPUP: bring the items up to date.
    virtual void refresh(HMENU menu) = 0;

    static afIMenuModel* (*fromMenuData)(ULONG_PTR data);
};

// A menu item's node, found in MENUITEMINFOW.dwItemData as an afIMenuItemNode pointer.
class afIMenuItemNode {
public:
    static constexpr int KIND_SUBMENU = 2;
    virtual ~afIMenuItemNode() = default;
    virtual int getKind() const = 0;
    virtual void runCommand() = 0;
    // Owner-drawn items.
    virtual void measureItem(afCanvas& canvas, MEASUREITEMSTRUCT& item) = 0;
    virtual void drawItem(afCanvas& canvas, const DRAWITEMSTRUCT& item) = 0;
};

// A push button that can be a window's default button: Enter presses it.
class afIButton {
public:
    virtual ~afIButton() = default;
    virtual void press() = 0;
};

// A text label made by the kit (the caption and help text of field rows).
class afILabel {
public:
    virtual ~afILabel() = default;
    virtual afView* getView() = 0;
    virtual void setText(const std::wstring& text) = 0;
    virtual void setVisualStyle(int style) = 0;
    virtual void setLabelFont(const afFont& font) = 0;
    // The two display attributes field rows give help labels (3 and 6).
    virtual void setDisplayAttributes(int first, int second) = 0;
};

// The factory the widgets library hands to afApp.
class afIWidgetKit {
public:
    virtual ~afIWidgetKit() = default;
    virtual std::unique_ptr<afIClipboard> createClipboard() = 0;
    virtual std::unique_ptr<afIActionRegistry> createActionRegistry() = 0;
    virtual std::unique_ptr<afIKeyInvoker> createKeyInvoker(afIActionRegistry& registry) = 0;
    // A label owned by owner, not yet in any parent.
    virtual afILabel* createLabel(afView* owner) = 0;
};

} // namespace corvel
