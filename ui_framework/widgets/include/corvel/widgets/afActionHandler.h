// The objects whose methods actions call. A handler class is a role ("MainWindow",
// "Editor") that several objects may play in turn; the one playing it now is the live
// handler, and every action of the class runs on it. No live handler: the actions are off.
#pragma once
#include <functional>
#include <string>

namespace corvel {

class afActionEvent;
class afActionHandler;
class afActionRegistry;

struct afActionHandlerClass {
    std::wstring name;
    afActionHandler* liveHandler = nullptr;
};

// A member function of a handler's class, called on whichever object is live.
class afActionMethod {
public:
    typedef std::function<bool(afActionHandler& handler, afActionEvent* event)> Call;

    afActionMethod() = default;
    // T derives from afActionHandler; the cast finds T's part of the handler object.
    template <class T>
    afActionMethod(bool (T::*method)(afActionEvent*))
        : m_call([method](afActionHandler& handler, afActionEvent* event) {
              return (static_cast<T&>(handler).*method)(event);
          }) {}
    explicit afActionMethod(Call call) : m_call(std::move(call)) {}

    bool isSet() const { return static_cast<bool>(m_call); }
    bool operator()(afActionHandler& handler, afActionEvent* event) const { return m_call(handler, event); }

private:
    Call m_call;
};

class afActionHandler {
public:
    // The registry defaults to the process's one.
    explicit afActionHandler(const wchar_t* className, afActionRegistry* registry = nullptr);
    // A handler that goes while live takes its class's actions off with it.
    virtual ~afActionHandler();
    afActionHandler(const afActionHandler&) = delete;
    afActionHandler& operator=(const afActionHandler&) = delete;

    void activate();
    // Leaves another object's activation in place.
    void deactivate();
    bool isActive() const { return m_class && m_class->liveHandler == this; }

    afActionRegistry* getRegistry() const { return m_registry; }
    afActionHandlerClass* getHandlerClass() const { return m_class; }

private:
    afActionRegistry* m_registry;
    afActionHandlerClass* m_class; // owned by the registry; null for an empty name
};

} // namespace corvel
