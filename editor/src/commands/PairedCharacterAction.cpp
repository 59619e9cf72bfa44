#include "corvel/editor/PairedCharacterAction.h"

#include "EditorCommandTable.h"
#include "corvel/document/CharPairSpan.h"
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

std::unique_ptr<PairedCharacterAction> PairedCharacterAction::make(Side side, wchar_t opening, wchar_t closing,
                                                                   bool block, const std::wstring& scopeText,
                                                                   afActionRegistry& registry) {
    afActionHandlerClass* handlerClass = registry.getHandlerClass(EditorCmd::HANDLER_CLASS);
    afActionMethod method(side == Side::OPENING ? &typeOpening : &typeClosing);
    std::unique_ptr<PairedCharacterAction> made(
        new PairedCharacterAction(handlerClass, scopeText, std::move(method), opening, closing, block));
    made->m_side = side;
    return made;
}

PairedCharacterAction* PairedCharacterAction::add(std::unique_ptr<PairedCharacterAction> action,
                                                  afActionRegistry& registry) {
    PairedCharacterAction* added = action.release();
    registry.addAction(added);
    if (auto* keys = dynamic_cast<afActionInvokerKey*>(registry.getInvoker(afActionEventType::CHARACTER)))
        keys->bindChar(added, added->m_side == Side::OPENING ? added->m_opening : added->m_closing);
    return added;
}

PairedCharacterAction* PairedCharacterAction::create(Side side, wchar_t opening, wchar_t closing, bool block,
                                                     const std::wstring& scopeText, afActionRegistry* registry) {
    if (!registry)
        registry = afActionRegistry::getInstance();
    if (!registry)
        return nullptr;
    return add(make(side, opening, closing, block, scopeText, *registry), *registry);
}

std::pair<PairedCharacterAction*, PairedCharacterAction*>
PairedCharacterAction::createPair(wchar_t closing, const std::wstring& selectorText, wchar_t opening, bool block,
                                  afActionRegistry* registry) {
    if (!registry)
        registry = afActionRegistry::getInstance();
    if (!registry)
        return {nullptr, nullptr};
    // A selector that does not compile throws from either constructor: neither is kept.
    std::unique_ptr<PairedCharacterAction> opener =
        make(Side::OPENING, opening, closing, block, selectorText, *registry);
    std::unique_ptr<PairedCharacterAction> closer =
        make(Side::CLOSING, opening, closing, block, charPairClosingSelector(selectorText, opening, closing, block),
             *registry);
    PairedCharacterAction* open = add(std::move(opener), *registry);
    PairedCharacterAction* close = add(std::move(closer), *registry);
    return {open, close};
}

} // namespace corvel
