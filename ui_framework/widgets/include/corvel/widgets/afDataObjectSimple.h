// A data object with one value in one format, the same for reading and writing.
#pragma once
#include "corvel/widgets/afDataObject.h"

namespace corvel {

class afDataObjectSimple : public afDataObject {
public:
    explicit afDataObjectSimple(uint16_t format) : m_format(format) {}

    bool getData(uint16_t format, void* destination) override;
    bool setData(uint16_t format, size_t size, const void* source) override;
    size_t getDataSize(uint16_t format) override;
    size_t getFormatCount(int direction) override;
    std::vector<uint16_t> getFormats(int direction) override;
    uint16_t getPreferredFormat(int direction) override;

    virtual size_t getSize();
    virtual bool getValue(void* destination);
    virtual bool setValue(size_t size, const void* source);

    uint16_t getFormat() const { return m_format; }

protected:
    uint16_t m_format;
};

} // namespace corvel
