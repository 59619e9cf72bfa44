#include "zem/stream/StreamCopier.h"

#include <vector>

namespace zem {

uint64_t copyStream(std::istream& from, std::ostream& to) {
    std::vector<char> buffer(8192);
    uint64_t copied = 0;
    while (from && to) {
        from.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize got = from.gcount();
        if (got <= 0)
            break;
        if (!to.write(buffer.data(), got))
            break;
        copied += static_cast<uint64_t>(got);
    }
    return copied;
}

} // namespace zem
