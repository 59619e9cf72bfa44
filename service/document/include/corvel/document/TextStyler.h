// What painters read styles through: one record per style number.
#pragma once
#include "corvel/document/TextStyle.h"

#include <cstdint>

namespace corvel {

class TextStyler {
public:
    virtual TextStyle* getStyle(uint16_t styleNumber) = 0;
    virtual ~TextStyler() = default;
};

} // namespace corvel
