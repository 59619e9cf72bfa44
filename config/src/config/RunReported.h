// Runs a callable under the thread error handler's catch-all (zem::runGuarded), for calls
// into client code from threads and callbacks that must survive the client's exceptions.
#pragma once
#include "zem/thread/Thread.h"

namespace corvel {

// Returns false when the body threw (the exception was reported).
template <class Body> bool runReported(Body&& body) {
    struct Context {
        Body* body;
        bool completed;
    } context{&body, false};
    zem::runGuarded(
        [](void* p) {
            Context* c = static_cast<Context*>(p);
            (*c->body)();
            c->completed = true;
        },
        &context);
    return context.completed;
}

} // namespace corvel
