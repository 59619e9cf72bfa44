// The header fields of an HTTP message and their text form ("Name: value" lines).
#pragma once
#include "zem/net/NameValueCollection.h"

#include <istream>
#include <ostream>

namespace zem {
namespace net {

class MessageHeader : public NameValueCollection {
public:
    static constexpr size_t MAX_NAME_LENGTH = 256;
    static constexpr size_t MAX_VALUE_LENGTH = 4096;

    // Each field as "name: value\r\n", in name order; no closing empty line.
    virtual void write(std::wostream& stream) const;
    // Reads fields up to the empty line (which is left unread) or the end of the stream.
    // A line without a colon that ends in LF is skipped; continuation lines starting with
    // a blank join the value. Throws MessageException for malformed fields; the fields
    // read before the fault stay.
    virtual void read(std::wistream& stream);
};

} // namespace net
} // namespace zem
