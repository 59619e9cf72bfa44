#include "corvel/editor/SearchStrip.h"

#include "corvel/editor/SearchManager.h"
#include "corvel/editor/SearchRequest.h"
#include "corvel/editor/SearchSubscriber.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/createControl.h"

namespace corvel {

namespace {

constexpr int EDIT_WIDTH = 200;
constexpr int SPACING = 4;
constexpr int ROW_GRAVITY = 0x13; // left, vertically centred
constexpr int BACKGROUND_FILL = 1;
constexpr int TOP_LINE_COLOR = 5;
constexpr int FAILURE_ICON = 7;
constexpr uint32_t CLOSE_ICON = 0x130181c4u;

afLayoutParamsLinear* spaced(int width) {
    auto* params = new afLayoutParamsLinear(width, afLayoutParams::WRAP_CONTENT);
    params->setMargins(SPACING, 0, SPACING, 0);
    return params;
}

afWindow* windowOf(afView* view) {
    for (; view; view = view->getParent()) {
        if (auto* window = dynamic_cast<afWindow*>(view))
            return window;
    }
    return nullptr;
}

} // namespace

SearchStrip::SearchStrip(afView* parent, SearchManager* manager) : afContainer(parent), m_manager(manager) {}

SearchStrip* SearchStrip::create(afView* parent, SearchManager* manager) {
    return createControl<SearchStrip>(parent, manager);
}

void SearchStrip::onCreated() {
    setName(L"search_strip");
    const int wrap = afLayoutParams::WRAP_CONTENT;
    auto* row = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    row->setGravity(ROW_GRAVITY);
    row->setPadding(SPACING);
    setContentView(row);

    m_closeButton = new ViewVirtualButton(this);
    if (afResources::exists())
        m_closeButton->setIcon(afResources::find(CLOSE_ICON));
    if (!m_closeButton->getIcon())
        m_closeButton->setLabel(L"x");
    m_closeButton->setClick(this, &SearchStrip::onCloseClick);
    row->addChild(m_closeButton, spaced(wrap));

    auto* caption = new afLabel(this);
    caption->setText(L"Find:");
    row->addChild(caption, spaced(wrap));

    m_edit = afControlEdit::create(this);
    m_edit->setOptions(m_edit->getOptions() | afViewPlatform::OPTION_NATIVE_TEXT);
    m_edit->changeListeners().add(&SearchStrip::onTextChanged, this);
    m_edit->keyCallback.set(this, &SearchStrip::onEditKey);
    row->addChild(m_edit, spaced(EDIT_WIDTH));
    caption->setPartner(m_edit);

    m_next = afControlButton::create(this);
    m_next->setText(L"Find &next");
    m_next->clickCallback.set(this, &SearchStrip::onButton);
    row->addChild(m_next, spaced(wrap));
    m_previous = afControlButton::create(this);
    m_previous->setText(L"Find &prev");
    m_previous->clickCallback.set(this, &SearchStrip::onButton);
    row->addChild(m_previous, spaced(wrap));

    m_matchCase = afControlCheckBox::create(this);
    m_matchCase->setText(L"Match &case");
    m_matchCase->changeCallback.set(this, &SearchStrip::onOptionChanged);
    row->addChild(m_matchCase, spaced(wrap));
    m_wholeWords = afControlCheckBox::create(this);
    m_wholeWords->setText(L"&Whole words");
    m_wholeWords->changeCallback.set(this, &SearchStrip::onOptionChanged);
    row->addChild(m_wholeWords, spaced(wrap));

    m_message = new afLabel(this);
    m_message->setText(L"No matches found.");
    if (afResources::exists())
        m_message->setIcon(&afResources::getIcon(FAILURE_ICON), SPACING);
    m_message->setVisible(false);
    row->addChild(m_message, spaced(wrap));

    afContainer::onCreated();
}

bool SearchStrip::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    WidgetPalette* palette = WidgetPalette::instance();
    if (palette)
        palette->fill(BACKGROUND_FILL, *canvas, client);
    else
        canvas->fillRect(GetSysColor(COLOR_BTNFACE), client);
    COLORREF line = palette ? palette->color(TOP_LINE_COLOR) : GetSysColor(COLOR_BTNSHADOW);
    canvas->drawLine(line, client.left, client.top, client.right, client.top);
    return true;
}

void SearchStrip::setRequest(const SearchRequest* request) {
    if (!request || !m_edit)
        return;
    m_edit->setText(request->findText.c_str());
    m_matchCase->setChecked(request->matchCase);
    m_wholeWords->setChecked(request->wholeWords);
}

bool SearchStrip::getRequest(SearchRequest* request) {
    if (!request || !m_edit)
        return false;
    request->findText = m_edit->getText();
    request->scopeId = SearchRequest::SCOPE_CURRENT_DOCUMENT;
    request->matchCase = m_matchCase->isChecked();
    request->wholeWords = m_wholeWords->isChecked();
    return true;
}

void SearchStrip::activate() {
    if (!m_edit)
        return;
    if (m_manager)
        m_manager->setActiveFrontEnd(this);
    m_edit->requestFocus();
    if (m_edit->getHandle() && IsWindowVisible(m_edit->getHandle()))
        SetFocus(m_edit->getHandle());
    m_edit->selectAll();
}

void SearchStrip::setShown(bool shown) {
    setVisible(shown);
    if (afView* parent = getParent())
        parent->requestLayout("search strip shown or hidden");
}

bool SearchStrip::find(uint32_t action, bool backward) {
    if (!m_manager)
        return false;
    m_manager->setActiveFrontEnd(this);
    SearchRequest* request = m_manager->createRequest(this);
    getRequest(request);
    bool found = m_manager->dispatch(request, action, backward);
    if (m_message) {
        m_message->setVisible(!found);
        requestLayout("search strip message");
    }
    return found;
}

void SearchStrip::close() {
    setShown(false);
    if (m_manager && m_manager->getActiveFrontEnd() == this)
        m_manager->setActiveFrontEnd(nullptr);
    if (!m_manager)
        return;
    if (SearchScope* scope = m_manager->findScope(SearchRequest::SCOPE_CURRENT_DOCUMENT)) {
        if (scope->subscriber)
            scope->subscriber->focusFromSearch();
    }
}

bool SearchStrip::onKeyDown(afEvent* event) {
    if (event->getKeyCode() == VK_ESCAPE) {
        close();
        return true;
    }
    return afContainer::onKeyDown(event);
}

bool SearchStrip::onEditKey(void* self, afControlEdit*, afEvent* event) {
    auto* strip = static_cast<SearchStrip*>(self);
    switch (event->getKeyCode()) {
    case VK_ESCAPE:
        strip->close();
        return true;
    case VK_RETURN: {
        // Enter repeats the button the user clicked last (the window's default).
        afWindow* window = windowOf(strip);
        auto* button = window ? dynamic_cast<afControlButton*>(window->getDefaultButton()) : nullptr;
        if (button == strip->m_previous)
            strip->find(SearchActionFind, true);
        else
            strip->find(SearchActionFind, false);
        return true;
    }
    default:
        return false;
    }
}

void SearchStrip::onTextChanged(void* self, afControlEdit*) {
    static_cast<SearchStrip*>(self)->find(SearchActionFindAsYouType, false);
}

void SearchStrip::onOptionChanged(void* self, afControlCheckBox*) {
    static_cast<SearchStrip*>(self)->find(SearchActionFindAsYouType, false);
}

void SearchStrip::onButton(void* self, afControlButton* button) {
    auto* strip = static_cast<SearchStrip*>(self);
    if (afWindow* window = windowOf(strip))
        window->setDefaultButton(button, false);
    strip->find(SearchActionFind, button == strip->m_previous);
}

void SearchStrip::onCloseClick(void* self, ViewVirtualButton*, afEvent*) {
    static_cast<SearchStrip*>(self)->setShown(false);
}

} // namespace corvel
