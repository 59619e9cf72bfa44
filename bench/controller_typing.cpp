// Typing through a document controller against typing straight into the document.
// A 10 MB (UTF-16) document gets 20,000 keystrokes, each in its own mode-2 edit bracket
// with the caret moved there first (undo journal, view records and all); the baseline
// puts the same units at the same places with Document::insertText in one run. Twice:
// every keystroke at a random place (the gap travels about a third of the text each
// time), then in runs of 100 at 200 random places, as a user types. Then 1,000 carets
// are typed into within one bracket per keystroke. Prints microseconds per keystroke
// and the ratio to the baseline, beside the aims.
#include "BenchClock.h"
#include "BenchDocuments.h"
#include "BenchSampler.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SelectionRange.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const size_t TEXT_UNITS = 5u * 1024u * 1024u; // 10 MB of UTF-16
const int KEYSTROKES = 20000;
const int CARETS = 1000;
const int CARET_KEYSTROKES = 20;
const double AIM_CONTROLLER_US = 50;
const double AIM_CARETS_MS = 5;

using bench::Clock;
using bench::Random;
using bench::secondsSince;

// Each keystroke `run` units after the one before, and a new random place after `run`.
std::vector<int32_t> places(int32_t length, int run) {
    Random random;
    std::vector<int32_t> out;
    for (int i = 0; i < KEYSTROKES; ++i) {
        if (i % run == 0)
            out.push_back(static_cast<int32_t>(random.below(static_cast<uint32_t>(length + i))));
        else
            out.push_back(out.back() + 1);
    }
    return out;
}

struct Typed {
    double plainMicros;
    double controllerMicros;
};

// Microseconds per keystroke straight into a document and through a controller.
Typed typeAt(corvel::DocumentManager& documents, corvel::DocumentControllerManager& controllers,
             const std::wstring& text, const std::vector<int32_t>& at, int run) {
    corvel::Document* plain = documents.createDocument(L"");
    plain->lockEdit();
    plain->insertText(0, static_cast<int32_t>(text.size()), text.c_str(), 0);
    Clock::time_point start = Clock::now();
    {
        bench::Sampler samples(run == 1 ? "plain-random" : "plain-runs");
        for (int i = 0; i < KEYSTROKES; ++i)
            plain->insertText(at[static_cast<size_t>(i)], 1, L"x", 0);
    }
    const double plainSeconds = secondsSince(start);
    plain->unlockEdit();
    documents.closeDocument(plain);

    corvel::DocumentController* controller = controllers.createUntitledDocument();
    controller->setText(text);
    controller->getDocument()->clearUndoHistory();
    corvel::Selection* selection = controller->getSelection();
    start = Clock::now();
    {
        bench::Sampler samples(run == 1 ? "controller-random" : "controller-runs");
        for (int i = 0; i < KEYSTROKES; ++i) {
            controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
            selection->setCaretOffset(at[static_cast<size_t>(i)]);
            controller->insertText(1, L"x");
            controller->endEdit();
        }
    }
    const double controllerSeconds = secondsSince(start);
    controllers.destroyController(controller);
    return Typed{plainSeconds * 1e6 / KEYSTROKES, controllerSeconds * 1e6 / KEYSTROKES};
}

void report(const char* what, const Typed& typed) {
    std::printf("%s\n", what);
    std::printf("  Document::insertText         %8.2f us per keystroke\n", typed.plainMicros);
    std::printf("  controller, one bracket each %8.2f us per keystroke (%.2fx)   (aim under %.0f us)\n",
                typed.controllerMicros, typed.controllerMicros / typed.plainMicros, AIM_CONTROLLER_US);
}

} // namespace

int main() {
    zem::recordMainThread();
    bench::attachDocumentDevices(L"corvel-typing-bench");
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry messages;
    messages.init(window);
    {
        corvel::GrammarRegistry grammars;
        corvel::DocumentManager documents(nullptr, &grammars);
        corvel::DocumentControllerManager controllers(&documents);
        const std::wstring text = bench::makeLetterLines(TEXT_UNITS, 80, 0);

        std::printf("document of %u units, %d keystrokes\n", static_cast<unsigned>(text.size()), KEYSTROKES);
        const int32_t length = static_cast<int32_t>(text.size());
        report("at random places", typeAt(documents, controllers, text, places(length, 1), 1));
        report("in runs of 100 at random places", typeAt(documents, controllers, text, places(length, 100), 100));

        corvel::DocumentController* controller = controllers.createUntitledDocument();
        controller->setText(text);
        controller->getDocument()->clearUndoHistory();
        corvel::Selection* selection = controller->getSelection();
        // Many carets: every 500th unit, typed into all of them at once.
        std::vector<corvel::SelectionRange> carets;
        for (int i = 0; i < CARETS; ++i)
            carets.emplace_back(i * 500, i * 500, i + 1);
        controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
        selection->selectRanges(carets);
        controller->endEdit();
        const Clock::time_point start = Clock::now();
        {
            bench::Sampler samples("carets");
            for (int i = 0; i < CARET_KEYSTROKES; ++i) {
                controller->beginEdit(corvel::DocumentController::EDIT_WRITE);
                controller->insertText(1, L"#");
                controller->endEdit();
            }
        }
        const double caretSeconds = secondsSince(start);
        std::wstring all;
        controller->getAllText(all);
        size_t typed = 0;
        for (wchar_t c : all)
            typed += c == L'#' ? 1 : 0;

        std::printf("%d carets: %8.3f ms per keystroke (%u units typed)   (aim under %.0f ms)\n", CARETS,
                    caretSeconds * 1e3 / CARET_KEYSTROKES, static_cast<unsigned>(typed), AIM_CARETS_MS);
        controllers.destroyController(controller);
    }
    messages.shutdown();
    DestroyWindow(window);
    return 0;
}
