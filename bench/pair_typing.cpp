// Typing with auto-closed pairs. Three pairs are installed ("()", "[]" and quotes) and
// 10,000 characters, half of them pair characters, are posted as WM_CHAR to an editor
// over a 10 MB document, plain text and then C highlighted by the shipped grammar, each
// pumped until the queue is empty, the parse job has reported what changed and the
// window has nothing left to paint. Baseline in the same run: the same characters
// inserted into a controller of a second document with the same text, insertString in
// one write bracket each. Prints microseconds per character of both, their ratio and
// the aim.
#include "BenchClock.h"
#include "BenchDocuments.h"
#include "BenchEditor.h"
#include "BenchGrammars.h"
#include "BenchTyping.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/PairedCharacterAction.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const size_t TEXT_UNITS = 5u * 1024u * 1024u; // 10 MB of UTF-16
const int CHARACTERS = 10000;
const int PLACES = 100; // 100 characters each, as a line is typed
const double AIM_US = 2000;

using bench::Clock;
using bench::placeCaret;
using bench::pumpUntilPainted;
using bench::pumpUntilSettled;
using bench::secondsSince;

// Letter, opening, letter, closing: every other character belongs to a pair.
wchar_t characterAt(int i) {
    static const wchar_t openings[] = {L'(', L'[', L'"'};
    static const wchar_t closings[] = {L')', L']', L'"'};
    const int pair = (i / 4) % 3;
    switch (i % 4) {
    case 1:
        return openings[pair];
    case 3:
        return closings[pair];
    default:
        return static_cast<wchar_t>(L'a' + i % 26);
    }
}

double typeInEditor(corvel::Editor& editor, corvel::DocumentController& controller, int32_t lines) {
    HWND hwnd = editor.getHandle();
    const corvel::ParserJob* job = controller.getDocument()->getParseJob();
    double seconds = 0;
    for (int place = 0; place < PLACES; ++place) {
        placeCaret(controller, static_cast<int32_t>(static_cast<int64_t>(lines) * place / PLACES));
        pumpUntilSettled(hwnd, job);
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < CHARACTERS / PLACES; ++i) {
            PostMessageW(hwnd, WM_CHAR, characterAt(i), 1);
            pumpUntilSettled(hwnd, job);
        }
        seconds += secondsSince(start);
    }
    return seconds * 1e6 / CHARACTERS;
}

double typeInController(corvel::DocumentController& controller, int32_t lines) {
    double seconds = 0;
    for (int place = 0; place < PLACES; ++place) {
        placeCaret(controller, static_cast<int32_t>(static_cast<int64_t>(lines) * place / PLACES));
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < CHARACTERS / PLACES; ++i) {
            controller.beginEdit(corvel::DocumentController::EDIT_WRITE);
            controller.insertString(std::wstring(1, characterAt(i)));
            controller.endEdit();
        }
        seconds += secondsSince(start);
    }
    return seconds * 1e6 / CHARACTERS;
}

// Types the characters into one text shown in the editor and prints the figures.
void measure(corvel::DocumentControllerManager& controllers, const std::wstring& text, const wchar_t* language,
             const char* what) {
    bench::TypedDocuments typed(controllers, text, language);
    typed.editor->getCmd().activate();
    typed.describe(what, static_cast<unsigned>(text.size()));
    std::printf("  %d characters at %d places, half of them pair characters\n", CHARACTERS, PLACES);
    const double inEditor = typeInEditor(*typed.editor, *typed.shown, typed.lines);
    const double inserted = typeInController(*typed.plain, typed.lines);
    std::printf("  editor, WM_CHAR with pairs to painted line  %8.1f us per character   (aim %.0f us)\n", inEditor,
                AIM_US);
    std::printf("  controller insertString (baseline)          %8.1f us per character\n", inserted);
    std::printf("  ratio                                       %8.2fx\n", inEditor / inserted);
}

} // namespace

int main() {
    zem::recordMainThread();
    OleInitialize(nullptr);
    bench::attachDocumentDevices(L"corvel-pair-typing-bench");
    corvel::afResources::create();
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry messages;
    messages.init(window);
    {
        // The editor's characters reach the pairs through the registry's character invoker.
        corvel::afActionRegistry registry;
        corvel::afActionInvokerKey keys(&registry);
        registry.addInvoker(&keys, corvel::afActionEventType::KEY);
        registry.addInvoker(&keys, corvel::afActionEventType::CHARACTER);
        corvel::PairedCharacterAction::createPair(L')', L"ui.editor", L'(', false, &registry);
        corvel::PairedCharacterAction::createPair(L']', L"ui.editor", L'[', false, &registry);
        corvel::PairedCharacterAction::createPair(L'"', L"ui.editor", L'"', false, &registry);

        corvel::GrammarRegistry grammars;
        bench::ShippedGrammars shipped(grammars);
        corvel::DocumentManager documents(nullptr, &grammars);
        bench::startParsers(documents);
        corvel::DocumentControllerManager controllers(&documents);
        corvel::EditorCmd::registerCommandTables(&registry);
        measure(controllers, bench::makeLetterLines(TEXT_UNITS, 121, 6), nullptr, "plain text");
        measure(controllers, bench::makeCText(TEXT_UNITS), L"source.c", "C with the shipped grammar");
        registry.removeInvoker(&keys);
    }
    messages.shutdown();
    DestroyWindow(window);
    corvel::afResources::destroy();
    OleUninitialize();
    return 0;
}
