// A registry with one handler class whose live handler records every call, and helpers
// that make actions of that class and contexts of view names.
#pragma once
#include "corvel/document/ScopePath.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace corveltest {

class RecordingHandler : public corvel::afActionHandler {
public:
    RecordingHandler(const wchar_t* className, corvel::afActionRegistry* registry)
        : corvel::afActionHandler(className, registry) {}

    bool run(corvel::afActionEvent* event) {
        ran.push_back(event->action);
        types.push_back(event->type);
        triggers.push_back(event->trigger);
        return answer;
    }

    std::vector<corvel::afAction*> ran;
    std::vector<uint32_t> types;
    std::vector<corvel::afActionTrigger*> triggers;
    bool answer = true;
};

class ActionBench {
public:
    ActionBench() : handler(L"TestHandler", &registry) { handler.activate(); }

    corvel::afAction* add(const wchar_t* name, const wchar_t* scope, const wchar_t* title = L"Title") {
        return registry.addAction(
            new corvel::afActionSystem(title, handler.getHandlerClass(), name, scope, &RecordingHandler::run));
    }

    corvel::afActionRegistry registry;
    RecordingHandler handler;
};

// A path of the given atoms, innermost first.
inline std::unique_ptr<corvel::ScopePath> pathOf(std::initializer_list<const wchar_t*> atoms) {
    std::unique_ptr<corvel::ScopePath> path(new corvel::ScopePath);
    for (const wchar_t* atom : atoms)
        path->push(atom, static_cast<uint32_t>(wcslen(atom)), true);
    return path;
}

} // namespace corveltest
