// Snippets (".cvSnippet") as the loader reads them, through the item's properties and
// back; then the content is parsed into the snippet model (its own syntax errors are the
// only refusal) and inserted into a document over two selected ranges, and typed into.
#include "EntryFuzz.h"

#include "../bench/BenchDocuments.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/bundles/SnippetModel.h"
#include "corvel/bundles/SnippetValidator.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/Selection.h"
#include "zem/base/ParserException.h"

namespace {

using corvel::DocumentController;

struct Editing {
    corvel::BundleEntryTypeInfo kind = fuzz::standardKind(corvel::SNIPPET_TYPE_ID);
    std::unique_ptr<corvel::GrammarRegistry> grammars;
    std::unique_ptr<corvel::DocumentManager> documents;
    std::unique_ptr<corvel::DocumentControllerManager> controllers;
    DocumentController* controller = nullptr;
    Editing() {
        // The snippet manager's own check, which the loader runs before the snippet reads.
        kind.validator = std::make_shared<corvel::SnippetValidator>();
        bench::attachDocumentDevices(L"corvel-fuzz-snippet");
        grammars.reset(new corvel::GrammarRegistry());
        documents.reset(new corvel::DocumentManager(nullptr, grammars.get()));
        controllers.reset(new corvel::DocumentControllerManager(documents.get()));
        controller = controllers->createUntitledDocument();
    }
};

Editing& editing() {
    static Editing made;
    return made;
}

void insertInto(corvel::Snippet& snippet) {
    corvel::SnippetModel* model = nullptr;
    try {
        model = snippet.getParsedContent();
    } catch (const zem::ParserException&) {
        return;
    }
    if (!model)
        return;
    DocumentController& controller = *editing().controller;
    controller.setText(L"one two\n\tthree");
    controller.getDocument()->clearUndoHistory();
    controller.beginEdit(DocumentController::EDIT_READ);
    corvel::Selection* selection = controller.getSelection();
    selection->selectOffsets(0, 3, corvel::Selection::ID_NORMAL);
    selection->addSelection(controller.offsetToPosition(4), controller.offsetToPosition(7),
                            corvel::Selection::ID_NORMAL);
    controller.endEdit();
    controller.beginEdit(DocumentController::EDIT_WRITE);
    corvel::SnippetManager::insertSnippet(controller, *model);
    controller.endEdit();
    controller.beginEdit(DocumentController::EDIT_WRITE);
    controller.insertString(L"Q");
    controller.endEdit();
}

fuzz::Verdict run(const std::string& input) {
    return fuzz::readAndRoundTrip<corvel::Snippet>(editing().kind, input, &insertInto);
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_snippet",
                        {"{",
                         "}",
                         "content",
                         "tab_trigger",
                         "scope",
                         "'",
                         "\"",
                         "$1",
                         "${1:",
                         "${2:default}",
                         "$0",
                         "${1/(\\w+)/\\u$1/g}",
                         "${1|a,b|}",
                         "$SELECTED_TEXT",
                         "${TM_SELECTED_TEXT:x}",
                         "\\$",
                         "\\}",
                         "\n\t",
                         "`date`",
                         ":",
                         "/"},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
