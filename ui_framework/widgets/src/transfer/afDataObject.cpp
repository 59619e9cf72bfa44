#include "corvel/widgets/afDataObject.h"

#include "WidgetsLog.h"
#include "transfer/__afIDataObject.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

afDataObject::afDataObject() : m_adapter(new __afIDataObject(this)) {}

afDataObject::~afDataObject() {
    if (m_holdsAdapter)
        m_adapter->Release();
}

bool afDataObject::getData(uint16_t, void*) {
    return false;
}

bool afDataObject::setData(uint16_t, size_t, const void*) {
    m_empty = 0;
    return false;
}

size_t afDataObject::getDataSize(uint16_t) {
    return 0;
}

size_t afDataObject::loadSize(uint16_t, const void* block) {
    // Media carry global blocks: their size is the block's, found through its handle.
    HGLOBAL handle = block ? GlobalHandle(block) : nullptr;
    size_t size = handle ? GlobalSize(handle) : 0;
    if (size == 0)
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afDataObject::loadSize(): HeapSize failed.\n");
    return size;
}

void afDataObject::reset() {
    m_empty = 1;
}

bool afDataObject::isEmpty() const {
    return m_empty != 0;
}

bool afDataObject::acceptsFormat(uint16_t format, int direction) {
    std::vector<uint16_t> formats = getFormats(direction);
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

size_t afDataObject::getFormatCount(int) {
    return 0;
}

std::vector<uint16_t> afDataObject::getFormats(int) {
    return std::vector<uint16_t>();
}

uint16_t afDataObject::getPreferredFormat(int) {
    return 0;
}

IDataObject* afDataObject::getAdapter() const {
    return m_adapter;
}

void afDataObject::handOverToAdapter() {
    if (!m_holdsAdapter)
        return;
    m_adapter->setOwnsObject(true);
    m_holdsAdapter = false;
    m_adapter->Release();
}

} // namespace corvel
