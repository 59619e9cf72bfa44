// The error prompt of a file operation: asks the user what to do about the handler's last
// error (replace, delete, retry, ignore, cancel) and answers with the handler's code.
#pragma once
#include <cstdint>

namespace zem {
class FileProgressHandler;
}

namespace corvel {

class afMessageBox;
class afView;

class FileErrorUI {
public:
    // Answers the handler's questions from now on; owner may be null (an ownerless box).
    FileErrorUI(afView* owner, zem::FileProgressHandler* handler);
    virtual ~FileErrorUI();
    FileErrorUI(const FileErrorUI&) = delete;
    FileErrorUI& operator=(const FileErrorUI&) = delete;

    // Shows the prompt modally; the answer code with UI_ForAll when the box was ticked.
    virtual uint32_t answerError();

    // The box a question is built in, before it runs; tests look at it through its window.
    static afMessageBox* createBox(afView* owner);
    // The prompt's title for an operation code: its name and "...".
    static const wchar_t* operationTitle(uint32_t operation);
    // The answer code for the result a prompt closed with.
    static uint32_t answerFor(uint32_t result);

private:
    static uint32_t onQuestion(void* self, zem::FileProgressHandler* handler);
    void fill(afMessageBox* box) const;

    afView* m_owner;
    zem::FileProgressHandler* m_handler;
};

} // namespace corvel
