// The native edit the tree shows for renaming an item, adopted afresh for every edit (the
// tree destroys it at the end of each). It hands the keys that end or steer the edit to
// the edit itself, so they never run actions.
#pragma once
#include "corvel/widgets/afControl.h"

namespace corvel {

class afControlTreeInplaceEdit : public afControl {
public:
    explicit afControlTreeInplaceEdit(afView* owner) : afControl(owner) {}

    bool onKeyDown(afEvent* event) override;
    bool onRawMessage(afMessage* message) override;
    void onDestroyed() override;
};

} // namespace corvel
