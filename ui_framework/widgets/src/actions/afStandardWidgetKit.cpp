#include "corvel/widgets/afStandardWidgetKit.h"

#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afClipboard.h"
#include "corvel/widgets/afLabel.h"

namespace corvel {

std::unique_ptr<afIClipboard> afStandardWidgetKit::createClipboard() {
    return std::unique_ptr<afIClipboard>(new afClipboard);
}

std::unique_ptr<afIActionRegistry> afStandardWidgetKit::createActionRegistry() {
    return std::unique_ptr<afIActionRegistry>(new afActionRegistry);
}

std::unique_ptr<afIKeyInvoker> afStandardWidgetKit::createKeyInvoker(afIActionRegistry& registry) {
    return std::unique_ptr<afIKeyInvoker>(new afActionInvokerKey(dynamic_cast<afActionRegistry*>(&registry)));
}

afILabel* afStandardWidgetKit::createLabel(afView* owner) {
    return new afLabel(owner);
}

} // namespace corvel
