// A virtual view that records the tree and layout notifications it receives.
#pragma once
#include "corvel/ui/afLayout.h"

#include <string>
#include <vector>

namespace uitest {

class RecordingView : public corvel::afLayout {
public:
    RecordingView(corvel::afView* owner, std::vector<std::string>* journal, const char* tag)
        : corvel::afLayout(owner), m_journal(journal), m_tag(tag) {}

    void onChildAdded(corvel::afView* child, int index) override {
        corvel::afLayout::onChildAdded(child, index);
        note("added");
    }
    void onChildRemoved(corvel::afView* child) override {
        corvel::afLayout::onChildRemoved(child);
        note("removed");
    }
    void onMeasure(corvel::afViewMeasureSpec w, corvel::afViewMeasureSpec h) override {
        ++measures;
        corvel::afLayout::onMeasure(w, h);
    }
    void onLayout(bool changed, const corvel::afRect& rect) override {
        ++layouts;
        corvel::afLayout::onLayout(changed, rect);
    }
    void requestLayout(const char* reason) override {
        ++requests;
        corvel::afLayout::requestLayout(reason);
    }

    int measures = 0;
    int layouts = 0;
    int requests = 0;

private:
    void note(const char* what) {
        if (m_journal)
            m_journal->push_back(m_tag + std::string(":") + what);
    }
    std::vector<std::string>* m_journal;
    std::string m_tag;
};

} // namespace uitest
