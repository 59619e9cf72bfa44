#include "corvel/widgets/afActionChooser.h"

namespace corvel {
namespace {

afActionChooserFunction installedChooser = nullptr;

} // namespace

void setActionChooser(afActionChooserFunction chooser) {
    installedChooser = chooser;
}

afActionChooserFunction getActionChooser() {
    return installedChooser;
}

int chooseAction(afActionMatchList& matches, afView* owner) {
    if (matches.empty())
        return -1;
    if (matches.size() == 1)
        return 0;
    if (!installedChooser)
        return -1;
    return installedChooser(matches, owner);
}

} // namespace corvel
