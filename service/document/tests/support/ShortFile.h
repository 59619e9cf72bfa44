// A file that stops writing (and, on request, reading) after a budget of bytes, over a
// real open file, for tests of code that must notice short transfers.
#pragma once
#include "zem/files/File.h"

#include <algorithm>
#include <cstdint>

namespace documenttest {

class ShortFile : public zem::File {
public:
    static constexpr uint32_t UNLIMITED = 0xFFFFFFFFu;

    // inner is not owned.
    explicit ShortFile(zem::File* inner) : m_inner(inner) {}

    zem::File* inner() const { return m_inner; }
    void setWriteBudget(uint32_t bytes) { m_writeBudget = bytes; }
    void setReadBudget(uint32_t bytes) { m_readBudget = bytes; }

    bool isOpen() const override { return m_inner->isOpen(); }
    const wchar_t* getPath() const override { return m_inner->getPath(); }
    uint32_t getSize() override { return m_inner->getSize(); }
    uint32_t tell() override { return m_inner->tell(); }
    bool truncate() override { return m_inner->truncate(); }
    uint32_t read(void* buffer, uint32_t count) override {
        uint32_t n = m_inner->read(buffer, std::min(count, m_readBudget));
        if (m_readBudget != UNLIMITED)
            m_readBudget -= n;
        return n;
    }
    uint32_t write(const void* buffer, uint32_t count) override {
        uint32_t n = m_inner->write(buffer, std::min(count, m_writeBudget));
        if (m_writeBudget != UNLIMITED)
            m_writeBudget -= n;
        return n;
    }
    uint32_t seek(int origin, int32_t offset) override { return m_inner->seek(origin, offset); }
    bool flush() override { return m_inner->flush(); }
    zem::FileDevice* getDevice() const override { return m_inner->getDevice(); }

private:
    zem::File* m_inner;
    uint32_t m_writeBudget = UNLIMITED;
    uint32_t m_readBudget = UNLIMITED;
};

} // namespace documenttest
