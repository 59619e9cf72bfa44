#include "ControllerLineSource.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentScopeStore.h"
#include "corvel/document/DocumentStyler.h"
#include "corvel/document/LineHeader.h"
#include "corvel/ui/afUnicode.h"

namespace corvel {

ControllerLineSource::ControllerLineSource(DocumentController& controller) : m_controller(controller) {}

DocumentStyler* ControllerLineSource::styler() const {
    Document* document = m_controller.getDocument();
    return document ? document->getStyler() : nullptr;
}

int32_t ControllerLineSource::getLineCount() {
    return m_controller.getLineCount();
}

int32_t ControllerLineSource::getTabWidth() {
    return m_controller.getSettings().indentation.getWidth();
}

void ControllerLineSource::readLine(int32_t line, afUnicode& record) {
    EditBracket bracket(m_controller, DocumentController::EDIT_READ);
    m_text.clear();
    m_controller.getLineText(line, m_text, false);
    record.setText(m_text);
    const size_t length = m_text.size();
    std::vector<afUnicodeStyleCell>& cells = record.cells();
    cells.assign(length, afUnicodeStyleCell());
    record.setEndOfLineColor(m_background);
    Document* document = m_controller.getDocument();
    DocumentStyler* styles = styler();
    if (!document || !styles)
        return;
    std::unique_ptr<LineScopeCursor> cursor = document->getLineScopes(line);
    if (!cursor)
        return;
    DocumentScopeStore& store = document->getScopeStore();
    uint16_t current = styles->resolveStyle(store.getScope(0));
    size_t column = 0;
    for (int32_t i = 0; i < cursor->count; ++i) {
        const ScopeRun& run = cursor->runs[i];
        const size_t start = run.column < length ? run.column : length;
        for (; column < start; ++column)
            cells[column].styleId = current;
        DocumentScope* scope = store.getScope(run.scope);
        current = styles->resolveStyle(scope ? scope : store.getScope(0));
    }
    for (; column < length; ++column)
        cells[column].styleId = current;
}

const afUnicodeStyle& ControllerLineSource::styleFor(uint16_t styleId) {
    DocumentStyler* styles = styler();
    Document* document = m_controller.getDocument();
    // A style number is its scope's index: a style dropped since the line was read (new
    // theme or grammar) is computed again. Asking the styler for a missing record would
    // leave an empty one behind that later reads take as computed.
    DocumentScope* scope = document ? document->getScopeStore().getScope(styleId) : nullptr;
    if (!styles || !scope)
        return m_plain;
    TextStyle* style = styles->getStyle(styles->resolveStyle(scope));
    return style ? *style : m_plain;
}

} // namespace corvel
