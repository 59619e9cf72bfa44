// Keeps the tab words and answers, for the text before the caret and a context, which
// actions are candidates: the best-scoring scope first, then the longest word.
#pragma once
#include "corvel/widgets/afActionInvoker.h"
#include "corvel/widgets/afActionMatch.h"

#include <cstddef>
#include <list>
#include <string>

namespace corvel {

class afActionTriggerTab;
class ScopePath;

class afActionInvokerTab : public afActionInvoker {
public:
    explicit afActionInvokerTab(afActionRegistry* registry);
    ~afActionInvokerTab() override;

    // An empty or null word binds nothing. Returns the action.
    afAction* bindWord(const wchar_t* word, afAction* action);
    void removeTrigger(afAction* action, afActionTrigger* trigger) override;

    // text holds length units: the text before the caret. Appends the candidates (the
    // longest matching word at the best score, and its ties, in binding order) and returns
    // how many.
    size_t invoke(afActionMatchList& matches, ScopePath& context, const wchar_t* text, size_t length);

    size_t size() const { return m_triggers.size(); }

private:
    std::list<afActionTriggerTab*> m_triggers; // owned; longest word first, binding order among equals
};

} // namespace corvel
