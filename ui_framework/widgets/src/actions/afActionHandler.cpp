#include "corvel/widgets/afActionHandler.h"

#include "corvel/widgets/afActionRegistry.h"

namespace corvel {

afActionHandler::afActionHandler(const wchar_t* className, afActionRegistry* registry)
    : m_registry(registry ? registry : afActionRegistry::getInstance()),
      m_class(m_registry ? m_registry->getHandlerClass(className) : nullptr) {}

afActionHandler::~afActionHandler() {
    deactivate();
}

void afActionHandler::activate() {
    if (m_class)
        m_class->liveHandler = this;
}

void afActionHandler::deactivate() {
    if (isActive())
        m_class->liveHandler = nullptr;
}

} // namespace corvel
