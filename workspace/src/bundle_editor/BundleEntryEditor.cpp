#include "corvel/workspace/BundleEntryEditor.h"

#include "corvel/config/ValidationErrorList.h"
#include "corvel/ui/afColorDrawable.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afControlListView.h"
#include "corvel/workspace/BundleEntryEditorState.h"

namespace corvel {

namespace {

constexpr int LIST_GAP = 8;

} // namespace

const wchar_t* severityName(uint32_t severity) {
    switch (severity) {
    case ValidationError::NOTICE_SEVERITY:
        return L"Notice";
    case ValidationError::WARNING_SEVERITY:
        return L"Warning";
    default:
        return L"Error";
    }
}

BundleEntryEditor::BundleEntryEditor(afView* parent) : afContainer(parent) {
    setParentBackground(false);
}

bool BundleEntryEditor::buildSeed(Seed& seed) {
    static bool registered = false;
    afWindowClass windowClass;
    windowClass.className = L"BundleEntryEditor";
    windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
    registerClass(windowClass, registered);
    seed.className = L"BundleEntryEditor";
    seed.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    seed.exStyle = WS_EX_CONTROLPARENT;
    return true;
}

void BundleEntryEditor::onCreated() {
    afContainer::onCreated();
    setBackground(afColorDrawable::create(GetSysColor(COLOR_BTNFACE)).release());
    auto* column = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(column);
    buildForm(column);
    m_list = afControlListView::create(this);
    m_list->setFullRowSelect();
    m_list->addColumn(L"Title", 350);
    m_list->addColumn(L"Severity", 100);
    auto* place = new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, LIST_HEIGHT);
    place->setMargins(0, LIST_GAP, 0, 0);
    column->addChild(m_list, place);
}

BundleEntryEditorState* BundleEntryEditor::createState(BundleEntry* entry) {
    (void)entry;
    return nullptr;
}

void BundleEntryEditor::attach(BundleEntryEditorState* state) {
    m_state = state;
}

void BundleEntryEditor::detach(BundleEntryEditorState* state) {
    if (m_state == state)
        m_state = nullptr;
}

void BundleEntryEditor::showValidation(const ValidationErrorList& errors) {
    if (!m_list)
        return;
    m_list->clearItems();
    // Rows go in at the top: the last problem first keeps the list's order.
    for (size_t i = errors.size(); i-- > 0;) {
        const ValidationError* error = errors.at(i);
        m_list->insertItem(error->getMessage());
        m_list->setItemText(severityName(error->getSeverity()));
    }
}

void BundleEntryEditor::contentChanged() {
    if (!m_state)
        return;
    bool wasModified = m_state->isModified();
    m_state->markChanged();
    if (!wasModified)
        notifyModified();
}

void BundleEntryEditor::notifyModified() {
    if (modifiedCallback.function)
        modifiedCallback(this);
}

} // namespace corvel
