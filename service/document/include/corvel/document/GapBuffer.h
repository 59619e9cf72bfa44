// A document's text as UTF-16 units with a movable gap, so that typing at one place
// moves only the units between the old and the new place.
#pragma once
#include <cstdint>
#include <memory>

namespace corvel {

class UnitStorage;

class GapBuffer {
public:
    static constexpr int32_t INITIAL_CAPACITY = 1024;
    // The room left behind the inserted units after a growth.
    static constexpr int32_t GROWTH_GAP = 1024;

    // A read range: a pointer into the buffer when the range lies on one side of the gap,
    // else a copy joined from both sides, owned by the view.
    class View {
    public:
        const wchar_t* data() const { return m_data; }

    private:
        friend class GapBuffer;
        const wchar_t* m_data = nullptr;
        std::unique_ptr<wchar_t[]> m_copy;
    };

    explicit GapBuffer(int32_t capacity = INITIAL_CAPACITY);
    ~GapBuffer();
    GapBuffer(const GapBuffer&) = delete;
    GapBuffer& operator=(const GapBuffer&) = delete;

    int32_t getLength() const { return m_length; }
    int32_t getCapacity() const { return m_capacity; }
    int32_t getGapStart() const { return m_gapStart; }
    int32_t getGapEnd() const { return m_gapEnd; }

    void insert(int32_t offset, int32_t count, const wchar_t* units);
    // The loader's step: adds units at the end, growing like insert when they do not fit.
    void append(const wchar_t* units, int32_t count) { insert(m_length, count, units); }
    // The loader's bulk step: room for at least `count` units at the end of the text, to be
    // filled and then counted in by commitAppend. Nothing else may touch the buffer between.
    wchar_t* appendRoom(int32_t count);
    void commitAppend(int32_t count);
    void remove(int32_t offset, int32_t count);
    void moveGapTo(int32_t offset);
    // Makes room for `units` units of text and gap; doubles the request.
    void grow(int32_t units);
    // Gives back the room past the text and a 1024-unit gap, once the loader knows
    // how much of its estimate the file really needed. Only when the gap is at the end.
    void releaseSpareRoom();

    // The text in place: units [0, firstLength) at first, the rest at second. Valid until
    // the next change.
    struct Sides {
        const wchar_t* first;
        int32_t firstLength;
        const wchar_t* second;
        int32_t secondLength;
    };
    Sides sides() const;

    View read(int32_t offset, int32_t count) const;
    void copy(int32_t offset, int32_t count, wchar_t* destination, bool terminate) const;
    wchar_t at(int32_t offset) const;

private:
    wchar_t* units() const;

    std::unique_ptr<UnitStorage> m_storage;
    // 0 <= m_gapStart <= m_gapEnd <= m_capacity, m_length + (m_gapEnd - m_gapStart) <= m_capacity
    int32_t m_gapStart = 0;
    int32_t m_gapEnd = 0;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};

} // namespace corvel
