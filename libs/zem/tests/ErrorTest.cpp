#include "zem/base/Error.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

std::wstring render(uint32_t code, std::initializer_list<const wchar_t*> params) {
    zem::ErrorParams* p = zem::setError(code);
    for (const wchar_t* text : params)
        p->add(text);
    return zem::lastErrorMessage();
}

TEST(ErrorTest, TemplatesTakeTheirParameters) {
    const struct {
        uint32_t code;
        std::initializer_list<const wchar_t*> params;
        const wchar_t* text;
    } rows[] = {
        {0x20001002, {L"zz"}, L"Unknown file system device 'zz'."},
        {0x20001006, {L"a"}, L"The target device doesn't support requested file operation '<< EMPTY PARAM >>'."},
        {0x20001006, {L"a", L"copy"}, L"The target device doesn't support requested file operation 'copy'."},
        {0x20000001, {L"x.cpp", L"12"}, L"Internal error.\n\nFile: x.cpp\nLine: 12"},
        {0x20008002, {}, L"Formatting the error code 0x20008002 failed."},
        {0x20003017, {nullptr}, L"NULL_PTR\n\nAre you sure you want to do that?"},
        {0x20001000, {}, L"Too many registered devices in Corvel's file system."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.text, render(row.code, row.params)) << std::hex << row.code;
}

TEST(ErrorTest, ParametersStopAtFour) {
    zem::ErrorParams* p = zem::setError(0x20001002);
    for (const wchar_t* t : {L"1", L"2", L"3", L"4"})
        p->add(t);
    EXPECT_EQ(4u, zem::currentError().params.count());
    EXPECT_EQ(L"0x20001002", zem::currentError().params.get(0));
    EXPECT_EQ(L"3", zem::currentError().params.get(3));
    EXPECT_EQ(0x20001002u, GetLastError());
}

TEST(ErrorTest, SuccessClearsParameters) {
    zem::setError(0x20001002)->add(L"x");
    EXPECT_EQ(nullptr, zem::setError(0));
    EXPECT_EQ(0u, zem::currentError().params.count());
    EXPECT_EQ(L"Success.", zem::lastErrorMessage());
}

TEST(ErrorTest, SystemCodesAndUnknownCodes) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    zem::ErrorRecord& record = zem::captureLastError();
    EXPECT_EQ(2u, record.code);
    std::wstring text = zem::formatErrorMessage(record);
    ASSERT_FALSE(text.empty());
    // The system's own line break once reached the error boxes, shown there as two boxes.
    EXPECT_EQ(std::wstring::npos, text.find_first_of(L"\r\n")) << std::string(text.begin(), text.end());
    EXPECT_NE(L' ', text.back());
    zem::setError(0x1FFFFFF0);
    EXPECT_EQ(L"Unknown error code: 0x1FFFFFF0", zem::lastErrorMessage());
}

TEST(ErrorTest, RegistrationRejectsDuplicatesAndBadTemplates) {
    const zem::ErrorTableEntry duplicate[] = {{0x20001002, 1, L"again"}, {-1, 0, nullptr}};
    EXPECT_FALSE(zem::registerErrorTable(duplicate));
    EXPECT_EQ(0x20008000u, zem::lastErrorCode());
    EXPECT_EQ(L"0x20001002", zem::currentError().params.get(1));

    const zem::ErrorTableEntry badFormat[] = {{0x2000F001, 1, L"uses %2"}, {-1, 0, nullptr}};
    EXPECT_FALSE(zem::registerErrorTable(badFormat));
    EXPECT_EQ(0x20008003u, zem::lastErrorCode());

    EXPECT_FALSE(zem::registerErrorTable(nullptr));
    EXPECT_EQ(0x20000000u, zem::lastErrorCode());

    const zem::ErrorTableEntry good[] = {{0x2000F002, 2, L"%1 and %2 (%0)"}, {-1, 0, nullptr}};
    EXPECT_TRUE(zem::registerErrorTable(good));
    EXPECT_EQ(L"a and b (0x2000F002)", render(0x2000F002, {L"a", L"b"}));
}

TEST(ErrorTest, ErrorObjectOutlivesLaterCalls) {
    zem::setError(0x20001002)->add(L"dev");
    zem::ErrorObject saved;
    zem::setError(0);
    EXPECT_EQ(0x20001002u, saved.code());
    EXPECT_EQ(L"Unknown file system device 'dev'.", saved.message());
}

} // namespace
