// The quick-find strip: a one-line bar in the main window that searches the current
// document as the user types. Escape or its close button hides it.
#pragma once
#include "corvel/editor/SearchUI.h"
#include "corvel/widgets/afContainer.h"

#include <cstdint>

namespace corvel {

class SearchManager;
class ViewVirtualButton;
class afControlButton;
class afControlCheckBox;
class afControlEdit;
class afLabel;

class SearchStrip : public afContainer, public SearchUI {
public:
    SearchStrip(afView* parent, SearchManager* manager);

    // A strip whose window exists; null for a null parent.
    static SearchStrip* create(afView* parent, SearchManager* manager);

    void onCreated() override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    bool onKeyDown(afEvent* event) override;

    // SearchUI: the strip never asks before wrapping.
    bool confirmWrapAround(SearchRequest*) override { return true; }
    void setRequest(const SearchRequest* request) override;
    bool getRequest(SearchRequest* request) override;
    void activate() override;
    bool isShown() const override { return isVisible(); }
    void setShown(bool shown) override;

    // Fills a request from the fields and dispatches it; shows "No matches found." when
    // nothing was found.
    bool find(uint32_t action, bool backward);
    void close();

    afControlEdit* getEdit() const { return m_edit; }
    afControlButton* getNextButton() const { return m_next; }
    afControlButton* getPreviousButton() const { return m_previous; }
    afControlCheckBox* getMatchCase() const { return m_matchCase; }
    afControlCheckBox* getWholeWords() const { return m_wholeWords; }
    afLabel* getMessage() const { return m_message; }
    ViewVirtualButton* getCloseButton() const { return m_closeButton; }

private:
    static void onTextChanged(void* self, afControlEdit* edit);
    static void onOptionChanged(void* self, afControlCheckBox* box);
    static void onButton(void* self, afControlButton* button);
    static bool onEditKey(void* self, afControlEdit* edit, afEvent* event);
    static void onCloseClick(void* self, ViewVirtualButton* button, afEvent* event);

    SearchManager* m_manager; // not owned
    ViewVirtualButton* m_closeButton = nullptr;
    afControlEdit* m_edit = nullptr;
    afControlButton* m_next = nullptr;
    afControlButton* m_previous = nullptr;
    afControlCheckBox* m_matchCase = nullptr;
    afControlCheckBox* m_wholeWords = nullptr;
    afLabel* m_message = nullptr;
};

} // namespace corvel
