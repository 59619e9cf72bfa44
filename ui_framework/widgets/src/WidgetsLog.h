// The log source of the framework's own diagnostics (the default source, as in the core).
#pragma once
#include <cstdint>

namespace corvel {

constexpr uint32_t WIDGETS_LOG_SOURCE = 0x629B9E5Bu;

} // namespace corvel
