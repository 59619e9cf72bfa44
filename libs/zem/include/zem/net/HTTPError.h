// Turns a WinHTTP or Win32 error code into the HTTPException that describes it.
#pragma once
#include <cstdint>

namespace zem {
namespace net {

// The description of a known code, or null.
const wchar_t* findHTTPErrorText(uint32_t code);
// Always throws HTTPException: the code's description, "The request has timed out." for a
// socket time-out (10060), or "WinHTTP call failed with error <code>." for any other code.
[[noreturn]] void throwHTTPError(uint32_t code);

} // namespace net
} // namespace zem
