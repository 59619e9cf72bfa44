// The panel in which the bundle editor shows one entry: the kind's form above the list of
// the entry's validation problems. Subclasses build the form and make, show and store
// the per-entry states (BundleEntryEditorState) that keep the edits between visits.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/widgets/afContainer.h"

#include <string>

namespace corvel {

class afControlListView;
class afLayoutLinear;
class BundleEntry;
class BundleEntryEditorState;
class ValidationErrorList;

class BundleEntryEditor : public afContainer {
public:
    static constexpr int LIST_HEIGHT = 110;
    typedef Callback<void(BundleEntryEditor*)> ModifiedCallback;

    explicit BundleEntryEditor(afView* parent);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;

    // A new state for entry, which the caller owns.
    virtual BundleEntryEditorState* createState(BundleEntry* entry);
    // Shows the state (the base keeps it).
    virtual void attach(BundleEntryEditorState* state);
    // Stops showing it (the base forgets it).
    virtual void detach(BundleEntryEditorState* state);
    // Validates a state that changed while shown.
    virtual void checkState(BundleEntryEditorState* state) { (void)state; }
    // The state changed outside the editor.
    virtual void stateChanged(BundleEntryEditorState* state) { (void)state; }
    // Writes what the controls hold into the state (before it is applied or left).
    virtual void storeState(BundleEntryEditorState* state) { (void)state; }

    // Fills the list with the problems, one row each: the text and the severity.
    void showValidation(const ValidationErrorList& errors);
    afControlListView* getValidationList() const { return m_list; }
    BundleEntryEditorState* getState() const { return m_state; }
    // The caption of the editor's tab or heading.
    const std::wstring& getCaption() const { return m_caption; }

    // Called when the shown content is first changed.
    ModifiedCallback modifiedCallback;

protected:
    // Adds the kind's own views to the panel's column, above the list.
    virtual void buildForm(afLayoutLinear* column) { (void)column; }
    void notifyModified();
    // The shown content changed: marks the state, and tells the modified callback when the
    // state was not modified before.
    void contentChanged();

    std::wstring m_caption;
    BundleEntryEditorState* m_state = nullptr; // not owned

private:
    afControlListView* m_list = nullptr;
};

// The severity's name in the validation list.
const wchar_t* severityName(uint32_t severity);

} // namespace corvel
