// Picking one of several candidate actions. The shell installs the chooser window; with
// none installed, a choice among several cannot be made.
#pragma once
#include "corvel/widgets/afActionMatch.h"

namespace corvel {

class afView;

// Returns the picked index, -1 when closed without a choice, -2 when it lost activation.
typedef int (*afActionChooserFunction)(afActionMatchList& matches, afView* owner);

void setActionChooser(afActionChooserFunction chooser);
afActionChooserFunction getActionChooser();

// No match -1, one match 0, several: the installed chooser's answer (-1 without one).
int chooseAction(afActionMatchList& matches, afView* owner);

} // namespace corvel
