#include "corvel/projects/ProjectPrompts.h"

#include "corvel/projects/ProjectItemNames.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"

#include <memory>

namespace corvel {
namespace projectprompts {

namespace {

// Made the way the framework makes boxes, but also without an owner.
template <class T> T* makeWindow(T* window) {
    window->afViewPlatform::create();
    return window;
}

struct NameRules {
    const wchar_t* emptyMessage;
    bool checkNames;

    static bool validate(void* self, const std::wstring& text, std::wstring* error) {
        auto* rules = static_cast<NameRules*>(self);
        if (rules->emptyMessage && text.empty()) {
            *error = rules->emptyMessage;
            return false;
        }
        if (rules->checkNames && !ProjectItemNames::isSafe(text)) {
            *error = ProjectItemNames::UNSAFE_NAME_MESSAGE;
            return false;
        }
        return true;
    }
};

} // namespace

uint32_t ask(afView* owner, const std::wstring& title, const std::vector<Line>& lines,
             const std::vector<Button>& buttons) {
    std::unique_ptr<afMessageBox> box(makeWindow(new afMessageBox(owner)));
    box->setTitle(title.c_str());
    for (const Line& line : lines)
        box->addLabel(line.text, line.style, 1, afLabel::WRAP_WORDS);
    for (const Button& button : buttons)
        box->addButton(button.text, button.result, button.isDefault, button.key);
    return box->runModal();
}

bool askString(afView* owner, const std::wstring& title, const std::wstring& prompt, std::wstring& value,
               const wchar_t* emptyMessage, bool checkNames) {
    std::unique_ptr<StringDialog> dialog(makeWindow(new StringDialog(owner, false)));
    NameRules rules{emptyMessage, checkNames};
    dialog->setTitle(title.c_str());
    dialog->setPrompt(prompt);
    dialog->setValue(value);
    if (emptyMessage || checkNames)
        dialog->setValidator(&rules, &NameRules::validate);
    if (dialog->runModal() != RESULT_YES)
        return false;
    value = dialog->getValue();
    return true;
}

} // namespace projectprompts
} // namespace corvel
