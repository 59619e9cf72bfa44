// Binds key codes and typed characters to actions and decides, for each keyboard message
// of the message loop, whether a view or an action consumes it: the focused view and its
// parents first, then the best-scoring binding of the key for the view's context.
#pragma once
#include "corvel/ui/afWidgetKit.h"
#include "corvel/widgets/afActionInvoker.h"
#include "corvel/widgets/afActionMatch.h"

#include <cstdint>
#include <map>
#include <windows.h>

namespace corvel {

class afActionTriggerKey;
class afView;
class ScopePath;

class afActionInvokerKey : public afActionInvoker, public afIKeyInvoker {
public:
    explicit afActionInvokerKey(afActionRegistry* registry);
    // Deletes every trigger of both tables.
    ~afActionInvokerKey() override;

    // Key code 0 binds nothing. Returns the action, so calls chain.
    afAction* bindKey(afAction* action, int keyCode, bool priority);
    // Key text as afKey::parse reads it; unknown or empty text binds nothing.
    afAction* bindShortcut(afAction* action, const wchar_t* keyText, bool priority);
    // Character 0 binds nothing.
    afAction* bindChar(afAction* action, wchar_t character);
    void removeTrigger(afAction* action, afActionTrigger* trigger) override;

    // Decides for one message of the loop whether a view or an action consumes it. The
    // target defaults to the foreground window's view, then the main window; with none at
    // all nothing is consumed.
    bool preTranslateMessage(afView* target, const MSG& message) override;

    // Runs the best binding of the key for the context; true when any binding matched,
    // even when nothing ran. widget owns the chooser when several bindings tie.
    bool invokeKey(ScopePath& context, afView* widget, int keyCode);
    // The best-scoring character binding runs (the last bound among equals); returns its
    // handler's result, false when none matched or nothing is live.
    bool invokeChar(ScopePath& context, wchar_t character);

    // Set when a key message was consumed; swallows the characters that follow.
    bool isKeyHandled() const { return m_keyHandled != 0; }
    void setKeyHandled(bool handled) { m_keyHandled = handled ? 1 : 0; }

    size_t keyBindingCount() const { return m_keys.size(); }
    size_t charBindingCount() const { return m_chars.size(); }

private:
    typedef std::multimap<int, afActionTriggerKey*> Table; // equal keys in binding order

    static bool eraseFrom(Table& table, int key, afActionTriggerKey* trigger);

    Table m_keys;  // owned triggers by key code
    Table m_chars; // owned triggers by character
    void runChosen(afActionMatchList& candidates, ScopePath& context, afView* widget);
    bool onKeyDown(afView* widget, const MSG& message);
    bool onKeyUp(afView* widget, const MSG& message);

    afActionMatchList m_spareAll;      // capacity kept between presses
    afActionMatchList m_sparePriority; // capacity kept between presses
    uint8_t m_keyHandled = 0;
    // An Alt chord that an action consumed (the window procedure never saw its keys) or a
    // mouse press while Alt was held (an Alt+drag): the Alt release that ends it must not
    // reach the window and open the menu bar.
    bool m_altChordConsumed = false;
};

} // namespace corvel
