#include "corvel/fileops/FileProgressOperationUI.h"

#include "corvel/fileops/FileErrorUI.h"
#include "corvel/ui/afApp.h"
#include "corvel/app/OperationProgressDialog.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "zem/base/Format.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/text/ReadableSize.h"

namespace corvel {

namespace {

constexpr uint32_t RESULT_YES = 0x79dcdd47u;
constexpr uint32_t RESULT_NO = 0x5616c572u;
constexpr int STYLE_MARQUEE = 0;
constexpr int STYLE_SMOOTH = 1;

OperationProgressDialog* createDialog(afView* owner) {
    if (owner)
        return OperationProgressDialog::create(owner);
    auto* dialog = new OperationProgressDialog(nullptr);
    dialog->afViewPlatform::create();
    return dialog;
}

} // namespace

FileProgressOperationUI::FileProgressOperationUI(afView* owner, zem::FileProgressHandler* handler,
                                                 const std::wstring& verb)
    : m_handler(handler), m_verb(verb), m_owner(owner) {
    m_dialog = createDialog(owner);
    m_dialog->setCloseCallback(this, &FileProgressOperationUI::confirmCancel);
    m_handler->addListener(&FileProgressOperationUI::onEvent, this);
    m_handler->setTickCallback(&FileProgressOperationUI::onHandlerTick, this);
    m_errorUI.reset(new FileErrorUI(m_dialog, handler));
}

FileProgressOperationUI::~FileProgressOperationUI() {
    m_errorUI.reset();
    m_handler->setTickCallback(nullptr, nullptr);
    m_handler->removeListener(&FileProgressOperationUI::onEvent, this);
    // Destroyed while the dialog is whole, so it enables the owners it disabled.
    if (m_dialog->getHandle())
        DestroyWindow(m_dialog->getHandle());
    delete m_dialog;
}

std::wstring FileProgressOperationUI::countedText(const std::wstring& verb, uint32_t items, uint64_t bytes) {
    std::wstring size;
    zem::formatByteSize(&size, bytes);
    return zem::format(L"%s %u %s", verb.c_str(), items, items == 1 ? L"file (" : L"files (") + size + L")...";
}

void FileProgressOperationUI::onEvent(void* self, zem::FileProgressHandler*, uint32_t event) {
    auto* me = static_cast<FileProgressOperationUI*>(self);
    if (event == zem::FileProgressHandler::EVENT_LIST_STARTED) {
        me->onEstimating();
        me->m_phase = PHASE_ESTIMATING;
    } else if (event == zem::FileProgressHandler::EVENT_EXECUTION_STARTED) {
        me->onCounted();
        me->m_phase = PHASE_WORKING;
    }
}

void FileProgressOperationUI::onHandlerTick(void* self, zem::FileProgressHandler*) {
    auto* me = static_cast<FileProgressOperationUI*>(self);
    if (me->m_phase == PHASE_WORKING)
        me->onTick();
    afApp::processMessages(afApp::getInstance());
}

void FileProgressOperationUI::onEstimating() {
    m_dialog->show();
    m_dialog->setProgressStyle(STYLE_MARQUEE);
    m_dialog->setHeading(L"Estimating...");
}

void FileProgressOperationUI::onCounted() {
    m_dialog->setProgressStyle(STYLE_SMOOTH);
    m_dialog->setRange(static_cast<int>(m_handler->getItemsToDo()));
    m_dialog->setHeading(countedText(m_verb, m_handler->getItemsToDo(), m_handler->getBytesToDo()));
}

void FileProgressOperationUI::onTick() {
    m_dialog->setPosition(static_cast<int>(m_handler->getItemsDone()));
    m_dialog->setRemaining(m_handler->getRemainingSeconds());
}

bool FileProgressOperationUI::confirmCancel(void* self, afWindow*) {
    auto* me = static_cast<FileProgressOperationUI*>(self);
    if (me->m_phase == PHASE_NONE)
        return true;
    try {
        std::unique_ptr<afMessageBox> box(FileErrorUI::createBox(me->m_dialog));
        box->setTitle(L"Cancel operation...");
        box->addLabel(L"Do you really want to cancel this operation?", 0, 2, afLabel::WRAP_WORDS);
        box->addButton(L"&Yes", RESULT_YES, false, 'Y');
        box->addButton(L"&No", RESULT_NO, false, 'N');
        if (box->runModal() == RESULT_YES)
            me->m_handler->requestCancel();
    } catch (...) {
    }
    // The operation's end closes the dialog.
    return false;
}

FileRemoveUI::FileRemoveUI(afView* owner, zem::FileProgressHandler* handler)
    : FileProgressOperationUI(owner, handler, L"Removing") {}

void FileRemoveUI::onEstimating() {
    FileProgressOperationUI::onEstimating();
    m_dialog->getTarget()->setVisible(false);
    m_dialog->getSourceCaption()->setVisible(false);
    m_dialog->getTargetCaption()->setVisible(false);
    m_dialog->setSource(m_handler->getPath());
}

void FileRemoveUI::onTick() {
    FileProgressOperationUI::onTick();
    m_dialog->setSource(m_handler->getPath());
}

FileCopyUI::FileCopyUI(afView* owner, zem::FileProgressHandler* handler, const std::wstring& verb)
    : FileProgressOperationUI(owner, handler, verb) {}

void FileCopyUI::onEstimating() {
    FileProgressOperationUI::onEstimating();
    m_dialog->setSource(m_handler->getSourcePath());
    m_dialog->setTarget(m_handler->getDestinationPath());
}

void FileCopyUI::onTick() {
    FileProgressOperationUI::onTick();
    m_dialog->setSource(m_handler->getSourcePath());
    m_dialog->setTarget(m_handler->getDestinationPath());
}

} // namespace corvel
