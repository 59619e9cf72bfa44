// What the widgets library hands the application object before start-up: its clipboard,
// action registry, key invoker and labels behind the core's small interfaces.
#pragma once
#include "corvel/ui/afWidgetKit.h"

namespace corvel {

class afStandardWidgetKit : public afIWidgetKit {
public:
    std::unique_ptr<afIClipboard> createClipboard() override;
    std::unique_ptr<afIActionRegistry> createActionRegistry() override;
    // The invoker is registered for key codes and typed characters by the caller.
    std::unique_ptr<afIKeyInvoker> createKeyInvoker(afIActionRegistry& registry) override;
    afILabel* createLabel(afView* owner) override;
};

} // namespace corvel
