#include "corvel/document/DocumentControllerUndoIO.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoListener.h"
#include "corvel/document/UndoRegistry.h"

namespace corvel {

class DocumentControllerUndoIO::Handler : public UndoListener {
public:
    explicit Handler(const wchar_t* name) : m_name(name) {}

    // Replay goes to the controller that owns the document's edit (the one undoing).
    bool apply(UndoContext& context, int type) override {
        if (m_name == std::wstring(L"SelectionCaret"))
            return true;
        DocumentController* owner = context.document() ? context.document()->getEditOwner() : nullptr;
        return !owner || owner->applyRecord(type, context);
    }

    void dump(UndoContext& context, const wchar_t* label, std::wstring& out) override {
        if (m_name == std::wstring(L"Selection"))
            Selection::dump(context, out, label);
        else if (m_name == std::wstring(L"Spans"))
            SpanBinding::dumpState(context, label, out);
    }

private:
    std::wstring m_name;
};

DocumentControllerUndoIO::DocumentControllerUndoIO(DocumentControllerManager* manager, UndoRegistry* registry)
    : m_manager(manager), m_registry(registry) {
    if (!m_registry)
        return;
    m_selectionHandler.reset(new Handler(L"Selection"));
    m_caretHandler.reset(new Handler(L"SelectionCaret"));
    m_spansHandler.reset(new Handler(L"Spans"));
    m_selectionId = m_registry->registerOperation(L"Selection");
    m_caretId = m_registry->registerOperation(L"SelectionCaret");
    m_spansId = m_registry->registerOperation(L"Spans");
    m_registry->setHandler(m_selectionId, m_selectionHandler.get());
    m_registry->setHandler(m_caretId, m_caretHandler.get());
    m_registry->setHandler(m_spansId, m_spansHandler.get());
}

DocumentControllerUndoIO::~DocumentControllerUndoIO() {
    if (!m_registry)
        return;
    m_registry->unregisterOperation(m_selectionId);
    m_registry->unregisterOperation(m_caretId);
    m_registry->unregisterOperation(m_spansId);
}

} // namespace corvel
