// Cost of a key press in the action system: 3,000 actions bound over 400 key codes with
// mixed scopes, dispatched with afActionInvokerKey::invokeKey against a 12-atom context
// (empty handler), against scoring the same key's selectors with the bare matcher in the
// same run. Prints microseconds per key for both and the ratio.
#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionSystem.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

using namespace corvel;

namespace {

const int ACTIONS = 3000;
const int KEY_CODES = 400;
const int ROUNDS = 50; // every key code pressed this many times per method

const wchar_t* const SCOPES[] = {
    L"",
    L"ui.editor",
    L"ui.window.main",
    L"ui.editor source.c",
    L"source.python string",
    L"ui.tree",
    L"ui.window.main ui.editor",
    L"ui.editor - source.c comment",
    L"text.html, source.js",
    L"ui.lister",
};

// The context of a caret inside a C string in the main window's editor, innermost first.
const wchar_t* const CONTEXT_ATOMS[] = {
    L"punctuation.definition.string.begin.c",
    L"string.quoted.double.c",
    L"meta.function-call.c",
    L"meta.block.c",
    L"meta.function.c",
    L"source.c",
    L"ui.selection.normal",
    L"ui.editor",
    L"ui.container.tabs",
    L"ui.dock.tabs",
    L"ui.container",
    L"ui.window.main",
};

class EmptyHandler : public afActionHandler {
public:
    explicit EmptyHandler(afActionRegistry* registry) : afActionHandler(L"BenchHandler", registry) {}
    bool run(afActionEvent*) {
        ++calls;
        return true;
    }
    long calls = 0;
};

int keyCodeOf(int index) {
    static const int modifiers[] = {afKey::CTRL, afKey::CTRL | afKey::SHIFT, afKey::ALT, afKey::SHIFT};
    return modifiers[index % 4] | (0x30 + (index / 4) % 100);
}

// Stands in for the chooser window the shell installs: takes the first candidate.
int pickFirst(afActionMatchList&, afView*) {
    return 0;
}

double now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main() {
    setActionChooser(&pickFirst);
    afActionRegistry registry;
    EmptyHandler handler(&registry);
    handler.activate();
    afActionInvokerKey keys(&registry);
    registry.addInvoker(&keys, 0x2EF83F9Cu);
    // Per key code, the selectors of its bindings, for the baseline.
    std::vector<std::vector<const ScopeSelector*>> selectorsByKey(KEY_CODES);
    for (int i = 0; i < ACTIONS; ++i) {
        std::wstring name = L"bench.action." + std::to_wstring(i);
        afAction* action = registry.addAction(new afActionSystem(L"Bench Action", handler.getHandlerClass(),
                                                                 name.c_str(), SCOPES[i % 10], &EmptyHandler::run));
        // Each key gets 7 or 8 bindings, priority on a few.
        int key = (i * 7919) % KEY_CODES;
        keys.bindKey(action, keyCodeOf(key), i % 5 == 0);
        selectorsByKey[key].push_back(&action->getSelector());
    }
    ScopePath context;
    for (const wchar_t* atom : CONTEXT_ATOMS)
        context.push(atom);

    long consumed = 0;
    uint64_t checksum = 0;
    double dispatchTime = 0;
    double matcherTime = 0;
    // Alternating the two in every round keeps machine load from favouring either.
    for (int round = 0; round < ROUNDS; ++round) {
        double start = now();
        for (int key = 0; key < KEY_CODES; ++key)
            consumed += keys.invokeKey(context, nullptr, keyCodeOf(key)) ? 1 : 0;
        dispatchTime += now() - start;

        start = now();
        for (int key = 0; key < KEY_CODES; ++key) {
            ScopeSelectorMatcher matcher(context);
            uint64_t best = 0;
            for (const ScopeSelector* selector : selectorsByKey[key]) {
                ScopeMatch result;
                if (matcher.match(*selector, result, false) && result.score > best)
                    best = result.score;
            }
            checksum += best;
        }
        matcherTime += now() - start;
    }
    double presses = static_cast<double>(ROUNDS) * KEY_CODES;
    double dispatchMicros = dispatchTime * 1e6 / presses;
    double matcherMicros = matcherTime * 1e6 / presses;
    std::printf("key_dispatch: %d actions over %d key codes, %d-atom context, %.0f presses each\n", ACTIONS, KEY_CODES,
                static_cast<int>(sizeof(CONTEXT_ATOMS) / sizeof(CONTEXT_ATOMS[0])), presses);
    std::printf("  invokeKey:    %8.3f us per key (%ld consumed, %ld handler calls)\n", dispatchMicros, consumed,
                handler.calls);
    std::printf("  bare matcher: %8.3f us per key (checksum %llu)\n", matcherMicros,
                static_cast<unsigned long long>(checksum));
    std::printf("  ratio invokeKey / matcher: %.2f\n", dispatchMicros / matcherMicros);
    registry.removeInvoker(&keys);
    return 0;
}
