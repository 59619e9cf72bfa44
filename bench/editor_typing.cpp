// Keystroke to painted line in the editor view. A generated 10 MB text (lines of 0-120
// characters) is bound to an editor in a visible 1000 x 700 window; at 20 places through
// the document the caret is set (scrolled in and painted, untimed), then 100 letters and
// spaces are typed, each posted as WM_CHAR and pumped until the queue is empty and the
// window has nothing left to paint. Baseline in the same run: the same insertions into a
// controller of a second document with the same text (insertText in a mode-2 bracket, no
// editor). Mean and 99th percentile of both, and their ratio, with wrap off and with the
// text wrapped to the window.
#include "BenchClock.h"
#include "BenchDocuments.h"
#include "BenchEditor.h"
#include "BenchHost.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/ui/afResources.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const size_t TEXT_UNITS = 5u * 1024u * 1024u; // 10 MB of UTF-16
const int PLACES = 20;
const int KEYSTROKES = 100;

using bench::Clock;
using bench::placeCaret;
using bench::pumpUntilPainted;
using bench::secondsSince;

struct Figures {
    double mean = 0;
    double p99 = 0;
};

Figures summarise(std::vector<double> micros) {
    Figures figures;
    if (micros.empty())
        return figures;
    for (double m : micros)
        figures.mean += m;
    figures.mean /= static_cast<double>(micros.size());
    std::sort(micros.begin(), micros.end());
    figures.p99 = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    return figures;
}

wchar_t keyAt(int i) {
    return i % 6 == 5 ? L' ' : static_cast<wchar_t>(L'a' + i % 26);
}

std::vector<double> typeInEditor(corvel::Editor& editor, corvel::DocumentController& controller, int32_t lines) {
    std::vector<double> micros;
    HWND hwnd = editor.getHandle();
    for (int place = 0; place < PLACES; ++place) {
        placeCaret(controller, static_cast<int32_t>(static_cast<int64_t>(lines) * place / PLACES));
        pumpUntilPainted(hwnd);
        for (int i = 0; i < KEYSTROKES; ++i) {
            const Clock::time_point start = Clock::now();
            PostMessageW(hwnd, WM_CHAR, keyAt(i), 1);
            pumpUntilPainted(hwnd);
            micros.push_back(secondsSince(start) * 1e6);
        }
    }
    return micros;
}

std::vector<double> typeInController(corvel::DocumentController& controller, int32_t lines) {
    std::vector<double> micros;
    for (int place = 0; place < PLACES; ++place) {
        placeCaret(controller, static_cast<int32_t>(static_cast<int64_t>(lines) * place / PLACES));
        for (int i = 0; i < KEYSTROKES; ++i) {
            const wchar_t key = keyAt(i);
            const Clock::time_point start = Clock::now();
            controller.beginEdit(corvel::DocumentController::EDIT_WRITE);
            controller.insertText(1, &key);
            controller.endEdit();
            micros.push_back(secondsSince(start) * 1e6);
        }
    }
    return micros;
}

void report(const char* title, const Figures& editor, const Figures& baseline) {
    std::printf("%s\n", title);
    std::printf("  editor, keystroke to painted line  mean %8.1f us  p99 %8.1f us\n", editor.mean, editor.p99);
    std::printf("  controller insertText (baseline)   mean %8.1f us  p99 %8.1f us\n", baseline.mean, baseline.p99);
    std::printf("  ratio                              mean %8.2fx    p99 %8.2fx\n", editor.mean / baseline.mean,
                editor.p99 / baseline.p99);
}

} // namespace

int main() {
    zem::recordMainThread();
    OleInitialize(nullptr);
    bench::attachDocumentDevices(L"corvel-editor-typing-bench");
    corvel::afResources::create();
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry messages;
    messages.init(window);
    {
        corvel::GrammarRegistry grammars;
        corvel::DocumentManager documents(nullptr, &grammars);
        corvel::DocumentControllerManager controllers(&documents);
        const std::wstring text = bench::makeLetterLines(TEXT_UNITS, 121, 6);
        corvel::DocumentController* shown = controllers.createUntitledDocument();
        corvel::DocumentController* plain = controllers.createUntitledDocument();
        shown->setText(text);
        plain->setText(text);
        const int32_t lines = shown->getLineCount();

        auto* host = new bench::HostWindow(1000, 700);
        ShowWindow(host->getHandle(), SW_SHOWNA);
        corvel::Editor* editor = corvel::Editor::create(host, 0);
        editor->setFrameRect(0, 0, 1000, 700);
        shown->setEditor(editor);
        pumpUntilPainted(editor->getHandle());
        std::printf("document of %u units in %d lines; %d places, %d keystrokes each\n",
                    static_cast<unsigned>(text.size()), lines, PLACES, KEYSTROKES);

        report("wrap off", summarise(typeInEditor(*editor, *shown, lines)), summarise(typeInController(*plain, lines)));

        corvel::FacePreset wrapped = shown->getFacePreset();
        wrapped.wordWrap = true;
        wrapped.boundaryBreak = false;
        editor->applyFacePreset(wrapped);
        pumpUntilPainted(editor->getHandle());
        report("wrapped to the window", summarise(typeInEditor(*editor, *shown, lines)),
               summarise(typeInController(*plain, lines)));

        shown->setEditor(nullptr);
        delete host;
        controllers.destroyController(shown);
        controllers.destroyController(plain);
    }
    messages.shutdown();
    DestroyWindow(window);
    corvel::afResources::destroy();
    OleUninitialize();
    return 0;
}
