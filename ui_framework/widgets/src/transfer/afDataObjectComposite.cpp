#include "corvel/widgets/afDataObjectComposite.h"

namespace corvel {

uint16_t afDataObjectComposite::formatOf(afDataObject& part) {
    std::vector<uint16_t> formats = part.getFormats(GET);
    return formats.empty() ? 0 : formats.front();
}

void afDataObjectComposite::addPart(afDataObject* part, bool preferred) {
    if (!part)
        return;
    m_parts.emplace_back(part);
    m_empty = 0;
    if (preferred)
        m_preferred = m_parts.size() - 1;
}

afDataObject* afDataObjectComposite::findPart(uint16_t format) const {
    for (const std::unique_ptr<afDataObject>& part : m_parts) {
        if (formatOf(*part) == format)
            return part.get();
    }
    return nullptr;
}

bool afDataObjectComposite::getData(uint16_t format, void* destination) {
    afDataObject* part = findPart(format);
    return part && part->getData(format, destination);
}

bool afDataObjectComposite::setData(uint16_t format, size_t size, const void* source) {
    afDataObject* part = findPart(format);
    if (!part)
        return false;
    m_lastSetFormat = format;
    return part->setData(format, size, source);
}

size_t afDataObjectComposite::getDataSize(uint16_t format) {
    afDataObject* part = findPart(format);
    return part ? part->getDataSize(format) : 0;
}

size_t afDataObjectComposite::loadSize(uint16_t format, const void* block) {
    afDataObject* part = findPart(format);
    return part ? part->loadSize(format, block) : 0;
}

void afDataObjectComposite::reset() {
    for (std::unique_ptr<afDataObject>& part : m_parts)
        part->reset();
}

bool afDataObjectComposite::isEmpty() const {
    for (const std::unique_ptr<afDataObject>& part : m_parts) {
        if (!part->isEmpty())
            return false;
    }
    return true;
}

size_t afDataObjectComposite::getFormatCount(int) {
    return m_parts.size();
}

std::vector<uint16_t> afDataObjectComposite::getFormats(int) {
    std::vector<uint16_t> formats;
    for (std::unique_ptr<afDataObject>& part : m_parts)
        formats.push_back(formatOf(*part));
    return formats;
}

uint16_t afDataObjectComposite::getPreferredFormat(int) {
    return m_parts.empty() ? 0 : formatOf(*m_parts[m_preferred]);
}

} // namespace corvel
