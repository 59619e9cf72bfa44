#include "corvel/widgets/afMenuItem.h"

namespace corvel {

bool afMenuItem::isEnabled() {
    return enabledCallback.isBound() ? enabledCallback(this) : true;
}

void afMenuItem::activate(void* argument) {
    if (activateCallback.isBound())
        activateCallback(argument, this);
}

} // namespace corvel
