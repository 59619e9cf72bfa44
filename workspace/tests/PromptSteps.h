// Answers the prompts a call shows from inside their modal loops: a thread timer offers each
// step, in order, until it reports itself done; a step waits for its window to appear.
#pragma once
#include "corvel/ui/afViewPlatform.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace workspacetest {

typedef std::function<bool()> PromptStep;

inline std::deque<PromptStep>& promptSteps() {
    static std::deque<PromptStep> steps;
    return steps;
}

inline void CALLBACK offerPromptStep(HWND, UINT, UINT_PTR, DWORD) {
    auto& steps = promptSteps();
    if (steps.empty())
        return;
    PromptStep step = steps.front();
    if (step() && !steps.empty())
        steps.pop_front();
}

// Runs call with the steps offered 20 ms apart; how many steps were left untaken.
inline size_t runWithPrompts(const std::function<void()>& call, std::vector<PromptStep> steps) {
    promptSteps().assign(steps.begin(), steps.end());
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &offerPromptStep);
    call();
    KillTimer(nullptr, timer);
    size_t left = promptSteps().size();
    promptSteps().clear();
    return left;
}

// The visible window of this thread whose view is a T, or null.
template <class T> T* findVisible() {
    struct Search {
        T* found = nullptr;
        static BOOL CALLBACK visit(HWND hwnd, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            if (!IsWindowVisible(hwnd))
                return TRUE;
            search->found = dynamic_cast<T*>(corvel::afViewPlatform::viewFromHandle(hwnd));
            return search->found ? FALSE : TRUE;
        }
    } search;
    EnumThreadWindows(GetCurrentThreadId(), &Search::visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::wstring windowText(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
}

inline void collectLabels(const corvel::afView* view, std::vector<std::wstring>& texts) {
    for (const corvel::afView* child : view->getChildren()) {
        if (auto* label = dynamic_cast<const corvel::afLabel*>(child)) {
            if (!label->getText().empty())
                texts.push_back(label->getText());
        }
        collectLabels(child, texts);
    }
}

// What a prompt showed, recorded before it was answered.
struct SeenPrompt {
    std::wstring title;
    std::vector<std::wstring> labels;
    std::vector<std::wstring> buttons;
    std::vector<bool> enabled;
    bool checkBox = false;
    HWND owner = nullptr;

    void record(corvel::afMessageBox* box) {
        title = box->getTitle();
        labels.clear();
        collectLabels(box, labels);
        buttons.clear();
        enabled.clear();
        for (corvel::afControlButton* button : box->getButtons()) {
            buttons.push_back(windowText(button->getHandle()));
            enabled.push_back(IsWindowEnabled(button->getHandle()) != FALSE);
        }
        checkBox = box->getCheckBox() && box->getCheckBox()->isVisible();
        owner = GetWindow(box->getHandle(), GW_OWNER);
    }
    bool hasLabel(const std::wstring& text) const {
        for (const std::wstring& label : labels) {
            if (label == text)
                return true;
        }
        return false;
    }
};

inline void clickButton(corvel::afControlButton* button) {
    SendMessageW(button->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(button->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// A step that waits for a message box, records it into seen (when given), ticks its check
// box when asked and clicks the button with the given text.
inline PromptStep answerPrompt(const std::wstring& button, SeenPrompt* seen = nullptr, bool tick = false) {
    return [button, seen, tick]() {
        corvel::afMessageBox* box = findVisible<corvel::afMessageBox>();
        if (!box)
            return false;
        if (seen)
            seen->record(box);
        if (tick && box->getCheckBox())
            SendMessageW(box->getCheckBox()->getHandle(), BM_SETCHECK, BST_CHECKED, 0);
        for (corvel::afControlButton* candidate : box->getButtons()) {
            if (windowText(candidate->getHandle()) == button) {
                clickButton(candidate);
                return true;
            }
        }
        // No such button: close the box so the test ends, and fail through the leftover step.
        box->close(0x5616c572u);
        return false;
    };
}

// A step that waits for a string dialog, records it (and the text it offered) when asked,
// types text into its field and presses OK.
inline PromptStep typeIntoDialog(const std::wstring& text, SeenPrompt* seen = nullptr,
                                 std::wstring* offered = nullptr) {
    return [text, seen, offered]() {
        auto* dialog = findVisible<corvel::StringDialog>();
        if (!dialog)
            return false;
        if (seen)
            seen->record(dialog);
        if (offered)
            *offered = windowText(dialog->getEdit()->getHandle());
        SetWindowTextW(dialog->getEdit()->getHandle(), text.c_str());
        clickButton(dialog->getButtons().at(0));
        return true;
    };
}

} // namespace workspacetest
