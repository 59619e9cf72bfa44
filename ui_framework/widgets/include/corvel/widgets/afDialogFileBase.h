// The system's common file dialogs as framework windows: the caller fills an options
// record, runs show, and reads the chosen paths and file type back from the record.
#pragma once
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/afDialogFileOptions.h"

#include <commdlg.h>
#include <memory>

namespace corvel {

class afDialogFileBase : public afWindow {
public:
    // Characters of the path buffer, terminator excluded.
    static constexpr DWORD PATH_BUFFER_SIZE = 0xFFFF;

    explicit afDialogFileBase(afView* owner) : afWindow(owner) {}

    // Runs the dialog: RESULT_OK with the results in options, else RESULT_CANCEL with
    // them empty.
    uint32_t show(afDialogFileOptions& options);

    // CDN_FILEOK: false keeps the dialog open.
    virtual bool validate(HWND hook, OPENFILENAMEW& dialog);
    // Runs the system dialog over the filled record.
    virtual uint32_t runCommonDialog(OPENFILENAMEW& dialog) = 0;

    // The explorer-style hook the record names; the system calls it with the record's
    // custom data pointing at the dialog object.
    static UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

    int getInitialTypeIndex() const { return m_initialType; }
    int getCurrentTypeIndex() const { return m_currentType; }

protected:
    afDialogFileOptions* m_options = nullptr;
    std::unique_ptr<wchar_t[]> m_buffer; // PATH_BUFFER_SIZE + 1 characters while shown
    int m_initialType = 0;
    int m_currentType = 0;

private:
    UINT_PTR onNotify(HWND hook, OFNOTIFYW& notice);
};

class afDialogFileOpen : public afDialogFileBase {
public:
    using afDialogFileBase::afDialogFileBase;
    uint32_t runCommonDialog(OPENFILENAMEW& dialog) override;
};

class afDialogFileSave : public afDialogFileBase {
public:
    // The file-name box of the system dialog.
    static constexpr int NAME_BOX_ID = 1148;

    using afDialogFileBase::afDialogFileBase;
    uint32_t runCommonDialog(OPENFILENAMEW& dialog) override;
    // Completes a name typed without extension once per run (showing it in the name
    // box and keeping the dialog open); a second bare press is accepted as typed.
    bool validate(HWND hook, OPENFILENAMEW& dialog) override;

protected:
    int m_attempts = 0; // bare names pressed during this run
};

} // namespace corvel
