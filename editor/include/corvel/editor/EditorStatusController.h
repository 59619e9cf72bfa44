// Drives the main window's tool strip for the active document: caret line and character,
// the grammar, the encoding, the line-ending style and the indentation, each on a
// window-less button; the last four open a menu that changes the document.
#pragma once
#include "corvel/document/DocumentController.h"
#include "zem/base/Object.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace corvel {

class DocumentManager;
class LanguageManager;
class ToolBar;
class ViewVirtualButton;
class afEvent;
class afMenu;
class afMenuItem;

class EditorStatusController : public zem::Object {
public:
    // A menu the way a button shows it: each choosable item with the value it applies.
    struct Menu {
        std::unique_ptr<afMenu> menu;
        std::vector<std::pair<afMenuItem*, uint32_t>> choices;
        std::vector<std::wstring> languageNames; // the language menu: the name of each choice
    };
    // Values of the indentation menu's items: widths, and the soft-tab switch.
    static constexpr uint32_t TOGGLE_SOFT_TABS = 0xFFFFFFFFu;

    // strip: the tool strip the buttons join (not owned); languages may be null.
    explicit EditorStatusController(ToolBar* strip, LanguageManager* languages = nullptr);
    ~EditorStatusController() override;

    // Binding another controller first lets go of the bound one; null clears the strip.
    void setDocumentController(DocumentController* controller);
    DocumentController* getDocumentController() const { return m_controller; }
    void setLanguageManager(LanguageManager* languages) { m_languages = languages; }

    ViewVirtualButton* getLineButton() const { return m_line; }
    ViewVirtualButton* getCharacterButton() const { return m_character; }
    ViewVirtualButton* getLanguageButton() const { return m_language; }
    ViewVirtualButton* getEncodingButton() const { return m_encoding; }
    ViewVirtualButton* getLineEndingButton() const { return m_lineEnding; }
    ViewVirtualButton* getIndentButton() const { return m_indent; }
    bool isBuilt() const { return m_built; }

    // The menus as the buttons open them, built without popping up (null menu when unbound).
    Menu buildLanguageMenu();
    Menu buildEncodingMenu();
    Menu buildLineEndingMenu();
    Menu buildIndentMenu();
    // What choosing an item of each menu does.
    void applyLanguage(const std::wstring& name);
    void applyEncoding(uint32_t codePage);
    void applyLineEnding(uint32_t style);
    void applyIndent(uint32_t choice);

    void onCaretMoved(const TextPosition& position);
    void onLanguageChanged(const wchar_t* name);
    void onFileStateChanged();

private:
    static void caretNotice(void* self, DocumentController*, const TextPosition* caret, uint32_t options);
    static void formatNotice(void* self, DocumentController*, const DocumentController::Settings*,
                             const DocumentController::Settings*);
    static void languageNotice(void* self, DocumentController*, const wchar_t* name);
    static void showLanguageMenu(void* self, ViewVirtualButton* button, afEvent* event);
    static void showEncodingMenu(void* self, ViewVirtualButton* button, afEvent* event);
    static void showLineEndingMenu(void* self, ViewVirtualButton* button, afEvent* event);
    static void showIndentMenu(void* self, ViewVirtualButton* button, afEvent* event);

    void build(bool shown);
    void clearStrip();
    DocumentManager* documents() const;
    ViewVirtualButton* addButton(const wchar_t* label, const wchar_t* text, int minimumWidth);
    // Pops the menu up under the button, pressed while it is open; the chosen item's value.
    bool popUnder(ViewVirtualButton* button, Menu& menu, size_t& chosen);

    ToolBar* m_strip; // not owned
    DocumentController* m_controller = nullptr;
    ViewVirtualButton* m_line = nullptr; // the buttons belong to the strip
    ViewVirtualButton* m_character = nullptr;
    ViewVirtualButton* m_language = nullptr;
    ViewVirtualButton* m_indent = nullptr;
    ViewVirtualButton* m_encoding = nullptr;
    ViewVirtualButton* m_lineEnding = nullptr;
    bool m_built = false;
    LanguageManager* m_languages; // not owned
};

} // namespace corvel
