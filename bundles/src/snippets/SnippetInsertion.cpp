// Running a snippet: the parts of the snippet manager that edit a document.
#include "corvel/bundles/SnippetManager.h"

#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetInstantiation.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"
#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"

#include <algorithm>

namespace corvel {

void SnippetManager::runSnippet(Snippet* snippet) {
    DocumentController* controller = m_host.getActiveController();
    if (!controller)
        return;
    // Parsed before the bracket opens: a snippet that does not parse changes nothing.
    SnippetModel* model = snippet->getParsedContent();
    EditBracket bracket(*controller, DocumentController::EDIT_WRITE);
    insertSnippet(*controller, *model);
}

void SnippetManager::insertSnippet(DocumentController& controller, const SnippetModel& model) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    SnippetEnvironment environment;
    environment.controller = &controller;
    environment.tabWidth = controller.getSettings().indentation.getWidth();
    environment.softTabs = controller.getSettings().indentation.isSoftTabs();
    // Every change of the insertion reaches the views once, when the batch closes; a batch
    // left open would keep every later change from them.
    ChangeBatchScope batch(controller);
    SpanBinding* binding = controller.spans();
    Span* primary = binding->createSelectionSpans(CONTEXT_NAME);
    if (!primary)
        return;
    SpanContext* context = primary->getContext();
    const uint32_t selectedText = snippetVariableId(L"SELECTED_TEXT");
    Document* document = controller.getDocument();
    for (Span* child = context->getFirstChild(); child; child = child->getNextSibling()) {
        std::wstring selected;
        controller.getText(selected, child->getLength(), child->getStart());
        environment.variables[selectedText] = selected;
        if (child->getLength() > 0) {
            document->removeText(child->getLength(), child->getStart(), 0);
            child->setLength(0);
        }
        const int32_t line = document->getLineOfOffset(child->getStart());
        const int32_t column = child->getStart() - document->getLineStart(line);
        // Forced: a trigger typed on an indented empty line leaves only blanks before the
        // span, and those are the indentation the snippet's lines take.
        environment.lineIndentWidth = std::max(0, controller.getLineIndentWidth(line, column, true));
        environment.primary = child == primary;
        instantiateSnippet(*model.root, child, environment);
    }
    context->refreshMirrors(&controller);
    binding->setSpan(context);
    if (!binding->gotoNextSpan(false))
        controller.getSelection()->setCaretOffset(context->getEnd());
}

} // namespace corvel
