#include "corvel/fileops/FileErrorUI.h"

#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "zem/base/Error.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/files/Path.h"

#include <memory>
#include <string>

namespace corvel {

namespace {

constexpr uint32_t RESULT_YES = 0x79dcdd47u;
constexpr uint32_t RESULT_NO = 0x67aa281fu;
constexpr uint32_t RESULT_SKIP = 0x0d88d6e2u;
constexpr uint32_t RESULT_RETRY = 0x2ee051e3u;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;
constexpr size_t MAX_ERROR_TEXT = 1024;
constexpr int ICON_QUESTION = 14;
constexpr int ICON_WARNING = 11;

std::wstring errorText(const zem::ErrorRecord& error) {
    std::wstring text = zem::formatErrorMessage(error);
    if (text.size() > MAX_ERROR_TEXT)
        text.resize(MAX_ERROR_TEXT);
    std::wstring crlf;
    crlf.reserve(text.size() + 8);
    for (wchar_t c : text) {
        if (c == L'\n' && (crlf.empty() || crlf.back() != L'\r'))
            crlf += L'\r';
        crlf += c;
    }
    return crlf;
}

bool isTargetInTheWay(uint32_t code) {
    return code == zem::FileProgressHandler::Q_REPLACE_FILE ||
           code == zem::FileProgressHandler::Q_REPLACE_READ_ONLY_FILE ||
           code == zem::FileProgressHandler::Q_REPLACE_DIRECTORY_CONTENT;
}

} // namespace

FileErrorUI::FileErrorUI(afView* owner, zem::FileProgressHandler* handler) : m_owner(owner), m_handler(handler) {
    m_handler->setQuestionCallback(&FileErrorUI::onQuestion, this);
}

FileErrorUI::~FileErrorUI() {
    m_handler->setQuestionCallback(nullptr, nullptr);
}

uint32_t FileErrorUI::onQuestion(void* self, zem::FileProgressHandler*) {
    // Called from inside a file operation: nothing may escape into it.
    try {
        return static_cast<FileErrorUI*>(self)->answerError();
    } catch (...) {
        return zem::FileProgressHandler::UI_Cancel;
    }
}

afMessageBox* FileErrorUI::createBox(afView* owner) {
    // Made as the framework makes boxes, but also without an owner: then it is a top-level
    // window of its own.
    auto* box = new afMessageBox(owner);
    box->afViewPlatform::create();
    return box;
}

const wchar_t* FileErrorUI::operationTitle(uint32_t operation) {
    static std::wstring titles[17];
    if (operation > zem::FileProgressHandler::OP_COPY_FILE)
        return L"Unspecified file operation...";
    std::wstring& title = titles[operation];
    if (title.empty())
        title = std::wstring(zem::FileProgressHandler::getOperationName(operation)) + L"...";
    return title.c_str();
}

uint32_t FileErrorUI::answerFor(uint32_t result) {
    switch (result) {
    case RESULT_YES:
        return zem::FileProgressHandler::UI_Yes;
    case RESULT_RETRY:
        return zem::FileProgressHandler::UI_Retry;
    case RESULT_SKIP:
    case RESULT_NO:
        return zem::FileProgressHandler::UI_Skip;
    default:
        return zem::FileProgressHandler::UI_Cancel;
    }
}

uint32_t FileErrorUI::answerError() {
    // The box is freed here, after its modal run: left to its owner, every prompt of a long
    // operation would stay in memory until the owner goes.
    std::unique_ptr<afMessageBox> box(createBox(m_owner));
    if (!box)
        return zem::FileProgressHandler::UI_Cancel;
    fill(box.get());
    uint32_t result = box->runModal();
    uint32_t answer = answerFor(result);
    if (result != RESULT_RETRY && box->isChecked())
        answer |= zem::FileProgressHandler::UI_ForAll;
    return answer;
}

void FileErrorUI::fill(afMessageBox* box) const {
    const zem::FileProgressHandler& handler = *m_handler;
    box->setTitle(operationTitle(handler.getOperation()));
    std::wstring text = errorText(handler.getError());
    if (isTargetInTheWay(handler.getError().code)) {
        const std::wstring& target = handler.getDestinationPath();
        const std::wstring& source = handler.getSourcePath();
        box->addLabel(text, 0, 2, afLabel::WRAP_WORDS);
        box->addLabel(zem::getFileName(target.c_str()), 1, 1, afLabel::WRAP_WORDS);
        box->addLabel(target, 2, 2, afLabel::WRAP_WORDS);
        box->addLabel(L"with", 3, 2, afLabel::WRAP_ELLIPSIS);
        box->addLabel(zem::getFileName(source.c_str()), 1, 1, afLabel::WRAP_WORDS);
        box->addLabel(source, 2, 2, afLabel::WRAP_WORDS);
    } else {
        box->addLabel(handler.getPath(), 1, 1, afLabel::WRAP_WORDS);
        box->addLabel(text, 2, 1, afLabel::WRAP_WORDS);
    }

    uint32_t kind = handler.getCategory();
    bool checkAllowed = handler.isSkipAllowed() && !handler.isConfirmSingly();
    const wchar_t* checkText = nullptr;
    int icon = ICON_QUESTION;
    switch (kind) {
    case zem::FileProgressHandler::CATEGORY_CONFIRM:
        box->addButton(L"&Yes", RESULT_YES, true);
        box->addButton(L"&No", RESULT_NO, false);
        break;
    case zem::FileProgressHandler::CATEGORY_REPLACE:
        box->addButton(L"&Replace", RESULT_YES, false, 'Y');
        box->addButton(L"&Don't replace", RESULT_SKIP, true, 'N');
        box->addButton(L"&Cancel", RESULT_CANCEL, false);
        checkText = L"Do this for all files";
        break;
    case zem::FileProgressHandler::CATEGORY_DELETE:
        box->addButton(L"&Delete", RESULT_YES, false, 'Y');
        box->addButton(L"Do&n't delete", RESULT_SKIP, true, 'N');
        box->addButton(L"&Cancel", RESULT_CANCEL, false);
        checkText = L"Do this for all objects";
        break;
    case zem::FileProgressHandler::CATEGORY_RETRY: {
        icon = ICON_WARNING;
        box->addButton(L"&Retry", RESULT_RETRY, true);
        afControlButton* ignore = box->addButton(L"&Ignore", RESULT_SKIP, false);
        if (!handler.isSkipAllowed())
            ignore->setEnabled(false);
        box->addButton(L"&Cancel", RESULT_CANCEL, false);
        checkText = L"Do this always for this error";
        break;
    }
    default:
        icon = ICON_WARNING;
        box->addButton(L"&OK", RESULT_YES, true);
        break;
    }
    if (checkText && checkAllowed)
        box->setCheckBox(checkText);
    if (afResources::exists())
        box->setIcon(&afResources::getIcon(icon));
}

} // namespace corvel
