// Scoped brackets of a document controller: an edit bracket or a selection-change batch
// opened for a scope and closed on every way out of it, also when something throws.
#pragma once
#include "corvel/document/DocumentController.h"

namespace corvel {

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

class ChangeBatchScope {
public:
    explicit ChangeBatchScope(DocumentController& controller) : m_controller(controller) {
        m_controller.beginChangeBatch();
    }
    ~ChangeBatchScope() { m_controller.endChangeBatch(); }
    ChangeBatchScope(const ChangeBatchScope&) = delete;
    ChangeBatchScope& operator=(const ChangeBatchScope&) = delete;

private:
    DocumentController& m_controller;
};

} // namespace corvel
