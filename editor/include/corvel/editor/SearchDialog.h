// The modeless find and replace window: a scope tab, a find field and (in replace mode)
// a replace field that are editors of their own, the search options and the buttons that
// hand requests to the search manager.
#pragma once
#include "corvel/editor/SearchDialogUI.h"
#include "corvel/ui/afWindowKinds.h"
#include "corvel/widgets/afActionHandler.h"

namespace corvel {

class DocumentController;
class DocumentControllerManager;
class Editor;
class SearchManager;
class afControlButton;
class afControlCheckBox;
class afControlTabs;
class afLabel;
class afLayoutLinear;

class SearchDialog : public afWindowDialog, public SearchDialogUI, public afActionHandler {
public:
    SearchDialog(afView* owner, SearchManager* manager, DocumentControllerManager* controllers);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onBeforeDestroy() override;
    bool onCloseRequest() override;

    // SearchUI
    bool confirmWrapAround(SearchRequest* request) override;
    void setRequest(const SearchRequest* request) override;
    bool getRequest(SearchRequest* request) override;
    void activate() override {}
    bool isShown() const override { return isVisible(); }
    void setShown(bool shown) override;
    // SearchDialogUI
    void setReplaceMode(bool replace) override;
    void selectScope(uint32_t scopeId) override;
    void focusFindText() override;
    void putTexts(const std::wstring& findText, const std::wstring& replaceText) override;

    // A request filled from the fields, dispatched with the action.
    bool search(uint32_t action, bool backward);
    bool isReplaceMode() const { return m_replaceMode; }

    bool onFindNext(afActionEvent* event);
    bool onFindPrevious(afActionEvent* event);

    Editor* getFindField() const { return m_find; }
    Editor* getReplaceField() const { return m_replace; }
    afControlTabs* getTabs() const { return m_tabs; }
    afLabel* getFindLabel() const { return m_findLabel; }
    afLabel* getReplaceLabel() const { return m_replaceLabel; }
    afControlCheckBox* getRegEx() const { return m_regEx; }
    afControlCheckBox* getMatchCase() const { return m_matchCase; }
    afControlCheckBox* getWholeWords() const { return m_wholeWords; }
    afControlCheckBox* getWrapAround() const { return m_wrapAround; }
    afControlCheckBox* getUseEscapes() const { return m_useEscapes; }
    afControlButton* getReplaceButton() const { return m_replaceButton; }
    afControlButton* getReplaceAllButton() const { return m_replaceAll; }
    afControlButton* getPreviousButton() const { return m_previous; }
    afControlButton* getNextButton() const { return m_next; }

private:
    static void onButton(void* self, afControlButton* button);
    static void onRegExChanged(void* self, afControlCheckBox* box);
    Editor* makeField(const wchar_t* name, DocumentController*& controller);
    static std::wstring textOf(DocumentController* controller);
    static void putText(Editor* field, DocumentController* controller, const std::wstring& text);
    uint32_t selectedScope() const;
    // The fields, labels and default button of the mode, without the title; false before
    // the window exists.
    bool showMode(bool replace);

    SearchManager* m_manager;                 // not owned
    DocumentControllerManager* m_controllers; // not owned; may be null
    bool m_replaceMode = false;
    afControlTabs* m_tabs = nullptr;
    afLabel* m_findLabel = nullptr;
    afLabel* m_replaceLabel = nullptr;
    Editor* m_find = nullptr;
    Editor* m_replace = nullptr;
    DocumentController* m_findController = nullptr;    // the find field's own
    DocumentController* m_replaceController = nullptr; // the replace field's own
    afControlCheckBox* m_regEx = nullptr;
    afControlCheckBox* m_matchCase = nullptr;
    afControlCheckBox* m_wholeWords = nullptr;
    afControlCheckBox* m_wrapAround = nullptr;
    afControlCheckBox* m_useEscapes = nullptr;
    afControlButton* m_replaceButton = nullptr;
    afControlButton* m_replaceAll = nullptr;
    afControlButton* m_previous = nullptr;
    afControlButton* m_next = nullptr;
};

} // namespace corvel
