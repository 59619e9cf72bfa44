#include "corvel/document/GapBuffer.h"

#include "UnitStorage.h"
#include "zem/base/Assert.h"

#include <cstring>
#include <new>

namespace corvel {

namespace {

std::unique_ptr<UnitStorage> allocateUnits(int32_t capacity) {
    auto storage = std::make_unique<UnitStorage>(static_cast<size_t>(capacity));
    if (storage->units() == nullptr)
        throw std::bad_alloc();
    return storage;
}

} // namespace

GapBuffer::GapBuffer(int32_t capacity) : m_storage(allocateUnits(capacity)), m_capacity(capacity) {}

GapBuffer::~GapBuffer() = default;

wchar_t* GapBuffer::units() const {
    return m_storage->units();
}

void GapBuffer::moveGapTo(int32_t offset) {
    ZEM_ASSERT(offset >= 0 && offset <= m_length);
    wchar_t* buffer = units();
    if (offset > m_gapStart) {
        const int32_t count = offset - m_gapStart;
        std::memmove(buffer + m_gapStart, buffer + m_gapEnd, count * sizeof(wchar_t));
        m_gapStart += count;
        m_gapEnd += count;
    } else if (offset < m_gapStart) {
        const int32_t count = m_gapStart - offset;
        std::memmove(buffer + m_gapEnd - count, buffer + offset, count * sizeof(wchar_t));
        m_gapStart -= count;
        m_gapEnd -= count;
    }
}

void GapBuffer::grow(int32_t needed) {
    if (needed < m_capacity)
        return;
    if (needed > INT32_MAX / 2)
        throw std::bad_alloc();
    const int32_t capacity = needed * 2;
    std::unique_ptr<UnitStorage> storage = allocateUnits(capacity);
    std::memcpy(storage->units(), units(), (m_length + (m_gapEnd - m_gapStart)) * sizeof(wchar_t));
    m_storage = std::move(storage);
    m_capacity = capacity;
}

void GapBuffer::insert(int32_t offset, int32_t count, const wchar_t* text) {
    ZEM_ASSERT(offset >= 0 && offset <= m_length && count >= 0);
    if (count == 0)
        return;
    moveGapTo(offset);
    if (m_gapEnd - m_gapStart < count) {
        if (count > INT32_MAX - GROWTH_GAP - m_length)
            throw std::bad_alloc();
        grow(m_length + count + GROWTH_GAP);
        const int32_t after = m_length - m_gapStart;
        const int32_t newGapEnd = offset + count + GROWTH_GAP;
        std::memmove(units() + newGapEnd, units() + m_gapEnd, after * sizeof(wchar_t));
        m_gapEnd = newGapEnd;
    }
    std::memcpy(units() + m_gapStart, text, count * sizeof(wchar_t));
    m_gapStart += count;
    m_length += count;
}

wchar_t* GapBuffer::appendRoom(int32_t count) {
    ZEM_ASSERT(count >= 0);
    moveGapTo(m_length);
    if (m_gapEnd - m_gapStart < count) {
        if (count > INT32_MAX - GROWTH_GAP - m_length)
            throw std::bad_alloc();
        grow(m_length + count + GROWTH_GAP);
        m_gapEnd = m_length + count + GROWTH_GAP;
    }
    return units() + m_gapStart;
}

void GapBuffer::commitAppend(int32_t count) {
    ZEM_ASSERT_MSG(m_gapStart == m_length && count >= 0 && count <= m_gapEnd - m_gapStart,
                   L"an append fits the room it was given");
    m_gapStart += count;
    m_length += count;
}

void GapBuffer::remove(int32_t offset, int32_t count) {
    ZEM_ASSERT(offset >= 0 && count >= 0 && offset + count <= m_length);
    moveGapTo(offset);
    m_gapEnd += count;
    m_length -= count;
}

void GapBuffer::releaseSpareRoom() {
    if (m_gapStart != m_length)
        return;
    const int32_t keep = m_length + GROWTH_GAP;
    const int32_t usable = static_cast<int32_t>(m_storage->shrinkTo(static_cast<size_t>(keep)));
    if (usable < m_capacity) {
        m_capacity = usable;
        m_gapEnd = usable;
    }
}

GapBuffer::View GapBuffer::read(int32_t offset, int32_t count) const {
    ZEM_ASSERT(offset >= 0 && count >= 0 && offset + count <= m_length);
    View view;
    if (offset + count <= m_gapStart) {
        view.m_data = units() + offset;
        return view;
    }
    if (offset >= m_gapStart) {
        view.m_data = units() + offset + (m_gapEnd - m_gapStart);
        return view;
    }
    view.m_copy.reset(new wchar_t[count]);
    copy(offset, count, view.m_copy.get(), false);
    view.m_data = view.m_copy.get();
    return view;
}

void GapBuffer::copy(int32_t offset, int32_t count, wchar_t* destination, bool terminate) const {
    ZEM_ASSERT(offset >= 0 && count >= 0 && offset + count <= m_length);
    const wchar_t* buffer = units();
    const int32_t gap = m_gapEnd - m_gapStart;
    int32_t before = m_gapStart - offset;
    before = before < 0 ? 0 : before > count ? count : before;
    std::memcpy(destination, buffer + offset, before * sizeof(wchar_t));
    std::memcpy(destination + before, buffer + offset + before + gap, (count - before) * sizeof(wchar_t));
    if (terminate)
        destination[count] = 0;
}

GapBuffer::Sides GapBuffer::sides() const {
    const wchar_t* all = units();
    return Sides{all, m_gapStart, all + m_gapEnd, m_length - m_gapStart};
}

wchar_t GapBuffer::at(int32_t offset) const {
    ZEM_ASSERT(offset >= 0 && offset < m_length);
    return units()[offset < m_gapStart ? offset : offset + (m_gapEnd - m_gapStart)];
}

} // namespace corvel
