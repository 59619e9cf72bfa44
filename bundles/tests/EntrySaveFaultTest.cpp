// Bundle entry files written on a device that fails one step of each save: the file is the
// old one or the whole new one, no temporary file stays, and the failure reaches the
// caller as the file layer's exception with the reason.
#include "corvel/bundles/BundleSource.h"
#include "support/FaultDevice.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using zemtest::FaultDevice;
using zemtest::readThrough;

namespace {

const wchar_t PATH[] = L"zentryfault:Entry.cvSnippet";

class EntrySaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zem::fileAttachDevice(&m_device, L"zentryfault", 200)); }
    void TearDown() override { zem::fileDetachDevice(L"zentryfault"); }

    FaultDevice m_device;
};

} // namespace

TEST_F(EntrySaveFaultTest, EveryStepKeepsTheOldFileOrTheWholeNewOne) {
    std::mt19937 random(39);
    std::string old = "<missing>";
    int failed = 0;
    for (int n = 0; n < 1000; ++n) {
        std::wstring text = L"{ name : 'entry " + std::to_wstring(n) + L"' content : '";
        text.append(random() % 4000, static_cast<wchar_t>(0x41 + random() % 0x2000));
        text += L"' }";
        const std::string complete =
            std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        const auto step = static_cast<FaultDevice::Step>(n % FaultDevice::STEP_COUNT);
        const uint32_t at = step == FaultDevice::DISK_FULL ? random() % (complete.size() + 1) : 1 + random() % 2;
        m_device.arm(step, at);
        bool saved = true;
        std::wstring reason;
        try {
            corvel::writeEntryFile(PATH, text);
        } catch (const zem::FileException& e) {
            saved = false;
            reason = e.message();
        }
        const std::wstring stepName = FaultDevice::stepName(step);
        SCOPED_TRACE(::testing::Message() << "save " << n << ", " << std::string(stepName.begin(), stepName.end())
                                          << " at " << at << ", " << complete.size() << " bytes");
        EXPECT_EQ(!m_device.fired(), saved);
        if (saved) {
            old = complete;
        } else {
            ++failed;
            EXPECT_FALSE(reason.empty()) << "the reason is told";
        }
        ASSERT_EQ(old, readThrough(PATH)) << "the file is the old one or the whole new one";
        ASSERT_TRUE(m_device.leftOver().empty()) << "no temporary file is left";
    }
    EXPECT_GT(failed, 500) << "the faults fired";
}
