// What a long file operation shows while it runs: an operation progress dialog fed from
// the handler's events and ticks, Cancel that asks first, and the error prompt owned by the
// dialog. The window stays responsive because every tick processes pending messages.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace zem {
class FileProgressHandler;
}

namespace corvel {

class FileErrorUI;
class OperationProgressDialog;
class afView;
class afWindow;

class FileProgressOperationUI {
public:
    enum Phase { PHASE_NONE = 0, PHASE_ESTIMATING = 1, PHASE_WORKING = 2 };

    // owner may be null (an ownerless dialog).
    FileProgressOperationUI(afView* owner, zem::FileProgressHandler* handler, const std::wstring& verb);
    virtual ~FileProgressOperationUI();
    FileProgressOperationUI(const FileProgressOperationUI&) = delete;
    FileProgressOperationUI& operator=(const FileProgressOperationUI&) = delete;

    virtual void onEstimating();
    virtual void onCounted();
    virtual void onTick();

    int getPhase() const { return m_phase; }
    OperationProgressDialog* getDialog() const { return m_dialog; }
    // "Copying 3 files (1.5 KB)...": the verb, the count and the total size.
    static std::wstring countedText(const std::wstring& verb, uint32_t items, uint64_t bytes);

protected:
    zem::FileProgressHandler* m_handler;
    OperationProgressDialog* m_dialog = nullptr;

private:
    static void onEvent(void* self, zem::FileProgressHandler* handler, uint32_t event);
    static void onHandlerTick(void* self, zem::FileProgressHandler* handler);
    static bool confirmCancel(void* self, afWindow* window);

    std::wstring m_verb;
    int m_phase = PHASE_NONE;
    afView* m_owner;
    std::unique_ptr<FileErrorUI> m_errorUI;
};

// Removal: one path line, the current path.
class FileRemoveUI : public FileProgressOperationUI {
public:
    FileRemoveUI(afView* owner, zem::FileProgressHandler* handler);
    void onEstimating() override;
    void onTick() override;
};

// Copying: source and destination lines.
class FileCopyUI : public FileProgressOperationUI {
public:
    FileCopyUI(afView* owner, zem::FileProgressHandler* handler, const std::wstring& verb = L"Copying");
    void onEstimating() override;
    void onTick() override;
};

class FileMoveUI : public FileCopyUI {
public:
    FileMoveUI(afView* owner, zem::FileProgressHandler* handler) : FileCopyUI(owner, handler, L"Moving") {}
};

} // namespace corvel
