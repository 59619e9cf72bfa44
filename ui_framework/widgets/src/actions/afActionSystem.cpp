#include "corvel/widgets/afActionSystem.h"

namespace corvel {

afActionSystem::afActionSystem(const wchar_t* title, afActionHandlerClass* handlerClass, const wchar_t* name,
                               const wchar_t* scopeText, afActionMethod method)
    : afAction(1, handlerClass, name, scopeText, 0, std::move(method)), m_title(title ? title : L"") {}

const std::wstring& afActionSystem::getSource() const {
    static const std::wstring product(L"Corvel");
    return product;
}

} // namespace corvel
