// Saves that fail at each step, on a device that injects the fault: the target is always
// the old file or the complete new one, no temporary file is left, and a failure always
// carries a real error code.
#include "support/FaultDevice.h"
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"
#include "zem/files/SafeSave.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using zemtest::FaultDevice;
using zemtest::readThrough;

namespace {

const wchar_t TARGET[] = L"zfault:target.bin";

class SaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zem::fileAttachDevice(&m_device, L"zfault", 200)); }
    void TearDown() override { zem::fileDetachDevice(L"zfault"); }

    FaultDevice m_device;
};

} // namespace

TEST_F(SaveFaultTest, EveryStepLeavesTheOldFileOrTheWholeNewOne) {
    std::mt19937 random(39);
    std::string old = "<missing>";
    int failed = 0;
    for (int n = 0; n < 1000; ++n) {
        std::string content(random() % 9000, '\0');
        for (char& c : content)
            c = static_cast<char>(random());
        const auto step = static_cast<FaultDevice::Step>(n % FaultDevice::STEP_COUNT);
        const uint32_t at = step == FaultDevice::DISK_FULL ? random() % (content.size() + 1) : 1 + random() % 4;
        m_device.arm(step, at);
        // The content goes in pieces of up to 2 KB, as the savers write it.
        bool saved = zem::fileSaveReplacing(TARGET, [&](zem::File& file) {
            for (size_t done = 0; done < content.size();) {
                uint32_t piece = static_cast<uint32_t>(std::min<size_t>(content.size() - done, 1 + random() % 2048));
                if (file.write(content.data() + done, piece) != piece)
                    return false;
                done += piece;
            }
            return true;
        });
        const std::wstring step_name = FaultDevice::stepName(step);
        SCOPED_TRACE(::testing::Message() << "save " << n << ", " << std::string(step_name.begin(), step_name.end())
                                          << " at " << at << ", " << content.size() << " bytes");
        EXPECT_EQ(!m_device.fired(), saved);
        if (saved) {
            old = content;
        } else {
            ++failed;
            EXPECT_NE(0u, zem::lastErrorCode()) << "a failure is never reported with error code 0";
        }
        ASSERT_EQ(old, readThrough(TARGET)) << "the target is the old file or the whole new one";
        ASSERT_TRUE(m_device.leftOver(TARGET).empty()) << "no temporary file is left";
    }
    EXPECT_GT(failed, 500) << "the faults fired";
}
