// A single-line edit over the native control with padding, vertical centring, Ctrl+A
// and a cue text shown at the right while the field is empty.
#pragma once
#include "corvel/widgets/afControl.h"
#include "zem/base/CallbackList.h"

#include <string>

namespace corvel {

class afControlEdit : public afControl {
public:
    typedef zem::CallbackList<void(afControlEdit*)> ChangeListeners;
    // True claims the key.
    typedef bool (*KeyFunction)(void* object, afControlEdit* edit, afEvent* event);

    static constexpr LRESULT DIALOG_CODE = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;

    explicit afControlEdit(afView* parent) : afControl(parent) { setNativePaint(true); }

    // Null for a null parent.
    static afControlEdit* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onNotify(afMessage* message) override;
    bool onRawMessage(afMessage* message) override;
    bool onKeyDown(afEvent* event) override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;

    // True for a non-empty selection.
    bool getSelection(int& start, int& end) const;
    void setSelection(int start, int end);
    void selectAll();
    void limitToThree();
    // Shown while the field is empty; repaints at once.
    void setCueText(const std::wstring& text);
    const std::wstring& getCueText() const { return m_cueText; }
    // The text line's height in the edit's font.
    int getLineHeight() const;
    // The cue text's width in the edit's font; 0 without a cue or a window.
    int getCueWidth() const;

    ChangeListeners& changeListeners() { return m_changeListeners; }
    afCallback<KeyFunction> keyCallback;

private:
    void placeFormattingRect();
    void paintCue();

    ChangeListeners m_changeListeners;
    std::wstring m_cueText;
};

} // namespace corvel
