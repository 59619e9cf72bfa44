#include "corvel/editor/PairedCharacterAction.h"

#include "EditorCommandTable.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/PairedCharacters.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"

#include <memory>

namespace corvel {

namespace {

// The pair the event's action carries; null for an action of another kind.
const PairedCharacterAction* pairOf(afActionEvent* event) {
    if (!event || !event->action || event->action->getTypeTag() != PairedCharacterAction::TYPE_TAG)
        return nullptr;
    return static_cast<const PairedCharacterAction*>(event->action);
}

bool typeOpening(afActionHandler& handler, afActionEvent* event) {
    DocumentController* controller = commandController(static_cast<EditorCmd&>(handler));
    if (!controller)
        return false;
    if (const PairedCharacterAction* pair = pairOf(event))
        PairedCharacters::typeOpening(*controller, pair->getOpening(), pair->getClosing(), pair->isBlock());
    return true;
}

bool typeClosing(afActionHandler& handler, afActionEvent* event) {
    DocumentController* controller = commandController(static_cast<EditorCmd&>(handler));
    if (!controller)
        return false;
    if (const PairedCharacterAction* pair = pairOf(event))
        PairedCharacters::typeClosing(*controller, pair->getOpening(), pair->getClosing(), pair->isBlock());
    return true;
}

} // namespace

PairedCharacterAction::PairedCharacterAction(afActionHandlerClass* handlerClass, const std::wstring& scopeText,
                                             afActionMethod method, wchar_t opening, wchar_t closing, bool block)
    : afAction(1, handlerClass, nullptr, scopeText.c_str(), 2, std::move(method)), m_opening(opening),
      m_closing(closing), m_block(block) {
    setTypeTag(TYPE_TAG);
}

const std::wstring& PairedCharacterAction::getSource() const {
    static const std::wstring unknown(L"<Unknown>");
    return unknown;
}

std::pair<PairedCharacterAction*, PairedCharacterAction*>
PairedCharacterAction::createPair(wchar_t closing, const std::wstring& selectorText, wchar_t opening, bool block,
                                  afActionRegistry* registry) {
    if (!registry)
        registry = afActionRegistry::getInstance();
    if (!registry)
        return {nullptr, nullptr};
    afActionHandlerClass* handlerClass = registry->getHandlerClass(EditorCmd::HANDLER_CLASS);
    // A selector that does not compile throws from either constructor: neither is kept.
    std::unique_ptr<PairedCharacterAction> opener(new PairedCharacterAction(
        handlerClass, selectorText, afActionMethod(&typeOpening), opening, closing, block));
    // The pair's span is the innermost atom of the path at the caret inside it, and
    // selectors match anchored at the innermost atom: the pair's name goes last.
    const std::wstring pairName = PairedCharacters::spanName(opening, closing, block);
    const std::wstring closingScope = selectorText.empty() ? pairName : selectorText + L" " + pairName;
    std::unique_ptr<PairedCharacterAction> closer(new PairedCharacterAction(
        handlerClass, closingScope, afActionMethod(&typeClosing), opening, closing, block));
    PairedCharacterAction* open = opener.release();
    PairedCharacterAction* close = closer.release();
    registry->addAction(open);
    registry->addAction(close);
    if (auto* keys = dynamic_cast<afActionInvokerKey*>(registry->getInvoker(afActionEventType::CHARACTER))) {
        keys->bindChar(open, opening);
        keys->bindChar(close, closing);
    }
    return {open, close};
}

} // namespace corvel
