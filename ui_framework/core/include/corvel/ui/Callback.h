// One receiver of an event: an object and a function called as function(object, args...),
// the pair a zem::CallbackList holds many of. Either half may be null; a pair with both
// null is unset, and callers test isBound before calling a user's handler.
#pragma once

namespace corvel {

template <class Signature> struct Callback;

template <class R, class... Args> struct Callback<R(Args...)> {
    typedef R (*Function)(void* object, Args... args);

    void* object = nullptr;
    Function function = nullptr;

    Callback() = default;
    Callback(void* receiver, Function call) : object(receiver), function(call) {}

    bool isBound() const { return object != nullptr || function != nullptr; }
    R operator()(Args... args) const { return function(object, args...); }
    bool operator==(const Callback& other) const { return object == other.object && function == other.function; }
    bool operator!=(const Callback& other) const { return !(*this == other); }
};

} // namespace corvel
