// Several data objects offered together, one format each (the part's first format):
// calls are routed by format to the first part that has it.
#pragma once
#include "corvel/widgets/afDataObject.h"

#include <memory>
#include <vector>

namespace corvel {

class afDataObjectComposite : public afDataObject {
public:
    afDataObjectComposite() = default;

    // Takes ownership; the composite is no longer empty.
    void addPart(afDataObject* part, bool preferred);
    afDataObject* findPart(uint16_t format) const;
    size_t getPartCount() const { return m_parts.size(); }
    uint16_t getLastSetFormat() const { return m_lastSetFormat; }

    bool getData(uint16_t format, void* destination) override;
    bool setData(uint16_t format, size_t size, const void* source) override;
    size_t getDataSize(uint16_t format) override;
    size_t loadSize(uint16_t format, const void* block) override;
    void reset() override;
    bool isEmpty() const override;
    size_t getFormatCount(int direction) override;
    std::vector<uint16_t> getFormats(int direction) override;
    uint16_t getPreferredFormat(int direction) override;

private:
    static uint16_t formatOf(afDataObject& part);

    std::vector<std::unique_ptr<afDataObject>> m_parts;
    size_t m_preferred = 0; // index into m_parts
    uint16_t m_lastSetFormat = 0;
};

} // namespace corvel
