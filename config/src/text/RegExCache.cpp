#include "corvel/text/RegExCache.h"

#include "zem/thread/CriticalSection.h"

#include <map>
#include <tuple>

namespace corvel {

namespace {

typedef std::tuple<std::wstring, uint32_t, uint8_t> Key;

struct Cache {
    zem::CriticalSection lock;
    std::map<Key, RegExPtr> patterns; // guarded by lock
};

Cache& cache() {
    static Cache instance;
    return instance;
}

} // namespace

RegExPtr RegExCache::get(const std::wstring& pattern, uint32_t options, uint8_t globalFlag) {
    Cache& shared = cache();
    Key key(pattern, options, globalFlag);
    {
        zem::CriticalSectionLock guard(shared.lock);
        auto found = shared.patterns.find(key);
        if (found != shared.patterns.end())
            return found->second;
    }
    // Compiled outside the lock: other threads go on with other patterns meanwhile. When
    // two compile the same text, the first one stored is kept.
    RegExPtr compiled = RegEx::create(pattern, options, globalFlag);
    zem::CriticalSectionLock guard(shared.lock);
    return shared.patterns.insert(std::make_pair(std::move(key), compiled)).first->second;
}

size_t RegExCache::prune() {
    Cache& shared = cache();
    zem::CriticalSectionLock guard(shared.lock);
    for (auto it = shared.patterns.begin(); it != shared.patterns.end();) {
        if (it->second.use_count() == 1)
            it = shared.patterns.erase(it);
        else
            ++it;
    }
    return shared.patterns.size();
}

} // namespace corvel
