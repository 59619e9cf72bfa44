// What the bundles code asks of the user interface above it: icons, named actions, the
// status strip, the bundle editor and the active document. The application gives its
// own host to the managers; the defaults do nothing, agree to everything and hand out a
// placeholder icon, which is what tests and a program without windows need.
#pragma once
#include "corvel/config/MenuDefNode.h"

#include <cstdint>
#include <functional>
#include <string>

namespace corvel {

class DocumentController;

// A named command the bundles code offers ("bundles.reload", one per grammar ...).
struct BundleAction {
    std::wstring name;
    std::wstring title;
    std::wstring context; // scope selector text of the views it runs in
    std::wstring key;     // text form of the shortcut; empty for none
    std::function<void()> run;
    std::wstring tabWord = {}; // typed before the tab key to run it (snippets); empty for none
    std::wstring group = {};   // where choosers list it (a snippet's bundle title)
    uint32_t kind = 0;         // the entry type it serves; 0 for the bundle manager's own
    // One of the two actions of a pair of characters (kind: scope preferences), run by
    // typing its own character where context matches: the opening action inserts both
    // characters, the closing one steps over the pair; block pairs open lines between them.
    wchar_t opening = 0;
    wchar_t closing = 0;
    bool block = false;
    bool closes = false; // the closing action, bound to closing; else bound to opening
};

// Receives the main window's bundles menu as it is built.
class BundleMenuBuilder {
public:
    virtual ~BundleMenuBuilder() = default;
    virtual void clear() {}
    virtual void addItem(const std::wstring& title, const std::wstring& actionName, bool enabled) {
        (void)title, (void)actionName, (void)enabled;
    }
    virtual void addSeparator() {}
    virtual void addSubMenu(const std::wstring& title, const void* icon, const MenuDefNodePtr& menu) {
        (void)title, (void)icon, (void)menu;
    }
};

class BundleUiHost {
public:
    virtual ~BundleUiHost() = default;

    // The icon of a resource, registered under key; null when it cannot be loaded.
    virtual const void* loadIcon(int resourceId, uint32_t key) {
        (void)resourceId, (void)key;
        static const int placeholder = 0;
        return &placeholder;
    }
    virtual void addAction(const BundleAction& action) { (void)action; }
    virtual void removeAction(const std::wstring& name) { (void)name; }
    // A handle for popStatus; 0 when nothing was shown.
    virtual intptr_t pushStatus(const std::wstring& text) {
        (void)text;
        return 0;
    }
    virtual void popStatus(intptr_t handle) { (void)handle; }
    // The bundle editor closes its entry editors; false when the user cancelled.
    virtual bool closeAllEditors() { return true; }
    // Shows the bundle editor when hidden, hides it when shown.
    virtual void toggleEditor() {}
    virtual DocumentController* getActiveController() { return nullptr; }

    // loadIcon that raises "Cannot load image from a resource." when the icon cannot be loaded.
    const void* requireIcon(int resourceId, uint32_t key);

    // A host that does nothing, for managers given none.
    static BundleUiHost& none() {
        static BundleUiHost host;
        return host;
    }
};

} // namespace corvel
