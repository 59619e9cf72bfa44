#include "corvel/widgets/afActionInvokerTab.h"

#include "corvel/document/ScopeSelector.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTriggerTab.h"
#include "zem/base/CharClass.h"

#include <algorithm>

namespace corvel {
namespace {

const uint16_t WORD_CLASS_MASK = zem::CHAR_WORD | zem::CHAR_SPACE;

// Class flags of a code point; the table knows the basic plane only, and the
// supplementary planes are almost all letters and ideographs.
uint16_t classOf(uint32_t codePoint) {
    if (codePoint >= 0x10000)
        return zem::CHAR_WORD;
    return zem::getCharFlags(static_cast<wchar_t>(codePoint)) & WORD_CLASS_MASK;
}

bool isHigh(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLow(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

uint32_t combine(wchar_t high, wchar_t low) {
    return 0x10000 + ((static_cast<uint32_t>(high) - 0xD800) << 10) + (static_cast<uint32_t>(low) - 0xDC00);
}

// A word may start at start unless the code points on both sides are of one word class.
bool startsAtBoundary(const wchar_t* text, size_t length, size_t start) {
    if (start == 0)
        return true;
    uint32_t before = text[start - 1];
    if (isLow(text[start - 1]) && start >= 2 && isHigh(text[start - 2]))
        before = combine(text[start - 2], text[start - 1]);
    uint32_t at = text[start];
    if (isHigh(text[start]) && start + 1 < length && isLow(text[start + 1]))
        at = combine(text[start], text[start + 1]);
    uint16_t classBefore = classOf(before);
    uint16_t classAt = classOf(at);
    return !(classBefore != 0 && classAt != 0 && classBefore == classAt);
}

} // namespace

afActionInvokerTab::afActionInvokerTab(afActionRegistry* registry) : afActionInvoker(registry) {}

afActionInvokerTab::~afActionInvokerTab() {
    for (afActionTriggerTab* trigger : m_triggers)
        delete trigger;
}

afAction* afActionInvokerTab::bindWord(const wchar_t* word, afAction* action) {
    if (!word || !*word || !action)
        return action;
    afActionTriggerTab* trigger = new afActionTriggerTab(action, word);
    size_t length = trigger->getWord().size();
    auto shorter = std::find_if(m_triggers.begin(), m_triggers.end(),
                                [length](afActionTriggerTab* listed) { return listed->getWord().size() < length; });
    m_triggers.insert(shorter, trigger);
    action->addTrigger(trigger);
    return action;
}

void afActionInvokerTab::removeTrigger(afAction* action, afActionTrigger* trigger) {
    if (!action || !trigger || trigger->getAction() != action || trigger->getEventType() != afActionEventType::TAB)
        return;
    auto it = std::find(m_triggers.begin(), m_triggers.end(), trigger);
    if (it == m_triggers.end())
        return;
    action->removeTrigger(trigger);
    m_triggers.erase(it);
    delete trigger;
}

size_t afActionInvokerTab::invoke(afActionMatchList& matches, ScopePath& context, const wchar_t* text, size_t length) {
    if (!text)
        length = 0;
    ScopeSelectorMatcher matcher(context);
    uint64_t best = 1;
    afActionMatchList candidates;
    size_t lastLength = static_cast<size_t>(-1);
    bool lengthFailed = false;
    for (afActionTriggerTab* trigger : m_triggers) {
        const std::wstring& word = trigger->getWord();
        size_t wordLength = word.size();
        if (wordLength > length)
            continue;
        if (wordLength != lastLength) {
            lastLength = wordLength;
            lengthFailed = !startsAtBoundary(text, length, length - wordLength);
        }
        if (lengthFailed || word.compare(0, wordLength, text + length - wordLength, wordLength) != 0)
            continue;
        ScopeMatch result;
        if (!matcher.match(trigger->getAction()->getSelector(), result, false) || result.score < best)
            continue;
        if (result.score > best) {
            candidates.clear();
            best = result.score;
        }
        candidates.push_back(afActionMatch{result.score, wordLength, trigger->getAction(), trigger});
    }
    size_t appended = 0;
    for (const afActionMatch& candidate : candidates) {
        if (candidate.secondary != candidates.front().secondary)
            break;
        matches.push_back(candidate);
        ++appended;
    }
    return appended;
}

} // namespace corvel
