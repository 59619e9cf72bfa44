// A list of (function, user data) subscribers called in the order they subscribed, each
// with its user data and the arguments of the call (usually a sender and an argument):
//     CallbackList<void(FileWatchObject*, FileChangeEvent*)> changed;
//     changed.add(&onChanged, this);   // void onChanged(void* self, FileWatchObject*, FileChangeEvent*)
//     changed.invoke(watch, event);
// Subscribers may add and remove subscriptions from inside a call: one removed meanwhile
// is not called any more, one added meanwhile is first called by the next invocation.
// No lock of its own; the owner's lock or thread rule covers it.
#pragma once
#include "zem/base/Assert.h"

#include <cstddef>
#include <type_traits>
#include <vector>

namespace zem {

template <class Signature> class CallbackList;

template <class R, class... Args> class CallbackList<R(Args...)> {
public:
    typedef R (*Function)(void* userData, Args... args);

    CallbackList() = default;
    CallbackList(const CallbackList&) = delete;
    CallbackList& operator=(const CallbackList&) = delete;

    // Appends the pair unless it is already subscribed; true when it was added.
    bool add(Function function, void* userData) {
        ZEM_ASSERT(function);
        if (find(function, userData) != NOT_FOUND)
            return false;
        m_entries.push_back(Entry{function, userData});
        return true;
    }

    // Drops the pair; true when it was subscribed.
    bool remove(Function function, void* userData) {
        size_t index = find(function, userData);
        if (index == NOT_FOUND)
            return false;
        if (m_invoking > 0) {
            // The running invocation walks the vector by index: leave a hole, closed afterwards.
            m_entries[index].function = nullptr;
            m_holes = true;
        } else {
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
        }
        return true;
    }

    bool contains(Function function, void* userData) const { return find(function, userData) != NOT_FOUND; }

    size_t size() const {
        size_t n = 0;
        for (const Entry& entry : m_entries) {
            if (entry.function)
                ++n;
        }
        return n;
    }
    bool empty() const { return size() == 0; }

    void clear() {
        if (m_invoking > 0) {
            for (Entry& entry : m_entries)
                entry.function = nullptr;
            m_holes = true;
            return;
        }
        m_entries.clear();
    }

    // Calls every subscriber in order.
    void invoke(Args... args) {
        InvocationScope scope(*this);
        size_t count = m_entries.size();
        for (size_t i = 0; i < count; ++i) {
            Entry entry = m_entries[i];
            if (entry.function)
                entry.function(entry.userData, args...);
        }
    }

    // For lists of subscribers that answer: calls them in order and stops at the first
    // false, which is then the result; true when every subscriber agreed.
    bool invokeWhileTrue(Args... args) { return !callUntil(false, args...); }

    // For lists of handlers of one event: calls them in order and stops at the first that
    // answers true (it handled the event); false when none did or the list is empty.
    bool dispatch(Args... args) { return callUntil(true, args...); }

private:
    struct Entry {
        Function function; // null: removed during an invocation
        void* userData;
    };

    static constexpr size_t NOT_FOUND = static_cast<size_t>(-1);

    // Calls the subscribers in order until one answers `answer`; true when one did.
    bool callUntil(bool answer, Args... args) {
        static_assert(std::is_same<R, bool>::value, "answering lists need subscribers returning bool");
        InvocationScope scope(*this);
        size_t count = m_entries.size();
        for (size_t i = 0; i < count; ++i) {
            Entry entry = m_entries[i];
            if (entry.function && static_cast<bool>(entry.function(entry.userData, args...)) == answer)
                return true;
        }
        return false;
    }

    size_t find(Function function, void* userData) const {
        if (!function)
            return NOT_FOUND;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].function == function && m_entries[i].userData == userData)
                return i;
        }
        return NOT_FOUND;
    }

    // Closes the holes once the outermost invocation is over, also when a subscriber throws.
    class InvocationScope {
    public:
        explicit InvocationScope(CallbackList& list) : m_list(list) { ++m_list.m_invoking; }
        ~InvocationScope() {
            if (--m_list.m_invoking == 0 && m_list.m_holes) {
                std::vector<Entry>& entries = m_list.m_entries;
                size_t kept = 0;
                for (size_t i = 0; i < entries.size(); ++i) {
                    if (entries[i].function)
                        entries[kept++] = entries[i];
                }
                entries.resize(kept);
                m_list.m_holes = false;
            }
        }

    private:
        CallbackList& m_list;
    };

    std::vector<Entry> m_entries; // in subscription order
    int m_invoking = 0;           // nesting depth of invoke calls running now
    bool m_holes = false;         // some entries were removed during an invocation
};

} // namespace zem
