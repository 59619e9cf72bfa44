// Settings files saved on a device that fails one step of each save: the file is the old
// one or the whole new one, no temporary file stays, the failure is logged and the
// changed values stay marked for the next save.
#include "corvel/config/Config.h"
#include "corvel/config/ConfigFile.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "support/FaultDevice.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace corvel;
using zemtest::FaultDevice;
using zemtest::readThrough;

namespace {

const wchar_t PATH[] = L"zcfgfault:settings.cvConfig";

class ConfigSaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zem::fileAttachDevice(&m_device, L"zcfgfault", 200)); }
    void TearDown() override { zem::fileDetachDevice(L"zcfgfault"); }

    FaultDevice m_device;
};

} // namespace

TEST_F(ConfigSaveFaultTest, EveryStepKeepsTheOldFileOrTheWholeNewOneAndTheValuesModified) {
    Config config;
    ConfigFile* file = config.getFile(PATH, false);
    ConfigValue* number = file->declare(ConfigValue::TYPE_INT, L"app.fault.number");
    ConfigValue* text = file->declare(ConfigValue::TYPE_STRING, L"app.fault.text");
    ConfigValue* list = file->declare(ConfigValue::TYPE_LIST, L"app.fault.list");
    std::mt19937 random(39);
    std::string old = "<missing>";
    int failed = 0;
    for (int n = 0; n < 1000; ++n) {
        number->setInt(static_cast<int32_t>(random()));
        text->setString(std::wstring(random() % 3000, static_cast<wchar_t>(L'a' + random() % 26)) + L"'\u00E9");
        ConfigValue::List items(random() % 40);
        for (ConfigValue& item : items)
            item.setInt(static_cast<int32_t>(random() % 1000));
        list->setList(items);
        const auto step = static_cast<FaultDevice::Step>(n % FaultDevice::STEP_COUNT);
        const uint32_t at = step == FaultDevice::DISK_FULL ? random() % 4000 : 1 + random() % 3;
        m_device.arm(step, at);
        zemtest::LogCapture log(config.logSource());
        const bool saved = file->save();
        const std::wstring stepName = FaultDevice::stepName(step);
        SCOPED_TRACE(::testing::Message()
                     << "save " << n << ", " << std::string(stepName.begin(), stepName.end()) << " at " << at);
        EXPECT_EQ(!m_device.fired(), saved);
        if (saved) {
            old = readThrough(PATH);
            JasmineValue written;
            ASSERT_TRUE(JasmineLoader::load(PATH, written));
            JasmineValue built;
            file->buildDocument(built);
            EXPECT_TRUE(written == built) << "the whole new file";
            EXPECT_FALSE(number->hasFlags(ConfigValue::FLAG_MODIFIED));
        } else {
            ++failed;
            EXPECT_TRUE(number->hasFlags(ConfigValue::FLAG_MODIFIED)) << "saved again next time";
            ASSERT_FALSE(log.lines().empty());
            EXPECT_EQ(L"File 'zcfgfault:settings.cvConfig' can't open for write", log.lines().back().text);
        }
        ASSERT_EQ(old, readThrough(PATH)) << "the file is the old one or the whole new one";
        ASSERT_TRUE(m_device.leftOver().empty()) << "no temporary file is left";
    }
    EXPECT_GT(failed, 500) << "the faults fired";
}
