// The brackets the entry editors hold while they read or change a document or an entry,
// closed however the scope ends.
#pragma once
#include "corvel/bundles/BundleEntry.h"
#include "corvel/document/DocumentController.h"

#include <string>

namespace corvel {

// An edit bracket of the controller.
class EditBracket {
public:
    EditBracket(DocumentController& controller, int32_t mode) : m_controller(controller) {
        m_controller.beginEdit(mode);
    }
    ~EditBracket() { m_controller.endEdit(); }
    EditBracket(const EditBracket&) = delete;
    EditBracket& operator=(const EditBracket&) = delete;

private:
    DocumentController& m_controller;
};

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
