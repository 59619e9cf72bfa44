#include "corvel/widgets/afStandardWidgetKit.h"

#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afClipboard.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

// What the application's start-up and shutdown do with the kit, through the core's interfaces.
TEST(StandardWidgetKitTest, StartUpRegistersTheKeyInvokerForKeysAndCharacters) {
    afStandardWidgetKit kit;
    std::unique_ptr<afIActionRegistry> registry = kit.createActionRegistry();
    std::unique_ptr<afIKeyInvoker> invoker = kit.createKeyInvoker(*registry);
    std::unique_ptr<afIClipboard> clipboard = kit.createClipboard();
    ASSERT_NE(nullptr, dynamic_cast<afClipboard*>(clipboard.get()));
    auto* actions = dynamic_cast<afActionRegistry*>(registry.get());
    auto* keys = dynamic_cast<afActionInvokerKey*>(invoker.get());
    ASSERT_NE(nullptr, actions);
    ASSERT_NE(nullptr, keys);
    EXPECT_EQ(actions, afActionRegistry::getInstance());
    EXPECT_EQ(actions, keys->getRegistry());
    registry->addInvoker(invoker.get(), afIActionRegistry::EVENT_KEY);
    registry->addInvoker(invoker.get(), afIActionRegistry::EVENT_CHAR);
    EXPECT_EQ(keys, actions->getInvoker(afActionEventType::KEY));
    EXPECT_EQ(keys, actions->getInvoker(afActionEventType::CHARACTER));
    registry->removeInvoker(invoker.get());
    EXPECT_EQ(nullptr, actions->getInvoker(afActionEventType::KEY));
    EXPECT_EQ(nullptr, actions->getInvoker(afActionEventType::CHARACTER));
    invoker.reset();
    registry.reset();
    EXPECT_EQ(nullptr, afActionRegistry::getInstance());
}

} // namespace
