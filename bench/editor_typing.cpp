// Keystroke to painted line in the editor view, in a plain-text document and in a C
// document highlighted by the shipped C grammar. A generated 10 MB text is bound to an
// editor in a visible 1000 x 700 window; at 20 places through the document the caret is
// set (scrolled in and painted, untimed), then 100 letters and spaces are typed, each
// posted as WM_CHAR and pumped until the queue is empty, the parse job has re-parsed and
// reported what changed, and the window has nothing left to paint. Baseline in the same
// run: the same insertions into a controller of a second document with the same text
// (insertText in a mode-2 bracket, no editor). Mean and 99th percentile of both, and
// their ratio, with wrap off and with the text wrapped to the window, beside the aims.
#include "BenchClock.h"
#include "BenchDocuments.h"
#include "BenchEditor.h"
#include "BenchGrammars.h"
#include "BenchSampler.h"
#include "BenchTyping.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
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
const double AIM_MEAN_US = 2000;
const double AIM_P99_US = 4000;

using bench::Clock;
using bench::placeCaret;
using bench::pumpUntilSettled;
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

std::vector<double> typeInEditor(corvel::Editor& editor, corvel::DocumentController& controller, int32_t lines,
                                 const char* section) {
    bench::Sampler samples(section);
    std::vector<double> micros;
    HWND hwnd = editor.getHandle();
    const corvel::ParserJob* job = controller.getDocument()->getParseJob();
    for (int place = 0; place < PLACES; ++place) {
        placeCaret(controller, static_cast<int32_t>(static_cast<int64_t>(lines) * place / PLACES));
        pumpUntilSettled(hwnd, job);
        for (int i = 0; i < KEYSTROKES; ++i) {
            const Clock::time_point start = Clock::now();
            PostMessageW(hwnd, WM_CHAR, keyAt(i), 1);
            pumpUntilSettled(hwnd, job);
            micros.push_back(secondsSince(start) * 1e6);
        }
    }
    return micros;
}

std::vector<double> typeInController(corvel::DocumentController& controller, int32_t lines) {
    bench::Sampler samples("baseline");
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
    std::printf("  editor, keystroke to painted line  mean %8.1f us  p99 %8.1f us   (aim %.0f us mean, %.0f us p99)\n",
                editor.mean, editor.p99, AIM_MEAN_US, AIM_P99_US);
    std::printf("  controller insertText (baseline)   mean %8.1f us  p99 %8.1f us\n", baseline.mean, baseline.p99);
    std::printf("  ratio                              mean %8.2fx    p99 %8.2fx\n", editor.mean / baseline.mean,
                editor.p99 / baseline.p99);
}

// Types into one text shown in the editor, wrap off and then wrapped, and prints both.
void measure(corvel::DocumentControllerManager& controllers, const std::wstring& text, const wchar_t* language,
             const char* what) {
    bench::TypedDocuments typed(controllers, text, language);
    typed.describe(what, static_cast<unsigned>(text.size()));
    std::printf("  %d places, %d keystrokes each\n", PLACES, KEYSTROKES);
    const std::string name = language ? "c" : "plain";
    report("  wrap off", summarise(typeInEditor(*typed.editor, *typed.shown, typed.lines, (name + "-nowrap").c_str())),
           summarise(typeInController(*typed.plain, typed.lines)));

    corvel::FacePreset wrapped = typed.shown->getFacePreset();
    wrapped.wordWrap = true;
    wrapped.boundaryBreak = false;
    typed.editor->applyFacePreset(wrapped);
    typed.settle();
    report("  wrapped to the window",
           summarise(typeInEditor(*typed.editor, *typed.shown, typed.lines, (name + "-wrapped").c_str())),
           summarise(typeInController(*typed.plain, typed.lines)));
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
        bench::ShippedGrammars shipped(grammars);
        corvel::DocumentManager documents(nullptr, &grammars);
        bench::startParsers(documents);
        corvel::DocumentControllerManager controllers(&documents);
        measure(controllers, bench::makeLetterLines(TEXT_UNITS, 121, 6), nullptr, "plain text");
        measure(controllers, bench::makeCText(TEXT_UNITS), L"source.c", "C with the shipped grammar");
    }
    messages.shutdown();
    DestroyWindow(window);
    corvel::afResources::destroy();
    OleUninitialize();
    return 0;
}
