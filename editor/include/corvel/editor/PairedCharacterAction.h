// The two character actions of one auto-closed pair: typing the opening character
// inserts the pair, typing the closing one inside it steps over. Both run on the focused
// editor; the scope preferences of the bundles make them for every pair they define.
#pragma once
#include "corvel/widgets/afAction.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace corvel {

class afActionRegistry;

class PairedCharacterAction : public afAction {
public:
    static constexpr uint32_t TYPE_TAG = 0x0F52381Cu;

    // Both actions of the pair, added to the registry and bound to their characters
    // through its character invoker: the opening one first. The closing one matches only
    // inside the pair (charPairClosingSelector). registry null: the process's.
    static std::pair<PairedCharacterAction*, PairedCharacterAction*>
    createPair(wchar_t closing, const std::wstring& selectorText, wchar_t opening, bool block,
               afActionRegistry* registry = nullptr);

    enum class Side { OPENING, CLOSING };
    // One action of a pair whose selector the caller composed in full, added to the
    // registry and bound to its side's character; null without a registry. A selector
    // that does not compile throws and nothing is added.
    static PairedCharacterAction* create(Side side, wchar_t opening, wchar_t closing, bool block,
                                         const std::wstring& scopeText, afActionRegistry* registry = nullptr);

    PairedCharacterAction(afActionHandlerClass* handlerClass, const std::wstring& scopeText, afActionMethod method,
                          wchar_t opening, wchar_t closing, bool block);

    std::wstring getTitle() const override { return L"<PairedCharacterAction>"; }
    const std::wstring& getSource() const override;

    wchar_t getOpening() const { return m_opening; }
    wchar_t getClosing() const { return m_closing; }
    bool isBlock() const { return m_block; }
    Side getSide() const { return m_side; }

private:
    static std::unique_ptr<PairedCharacterAction> make(Side side, wchar_t opening, wchar_t closing, bool block,
                                                       const std::wstring& scopeText, afActionRegistry& registry);
    static PairedCharacterAction* add(std::unique_ptr<PairedCharacterAction> action, afActionRegistry& registry);

    wchar_t m_opening;
    wchar_t m_closing;
    bool m_block;
    Side m_side = Side::OPENING;
};

} // namespace corvel
