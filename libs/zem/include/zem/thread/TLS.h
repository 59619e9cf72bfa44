// Per-thread slots. A thread started through zem::Thread keeps its slots until its
// Thread object is gone; any other thread (the main thread, foreign threads) gets a map
// of its own that lives until that thread ends.
#pragma once

namespace zem {

class TLSAbstractSlot {
public:
    virtual ~TLSAbstractSlot() = default;
};

namespace detail {
// Finds the calling thread's slot for key, creating it with factory on first use.
TLSAbstractSlot* findOrCreateSlot(const void* key, TLSAbstractSlot* (*factory)());
} // namespace detail

// One T per thread, created on the thread's first access.
template <class T> class TLSSlot : public TLSAbstractSlot {
public:
    T value{};

    static T& get() {
        static const char key = 0;
        return static_cast<TLSSlot*>(detail::findOrCreateSlot(&key, &create))->value;
    }

private:
    static TLSAbstractSlot* create() { return new TLSSlot; }
};

} // namespace zem
