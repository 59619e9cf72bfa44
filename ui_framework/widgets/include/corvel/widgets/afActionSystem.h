// The action of every built-in command table: a title of its own, the product as source.
#pragma once
#include "corvel/widgets/afAction.h"

namespace corvel {

class afActionSystem : public afAction {
public:
    afActionSystem(const wchar_t* title, afActionHandlerClass* handlerClass, const wchar_t* name,
                   const wchar_t* scopeText, afActionMethod method);

    std::wstring getTitle() const override { return m_title; }
    const std::wstring& getSource() const override;

private:
    std::wstring m_title;
};

} // namespace corvel
