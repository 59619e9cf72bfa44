#include "corvel/ui/ImagePack.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afNinePatch.h"

#include <cstring>
#include <windows.h>

// Defined beside the compiled resources: referencing it links them into the program.
extern "C" const char corvel_resources_anchor;
extern const void* const corvelResourcesKeep;
const void* const corvelResourcesKeep = &corvel_resources_anchor;

namespace corvel {

namespace {

std::unique_ptr<ImagePack> g_pack; // the framework's one pack index

uint32_t readU32(const uint8_t* p) {
    uint32_t value;
    memcpy(&value, p, 4);
    return value; // the platform is little-endian, as the pack is
}

} // namespace

ImagePack::ImagePack(const uint8_t* bytes, size_t size, uint32_t count)
    : m_bytes(bytes), m_ends(bytes + 4), m_first(bytes + 4 + 4 * static_cast<size_t>(count)), m_size(size),
      m_count(count) {}

ImagePack::~ImagePack() = default;

bool ImagePack::load(const void* data, size_t size) {
    if (g_pack)
        return true;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < 4)
        return false;
    uint32_t count = readU32(bytes);
    if (count > (size - 4) / 4)
        return false;
    size_t dataSize = size - 4 - 4 * static_cast<size_t>(count);
    uint32_t previous = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t end = readU32(bytes + 4 + 4 * static_cast<size_t>(i));
        if (end < previous || end > dataSize)
            return false;
        previous = end;
    }
    g_pack.reset(new ImagePack(bytes, size, count));
    return true;
}

bool ImagePack::load() {
    if (g_pack)
        return true;
    HMODULE module = afApp::getInstanceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(RESOURCE_ID), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return false;
    const void* bytes = LockResource(loaded);
    DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0)
        return false;
    return load(bytes, size);
}

ImagePack* ImagePack::instance() {
    return g_pack.get();
}

void ImagePack::release() {
    g_pack.reset();
}

uint32_t ImagePack::entryStart(uint32_t index) const {
    return index == 0 ? 0 : readU32(m_ends + 4 * (index - 1));
}

uint32_t ImagePack::entryEnd(uint32_t index) const {
    return readU32(m_ends + 4 * index);
}

afNinePatch* ImagePack::ninePatch() {
    if (!m_ninePatchDecoded && m_count > 0) {
        m_ninePatchDecoded = true;
        // With one entry the entry runs to the end of the data, whatever its end offset says.
        size_t size = m_count == 1 ? dataSize() : entrySize(0);
        m_ninePatch = afNinePatch::decode(entryData(0), size);
    }
    return m_ninePatch.get();
}

} // namespace corvel
