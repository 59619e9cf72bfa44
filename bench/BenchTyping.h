// What the typing benchmarks share: a text shown in an editor in a visible 1000 x 700
// window, beside a second controller over the same text without an editor (the baseline).
#pragma once
#include "BenchClock.h"
#include "BenchGrammars.h"
#include "BenchHost.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/editor/Editor.h"

#include <cstdio>
#include <string>

namespace bench {

class TypedDocuments {
public:
    // With a language the shown document takes that grammar; the first parse of the whole
    // text and its paint run to their end before the constructor returns.
    TypedDocuments(corvel::DocumentControllerManager& controllers, const std::wstring& text, const wchar_t* language)
        : m_controllers(controllers) {
        shown = controllers.createUntitledDocument();
        plain = controllers.createUntitledDocument();
        shown->setText(text);
        plain->setText(text);
        if (language)
            shown->setLanguage(language);
        lines = shown->getLineCount();
        m_host = new HostWindow(1000, 700);
        ShowWindow(m_host->getHandle(), SW_SHOWNA);
        editor = corvel::Editor::create(m_host, 0);
        editor->setFrameRect(0, 0, 1000, 700);
        shown->setEditor(editor);
        const Clock::time_point start = Clock::now();
        settle();
        firstParseSeconds = secondsSince(start);
    }
    ~TypedDocuments() {
        shown->setEditor(nullptr);
        delete m_host;
        m_controllers.destroyController(shown);
        m_controllers.destroyController(plain);
    }
    TypedDocuments(const TypedDocuments&) = delete;
    TypedDocuments& operator=(const TypedDocuments&) = delete;

    const corvel::ParserJob* job() const { return shown->getDocument()->getParseJob(); }
    bool highlighted() const { return shown->getDocument()->getGrammar() != nullptr; }
    void settle() const { pumpUntilSettled(editor->getHandle(), job()); }
    void describe(const char* what, unsigned textUnits) const {
        std::printf("%s: %u units in %d lines, %s", what, textUnits, lines,
                    highlighted() ? "highlighted" : "no grammar");
        if (highlighted())
            std::printf(" (first parse and paint %.2f s)", firstParseSeconds);
        std::printf("\n");
    }

    corvel::DocumentController* shown = nullptr;
    corvel::DocumentController* plain = nullptr;
    corvel::Editor* editor = nullptr;
    int32_t lines = 0;
    double firstParseSeconds = 0;

private:
    corvel::DocumentControllerManager& m_controllers;
    HostWindow* m_host = nullptr;
};

} // namespace bench
