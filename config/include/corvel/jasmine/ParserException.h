// A syntax error in a Jasmine document: the text and the offending stretch, shown to
// people as "<text> (Line n, Column m)" with both counted from 1.
#pragma once
#include "zem/base/ParserException.h"

namespace corvel {

class ParserException : public zem::ParserException {
public:
    ParserException(std::wstring text, zem::SourcePosition begin, zem::SourcePosition end)
        : zem::ParserException(std::move(text), begin, end) {}
    void getMessage(std::wstring& out) const override;
    zem::Exception* clone() const override { return new ParserException(*this); }
    void raise() const override { throw *this; }
};

} // namespace corvel
