// The brackets the entry editors hold while they read or change a document or an entry,
// closed however the scope ends.
#pragma once
#include "corvel/bundles/BundleEntry.h"
#include "corvel/document/ControllerBrackets.h"

#include <string>

namespace corvel {

// The entry's update bracket, with a reference on the entry: an installed entry takes
// changes only inside one.
class UpdateBracket {
public:
    explicit UpdateBracket(BundleEntry& entry) : m_entry(entry) {
        m_entry.addRef();
        m_entry.beginUpdate();
    }
    ~UpdateBracket() {
        m_entry.endUpdate();
        m_entry.release();
    }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    BundleEntry& m_entry;
};

// The document's whole text, read in a bracket.
inline std::wstring wholeText(DocumentController& controller) {
    EditBracket read(controller, DocumentController::EDIT_READ);
    std::wstring text;
    controller.getAllText(text);
    return text;
}

} // namespace corvel
