// Root of the framework's and the model's classes; its one service is a 32-bit type id.
#pragma once
#include <cstdint>

namespace zem {

// Symbol id of "object", the type every class answers unless it identifies itself.
constexpr uint32_t OBJECT_TYPE_ID = 0xa8adabecu;

class Object {
public:
    virtual ~Object() = default;
    virtual uint32_t getType() const { return OBJECT_TYPE_ID; }
};

} // namespace zem
