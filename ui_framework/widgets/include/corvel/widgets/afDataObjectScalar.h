// One 4-byte value (a number, or a pointer: 8 bytes on 64-bit Windows) in a private format. It
// means something only inside the running process: the value is never dereferenced by this class.
#pragma once
#include "corvel/widgets/afDataFormat.h"
#include "corvel/widgets/afDataObjectSimple.h"

#include <cstring>

namespace corvel {

template <class T> class afDataObjectScalar : public afDataObjectSimple {
    static_assert(sizeof(T) == 4 || sizeof(T) == sizeof(void*), "a scalar transfer value is a word or a pointer");

public:
    afDataObjectScalar(const wchar_t* formatName, T value)
        : afDataObjectSimple(afDataFormat(formatName).getFormat()), m_value(value) {}

    size_t getSize() override { return sizeof(T); }
    bool getValue(void* destination) override {
        if (!destination)
            return false;
        std::memcpy(destination, &m_value, sizeof(T));
        return true;
    }
    bool setValue(size_t size, const void* source) override {
        if (size != sizeof(T) || !source)
            return false;
        std::memcpy(&m_value, source, sizeof(T));
        m_empty = 0;
        return true;
    }

    T getValue() const { return m_value; }
    void setScalar(T value) {
        m_value = value;
        m_empty = 0;
    }

private:
    T m_value;
};

} // namespace corvel
