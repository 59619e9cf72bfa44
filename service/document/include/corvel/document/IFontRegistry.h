// What the document engine asks of the platform's fonts: whether a family of a given
// name is installed. The UI's font manager implements it; the engine never reaches up to
// the UI for anything more.
#pragma once

namespace corvel {

class IFontRegistry {
public:
    virtual ~IFontRegistry() = default;
    // name: a NUL-terminated family name, compared as the platform compares face names.
    virtual bool hasFont(const wchar_t* name) const = 0;
};

} // namespace corvel
