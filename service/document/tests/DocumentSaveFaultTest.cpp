// Documents saved in every encoding on a device that fails one step of each save: the file
// is the old one or the whole new one, no temporary file stays, the failure comes back
// with a real code and the document stays modified.
#include "corvel/document/DocumentState.h"
#include "corvel/text/CodePages.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/TextEncoder.h"
#include "support/ControllerFixture.h"
#include "support/FaultDevice.h"
#include "zem/base/Error.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

using zemtest::FaultDevice;
using zemtest::readThrough;

struct StringSink : corvel::ByteSink {
    std::string bytes;
    bool writeBytes(const void* data, size_t count) override {
        bytes.append(static_cast<const char*>(data), count);
        return true;
    }
};

// The bytes a complete save of text in the code page holds, its mark first.
std::string encoded(const std::wstring& text, uint32_t codePage) {
    const corvel::EncodingMark& mark = corvel::encodingMarkFor(codePage);
    StringSink sink;
    sink.bytes.assign(reinterpret_cast<const char*>(mark.bytes), mark.length);
    std::unique_ptr<corvel::TextEncoder> encoder = corvel::TextEncoder::forCodePage(codePage);
    if (!encoder || !encoder->encode(text.data(), text.size(), sink))
        return "<cannot encode>";
    return sink.bytes;
}

// Lines of words; beyond ASCII only where the code page holds every character.
std::wstring generatedText(std::mt19937& random, bool asciiOnly) {
    static const wchar_t* const words[] = {L"alpha",         L"beta",         L"\t",         L"  ",    L"42",
                                           L"\u00E9t\u00E9", L"\u4E2D\u6587", L"\U0001F600", L"\u0416"};
    std::wstring text;
    const size_t length = random() % 6000;
    while (text.size() < length) {
        text += words[random() % (asciiOnly ? 5 : 9)];
        text += random() % 8 == 0 ? L'\n' : L' ';
    }
    return text;
}

class DocumentSaveFaultTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        ASSERT_TRUE(zem::fileAttachDevice(&m_device, L"zdocfault", 200));
    }
    void TearDown() override {
        ControllerFixture::TearDown();
        zem::fileDetachDevice(L"zdocfault");
    }
    void setFormat(uint32_t codePage) {
        document()->lockEdit();
        corvel::DocumentState& state = document()->lockState();
        state.codePage = codePage;
        state.lineEnding = corvel::LINE_ENDING_LF;
        document()->unlockState();
        document()->unlockEdit();
    }

    FaultDevice m_device;
};

} // namespace

TEST_F(DocumentSaveFaultTest, EveryEncodingKeepsTheOldFileOrTheWholeNewOneAndTheDocumentModified) {
    const uint32_t codePages[] = {corvel::CP_UTF8_PLAIN,
                                  corvel::CP_UTF8_MARK,
                                  corvel::CP_UTF16_LE,
                                  corvel::CP_UTF16_BE,
                                  corvel::CP_UTF32_LE,
                                  corvel::CP_UTF32_BE,
                                  1252};
    const size_t encodings = sizeof(codePages) / sizeof(codePages[0]);
    std::string old[encodings];
    for (std::string& bytes : old)
        bytes = "<missing>";
    std::mt19937 random(39);
    int failed = 0;
    for (int n = 0; n < 1000; ++n) {
        const size_t which = static_cast<size_t>(n) % encodings;
        const uint32_t codePage = codePages[which];
        const auto step = static_cast<FaultDevice::Step>((n / encodings) % FaultDevice::STEP_COUNT);
        const std::wstring path = L"zdocfault:doc" + std::to_wstring(which) + L".txt";
        setText(generatedText(random, codePage == 1252));
        type(L"edited ");
        setFormat(codePage);
        ASSERT_TRUE(controller->isModified());
        const std::string complete = encoded(text(), codePage);
        const uint32_t at = step == FaultDevice::DISK_FULL ? random() % (complete.size() + 1) : 1 + random() % 3;
        m_device.arm(step, at);
        std::unique_ptr<zem::ErrorObject> error;
        const bool saved = documents->saveDocument(document(), path.c_str(), error);
        const std::wstring stepName = FaultDevice::stepName(step);
        SCOPED_TRACE(::testing::Message() << "save " << n << ", code page " << codePage << ", "
                                          << std::string(stepName.begin(), stepName.end()) << " at " << at << ", "
                                          << complete.size() << " bytes");
        EXPECT_EQ(!m_device.fired(), saved);
        if (saved) {
            old[which] = complete;
            EXPECT_FALSE(controller->isModified());
        } else {
            ++failed;
            ASSERT_NE(nullptr, error);
            EXPECT_NE(0u, error->code()) << "a failure is never reported with error code 0";
            EXPECT_TRUE(controller->isModified()) << "the document stays modified";
        }
        ASSERT_EQ(old[which], readThrough(path.c_str())) << "the file is the old one or the whole new one";
        ASSERT_TRUE(m_device.leftOver().empty()) << "no temporary file is left";
    }
    EXPECT_GT(failed, 500) << "the faults fired";
}
