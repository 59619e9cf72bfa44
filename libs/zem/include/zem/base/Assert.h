// Invariant checks: a broken invariant throws AssertionViolationException naming the
// condition, the source file and the line.
#pragma once

namespace zem {

[[noreturn]] void assertionFailed(const wchar_t* expression, const wchar_t* file, int line);

// Throws NullPointerException "Null reference." for a missing required argument.
void throwIfNull(const void* pointer);

} // namespace zem

namespace corvel {
[[noreturn]] void throwNullPointerException();
}

#define ZEM_WIDEN2(x) L##x
#define ZEM_WIDEN(x) ZEM_WIDEN2(x)

#define ZEM_ASSERT(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            ::zem::assertionFailed(ZEM_WIDEN(#cond), ZEM_WIDEN(__FILE__), __LINE__);                                   \
    } while (0)

// Asserts with a text of the caller's choosing, for conditions the source text does not say well.
#define ZEM_ASSERT_MSG(cond, text)                                                                                     \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            ::zem::assertionFailed(text, ZEM_WIDEN(__FILE__), __LINE__);                                               \
    } while (0)
