#include "zem/base/Uuid.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

TEST(UuidTest, CreatedValuesAreDistinctVersionFourAndPrintReadably) {
    std::set<zem::Uuid> seen;
    for (int i = 0; i < 50; ++i) {
        zem::Uuid uuid;
        uuid.create();
        EXPECT_FALSE(uuid.isNil());
        EXPECT_TRUE(seen.insert(uuid).second);
        const std::wstring text = uuid.toString();
        ASSERT_EQ(36u, text.size()) << narrow(text);
        EXPECT_EQ(L'4', text[14]) << narrow(text);
        zem::Uuid back;
        ASSERT_TRUE(back.fromString(text)) << narrow(text);
        EXPECT_EQ(uuid, back);
    }
}

TEST(UuidTest, ParsesUpperCaseAndPrintsLowerCase) {
    zem::Uuid uuid;
    ASSERT_TRUE(uuid.fromString(L"0A1B2C3D-4E5F-6A7B-8C9D-AEBFC0D1E2F3"));
    EXPECT_EQ(L"0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2f3", uuid.toString());
    // The first field is stored in the platform's (little-endian) order.
    EXPECT_EQ(0x3D, uuid.bytes()[0]);
    EXPECT_EQ(0x0A, uuid.bytes()[3]);
    EXPECT_EQ(0x5F, uuid.bytes()[4]);
    EXPECT_EQ(0x8C, uuid.bytes()[8]);
}

::testing::AssertionResult rejected(const wchar_t* text) {
    zem::Uuid uuid;
    uuid.create();
    const bool ok = uuid.fromString(text);
    if (!ok && uuid.isNil() && uuid.toString() == L"00000000-0000-0000-0000-000000000000")
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << narrow(text) << "\" gave " << ok << " and "
                                         << narrow(uuid.toString());
}

TEST(UuidTest, BadTextsLeaveTheNilUuid) {
    const wchar_t* cases[] = {
        L"{0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2f3}", // braces
        L"0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2f",    // one digit missing
        L"0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2f3a",  // one digit too many
        L"0a1b2c3d4e5f-6a7b-8c9d-aebfc0d1e2f3-",   // separator misplaced
        L"0a1b2c3d-4e5f-6a7b-8c9d-aebfc0d1e2g3",   // not hexadecimal
        L"",
        L"nil",
    };
    for (const wchar_t* text : cases)
        EXPECT_TRUE(rejected(text));
    zem::Uuid uuid;
    EXPECT_THROW(uuid.fromString(static_cast<const wchar_t*>(nullptr)), zem::NullPointerException);
}

TEST(UuidTest, CompareOrdersByStoredBytes) {
    zem::Uuid a;
    zem::Uuid b;
    // In the text b's first field is smaller, but its least significant byte is larger.
    ASSERT_TRUE(a.fromString(L"02000000-0000-0000-0000-000000000000"));
    ASSERT_TRUE(b.fromString(L"01000001-0000-0000-0000-000000000000"));
    EXPECT_LT(zem::Uuid::compare(a, b), 0);
    EXPECT_GT(zem::Uuid::compare(b, a), 0);
    EXPECT_TRUE(a < b);
    zem::Uuid c;
    c.assign(b);
    EXPECT_EQ(0, zem::Uuid::compare(b, c));
    zem::Uuid high;
    ASSERT_TRUE(high.fromString(L"ff000000-0000-0000-0000-000000000000"));
    EXPECT_GT(zem::Uuid::compare(high, a), 0); // bytes compare unsigned
    EXPECT_TRUE(zem::Uuid().isNil());
}

} // namespace
