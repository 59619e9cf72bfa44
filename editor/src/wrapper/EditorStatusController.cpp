#include "corvel/editor/EditorStatusController.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/Selection.h"
#include "corvel/text/CodePages.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/widgets/ToolBar.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "zem/base/Format.h"

#include <algorithm>

namespace corvel {

namespace {

const uint32_t ENCODINGS[] = {CP_ANSI, CP_UTF8_MARK, CP_UTF8_PLAIN, CP_UTF16_LE, CP_UTF16_BE};
const uint32_t INDENT_WIDTHS[] = {2, 3, 4, 8};

afMenuItem* addChoice(EditorStatusController::Menu& menu, const std::wstring& title, uint32_t value, bool checked) {
    auto* item = new afMenuItem(title);
    menu.menu->addItem(item);
    menu.menu->setItemFlags(item, checked, false);
    item->setChecked(checked);
    menu.choices.emplace_back(item, value);
    return item;
}

const wchar_t* lineEndingText(int32_t style) {
    switch (style) {
    case LINE_ENDING_LF:
        return L"LF";
    case LINE_ENDING_CR:
        return L"CR";
    default:
        return L"CR+LF";
    }
}

} // namespace

EditorStatusController::EditorStatusController(ToolBar* strip, LanguageManager* languages)
    : m_strip(strip), m_languages(languages) {}

EditorStatusController::~EditorStatusController() {
    if (m_controller) {
        m_controller->caretMoved.remove(&EditorStatusController::caretNotice, this);
        m_controller->formatChanged.remove(&EditorStatusController::formatNotice, this);
        m_controller->languageChanged.remove(&EditorStatusController::languageNotice, this);
    }
}

void EditorStatusController::setDocumentController(DocumentController* controller) {
    if (controller == m_controller)
        return;
    // A controller still bound keeps no listener of ours once another one takes its place.
    if (m_controller) {
        m_controller->caretMoved.remove(&EditorStatusController::caretNotice, this);
        m_controller->formatChanged.remove(&EditorStatusController::formatNotice, this);
        m_controller->languageChanged.remove(&EditorStatusController::languageNotice, this);
        m_controller = nullptr;
    }
    if (!controller) {
        build(false);
        return;
    }
    m_controller = controller;
    controller->caretMoved.add(&EditorStatusController::caretNotice, this);
    controller->formatChanged.add(&EditorStatusController::formatNotice, this);
    controller->languageChanged.add(&EditorStatusController::languageNotice, this);
    if (!m_built) {
        build(true);
        return;
    }
    onCaretMoved(controller->getSelection()->getCaret());
    onLanguageChanged(controller->getLanguageName().c_str());
    onFileStateChanged();
}

ViewVirtualButton* EditorStatusController::addButton(const wchar_t* label, const wchar_t* text, int minimumWidth) {
    auto* button = new ViewVirtualButton(m_strip);
    if (label)
        button->setLabel(label);
    button->setText(text);
    if (minimumWidth > 0)
        button->setMinimumSize(minimumWidth, 0);
    m_strip->addButton(button);
    return button;
}

void EditorStatusController::build(bool shown) {
    if (!m_strip)
        return;
    if (!shown) {
        clearStrip();
        return;
    }
    if (m_built)
        return;
    clearStrip();
    m_strip->setName(L"tool_strip");
    m_line = addButton(L"Line:  ", L"1", 80);
    m_character = addButton(L"Char:  ", L"1", 80);
    m_language = addButton(L"Language:", L"---", 0);
    m_language->setClick(this, &EditorStatusController::showLanguageMenu);
    m_encoding = addButton(nullptr, L"---", 0);
    m_encoding->setClick(this, &EditorStatusController::showEncodingMenu);
    m_lineEnding = addButton(nullptr, L"---", 0);
    m_lineEnding->setClick(this, &EditorStatusController::showLineEndingMenu);
    m_indent = addButton(nullptr, L"---", 0);
    m_indent->setClick(this, &EditorStatusController::showIndentMenu);
    if (m_controller) {
        onCaretMoved(m_controller->getSelection()->getCaret());
        onLanguageChanged(m_controller->getLanguageName().c_str());
        onFileStateChanged();
    }
    m_built = true;
}

void EditorStatusController::clearStrip() {
    m_strip->clear();
    m_line = m_character = m_language = m_encoding = m_lineEnding = m_indent = nullptr;
    m_built = false;
}

// --- Updates ------------------------------------------------------------------------------------

void EditorStatusController::onCaretMoved(const TextPosition& position) {
    if (!m_line)
        return;
    m_line->setText(zem::format(L"%d", position.line + 1));
    m_character->setText(zem::format(L"%d", position.offset + 1));
}

void EditorStatusController::onLanguageChanged(const wchar_t* name) {
    if (!m_language)
        return;
    Language* language = m_languages ? m_languages->getLanguage(name ? name : L"") : nullptr;
    if (!language) {
        m_language->setText(L"NULL");
        return;
    }
    m_language->setText(LanguageAction(language).getTitle());
}

void EditorStatusController::onFileStateChanged() {
    if (!m_encoding || !m_controller)
        return;
    const DocumentController::Settings& settings = m_controller->getSettings();
    m_encoding->setText(getEncodingDisplayName(settings.codePage));
    m_lineEnding->setText(lineEndingText(settings.lineEnding));
    const int width = settings.indentation.getWidth();
    m_indent->setText(zem::format(settings.indentation.isSoftTabs() ? L"Spaces (%d)" : L"Tabs (%d)", width));
}

void EditorStatusController::caretNotice(void* self, DocumentController*, const TextPosition* caret, uint32_t) {
    if (caret)
        static_cast<EditorStatusController*>(self)->onCaretMoved(*caret);
}

void EditorStatusController::formatNotice(void* self, DocumentController*, const DocumentController::Settings*,
                                          const DocumentController::Settings*) {
    static_cast<EditorStatusController*>(self)->onFileStateChanged();
}

void EditorStatusController::languageNotice(void* self, DocumentController*, const wchar_t* name) {
    static_cast<EditorStatusController*>(self)->onLanguageChanged(name);
}

// --- Menus --------------------------------------------------------------------------------------

EditorStatusController::Menu EditorStatusController::buildLanguageMenu() {
    Menu menu;
    if (!m_controller)
        return menu;
    menu.menu.reset(afMenu::createPopup(L"Language"));
    if (!menu.menu)
        return menu;
    const std::wstring& current = m_controller->getLanguageName();
    Language* fallback = m_languages ? m_languages->getFallbackLanguage() : nullptr;
    if (m_languages) {
        for (LanguageAction* action : m_languages->getLanguageList()) {
            Language* language = action ? action->getLanguage() : nullptr;
            if (!language || language == fallback)
                continue;
            addChoice(menu, action->getTitle(), static_cast<uint32_t>(menu.languageNames.size()),
                      language->getName() == current);
            menu.languageNames.push_back(language->getName());
        }
    }
    // The fallback grammar comes last, on its own: it is what a document without one has.
    if (fallback) {
        menu.menu->addSeparator();
        addChoice(menu, LanguageAction(fallback).getTitle(), static_cast<uint32_t>(menu.languageNames.size()),
                  current.empty());
        menu.languageNames.push_back(std::wstring());
    }
    return menu;
}

EditorStatusController::Menu EditorStatusController::buildEncodingMenu() {
    Menu menu;
    if (!m_controller)
        return menu;
    menu.menu.reset(afMenu::createPopup(L"Encoding"));
    if (!menu.menu)
        return menu;
    const uint32_t current = m_controller->getSettings().codePage;
    for (uint32_t codePage : ENCODINGS)
        addChoice(menu, getEncodingDisplayName(codePage), codePage, codePage == current);
    return menu;
}

EditorStatusController::Menu EditorStatusController::buildLineEndingMenu() {
    Menu menu;
    if (!m_controller)
        return menu;
    menu.menu.reset(afMenu::createPopup(L"Line Ending"));
    if (!menu.menu)
        return menu;
    const int32_t current = m_controller->getSettings().lineEnding;
    for (int32_t style : {LINE_ENDING_CRLF, LINE_ENDING_CR, LINE_ENDING_LF})
        addChoice(menu, lineEndingText(style), static_cast<uint32_t>(style), style == current);
    return menu;
}

EditorStatusController::Menu EditorStatusController::buildIndentMenu() {
    Menu menu;
    if (!m_controller)
        return menu;
    menu.menu.reset(afMenu::createPopup(L"Indentation"));
    if (!menu.menu)
        return menu;
    const zem::Indentation& indentation = m_controller->getSettings().indentation;
    for (uint32_t width : INDENT_WIDTHS)
        addChoice(menu, zem::format(L"%u", width), width, static_cast<int>(width) == indentation.getWidth());
    menu.menu->addSeparator();
    addChoice(menu, L"Use Spaces (Soft Tabs)", TOGGLE_SOFT_TABS, indentation.isSoftTabs());
    return menu;
}

void EditorStatusController::applyLanguage(const std::wstring& name) {
    if (m_controller)
        m_controller->setLanguage(name);
}

// A choice made on the strip is also what new documents get: it becomes the default.
DocumentManager* EditorStatusController::documents() const {
    DocumentControllerManager* controllers = m_controller ? m_controller->getManager() : nullptr;
    return controllers ? controllers->getDocumentManager() : nullptr;
}

void EditorStatusController::applyEncoding(uint32_t codePage) {
    if (!m_controller)
        return;
    if (DocumentManager* manager = documents())
        manager->setDefaultEncoding(codePage);
    m_controller->setEncoding(codePage);
    onFileStateChanged();
}

void EditorStatusController::applyLineEnding(uint32_t style) {
    if (!m_controller)
        return;
    if (DocumentManager* manager = documents())
        manager->setDefaultLineEnding(static_cast<int32_t>(style));
    m_controller->setLineEnding(static_cast<int32_t>(style));
    onFileStateChanged();
}

void EditorStatusController::applyIndent(uint32_t choice) {
    if (!m_controller)
        return;
    const zem::Indentation& indentation = m_controller->getSettings().indentation;
    int width = indentation.getWidth();
    bool softTabs = indentation.isSoftTabs();
    if (choice == TOGGLE_SOFT_TABS)
        softTabs = !softTabs;
    else
        width = static_cast<int>(choice);
    width = std::max(1, std::min(16, width));
    if (DocumentManager* manager = documents())
        manager->setIndentDefaults(softTabs, width);
    m_controller->setIndentation(width, softTabs);
    onFileStateChanged();
}

bool EditorStatusController::popUnder(ViewVirtualButton* button, Menu& menu, size_t& chosen) {
    if (!button || !menu.menu)
        return false;
    auto* host = dynamic_cast<afViewPlatform*>(button->getOwner());
    if (!host)
        return false;
    afRect rect;
    button->getHostRect(rect);
    POINT point{rect.left, rect.bottom};
    ClientToScreen(host->getHandle(), &point);
    button->setState(ViewVirtualButton::STATE_PRESSED);
    afMenuNode* node = menu.menu->popup(host->getHandle(), point.x, point.y, false);
    button->setState(ViewVirtualButton::STATE_NORMAL);
    for (size_t i = 0; i < menu.choices.size(); ++i) {
        if (menu.choices[i].first == node) {
            chosen = i;
            return true;
        }
    }
    return false;
}

void EditorStatusController::showLanguageMenu(void* self, ViewVirtualButton* button, afEvent*) {
    auto* me = static_cast<EditorStatusController*>(self);
    Menu menu = me->buildLanguageMenu();
    size_t chosen = 0;
    if (me->popUnder(button, menu, chosen))
        me->applyLanguage(menu.languageNames[menu.choices[chosen].second]);
}

void EditorStatusController::showEncodingMenu(void* self, ViewVirtualButton* button, afEvent*) {
    auto* me = static_cast<EditorStatusController*>(self);
    Menu menu = me->buildEncodingMenu();
    size_t chosen = 0;
    if (me->popUnder(button, menu, chosen))
        me->applyEncoding(menu.choices[chosen].second);
}

void EditorStatusController::showLineEndingMenu(void* self, ViewVirtualButton* button, afEvent*) {
    auto* me = static_cast<EditorStatusController*>(self);
    Menu menu = me->buildLineEndingMenu();
    size_t chosen = 0;
    if (me->popUnder(button, menu, chosen))
        me->applyLineEnding(menu.choices[chosen].second);
}

void EditorStatusController::showIndentMenu(void* self, ViewVirtualButton* button, afEvent*) {
    auto* me = static_cast<EditorStatusController*>(self);
    Menu menu = me->buildIndentMenu();
    size_t chosen = 0;
    if (me->popUnder(button, menu, chosen))
        me->applyIndent(menu.choices[chosen].second);
}

} // namespace corvel
