#include "corvel/ui/afDrawable.h"

namespace corvel {

void afDrawable::notifyChanged() {
    if (m_listener)
        m_listener->onDrawableChanged(this);
}

void afDrawable::setFlag(bool flag) {
    m_flag = flag;
    notifyChanged();
}

void afDrawable::setValue(int32_t value) {
    m_value = value;
    notifyChanged();
}

void afDrawable::setBounds(const RECT& bounds) {
    m_bounds = bounds;
    notifyChanged();
}

bool afDrawable::getPadding(RECT& out) const {
    out = RECT{0, 0, 0, 0};
    return false;
}

void afDrawable::draw(afCanvas&, void*) {}

} // namespace corvel
