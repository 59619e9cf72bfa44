#include "corvel/widgets/afDataObjectSimple.h"

namespace corvel {

bool afDataObjectSimple::getData(uint16_t format, void* destination) {
    return format == m_format && getValue(destination);
}

bool afDataObjectSimple::setData(uint16_t format, size_t size, const void* source) {
    return format == m_format && setValue(size, source);
}

size_t afDataObjectSimple::getDataSize(uint16_t format) {
    return format == m_format ? getSize() : 0;
}

size_t afDataObjectSimple::getFormatCount(int) {
    return 1;
}

std::vector<uint16_t> afDataObjectSimple::getFormats(int) {
    return std::vector<uint16_t>(1, m_format);
}

uint16_t afDataObjectSimple::getPreferredFormat(int) {
    return m_format;
}

size_t afDataObjectSimple::getSize() {
    return 0;
}

bool afDataObjectSimple::getValue(void*) {
    return false;
}

bool afDataObjectSimple::setValue(size_t, const void*) {
    m_empty = 0;
    return false;
}

} // namespace corvel
