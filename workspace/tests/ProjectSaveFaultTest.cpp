// Project files saved on a device that fails one step of each save: the file is the old
// one or the whole new one, no temporary file stays, the failure is logged and the project
// stays modified, to be saved again.
#include "WorkspaceDevices.h"
#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "support/FaultDevice.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using corvel::Project;
using corvel::ProjectItem;
using zemtest::FaultDevice;
using zemtest::readThrough;

namespace {

const wchar_t PATH[] = L"zprjfault:fault.cvProject";

bool logged(zemtest::LogCapture& log, const std::wstring& text) {
    for (const auto& line : log.lines()) {
        if (line.text.find(text) != std::wstring::npos)
            return true;
    }
    return false;
}

class ProjectSaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        workspacetest::WorkspaceDevices::ensure();
        ASSERT_TRUE(zem::fileAttachDevice(&m_device, L"zprjfault", 200));
    }
    void TearDown() override { zem::fileDetachDevice(L"zprjfault"); }

    FaultDevice m_device;
};

} // namespace

TEST_F(ProjectSaveFaultTest, EveryStepKeepsTheOldFileOrTheWholeNewOneAndTheProjectModified) {
    Project project(nullptr);
    auto* root = new corvel::ProjectVirtualFolder(&project);
    root->setName(L"Faults");
    project.setRoot(root);
    std::mt19937 random(39);
    std::string old = "<missing>";
    int failed = 0;
    for (int n = 0; n < 1000; ++n) {
        // A few more files each time, so that each save writes something new.
        for (uint32_t i = random() % 4; i > 0; --i) {
            ProjectItem* file = project.createItem(ProjectItem::KIND_FILE, nullptr);
            file->setPath(L"C:\\work\\file" + std::to_wstring(random()) + L".txt");
            project.attachItem(file, root);
        }
        project.setModified(true);
        const auto step = static_cast<FaultDevice::Step>(n % FaultDevice::STEP_COUNT);
        const uint32_t at = step == FaultDevice::DISK_FULL ? random() % 20000 : 1 + random() % 2;
        m_device.arm(step, at);
        zemtest::LogCapture log;
        const bool saved = project.save(PATH);
        const std::wstring stepName = FaultDevice::stepName(step);
        SCOPED_TRACE(::testing::Message()
                     << "save " << n << ", " << std::string(stepName.begin(), stepName.end()) << " at " << at);
        EXPECT_EQ(!m_device.fired(), saved);
        if (saved) {
            old = readThrough(PATH);
            corvel::JasmineValue written;
            ASSERT_TRUE(corvel::JasmineLoader::load(PATH, written));
            EXPECT_TRUE(written.find(L"root") == project.buildValue().find(L"root")) << "the whole new file";
            EXPECT_FALSE(project.isModified());
        } else {
            ++failed;
            EXPECT_TRUE(project.isModified()) << "saved again next time";
            EXPECT_TRUE(logged(log, L"JasmineLoader::save(): Cannot open file for writing."));
        }
        ASSERT_EQ(old, readThrough(PATH)) << "the file is the old one or the whole new one";
        ASSERT_TRUE(m_device.leftOver().empty()) << "no temporary file is left";
    }
    EXPECT_GT(failed, 500) << "the faults fired";
}
