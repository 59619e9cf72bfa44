#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/base/Object.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

std::wstring assertionText(const wchar_t* expression, const wchar_t* file, int line) {
    try {
        zem::assertionFailed(expression, file, line);
    } catch (zem::AssertionViolationException& e) {
        return e.message();
    }
    return L"<no exception>";
}

TEST(AssertionTest, MessageNamesExpressionFileAndLine) {
    EXPECT_EQ(L"m_handle in file \"x.cpp\", line 78", assertionText(L"m_handle", L"x.cpp", 78));
    EXPECT_EQ(L"in file \"x.cpp\", line 78", assertionText(nullptr, L"x.cpp", 78));
    EXPECT_EQ(L"a in file \"f\", line -1", assertionText(L"a", L"f", -1));
}

TEST(AssertionTest, MacroThrowsOnlyWhenConditionFails) {
    int value = 1;
    EXPECT_NO_THROW(ZEM_ASSERT(value == 1));
    try {
        ZEM_ASSERT(value == 2);
        FAIL() << "no assertion";
    } catch (zem::LogicException& e) {
        EXPECT_EQ(0u, e.message().find(L"value == 2 in file \""));
    }
}

TEST(AssertionTest, NullChecksThrowNullReference) {
    int x = 0;
    EXPECT_NO_THROW(zem::throwIfNull(&x));
    for (auto thrower : {+[] { zem::throwIfNull(nullptr); }, +[] { corvel::throwNullPointerException(); }}) {
        try {
            thrower();
            ADD_FAILURE() << "nothing thrown";
        } catch (zem::NullPointerException& e) {
            EXPECT_EQ(L"Null reference.", e.message());
        }
    }
}

TEST(ExceptionTest, CloneKeepsFamilyAndMessageOnly) {
    std::unique_ptr<zem::Exception> runtime(zem::FileNotFoundException(L"gone").clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::RuntimeException*>(runtime.get()));
    EXPECT_EQ(nullptr, dynamic_cast<zem::FileException*>(runtime.get()));
    EXPECT_EQ(L"gone", runtime->message());

    std::unique_ptr<zem::Exception> logic(zem::IllegalStateException(L"state").clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::LogicException*>(logic.get()));
    EXPECT_EQ(nullptr, dynamic_cast<zem::IllegalStateException*>(logic.get()));
    EXPECT_EQ(L"state", logic->message());
}

TEST(ExceptionTest, MessageAndGetMessageAgreeEvenWhenEmpty) {
    for (const wchar_t* text : {L"", L"some text"}) {
        zem::net::HTTPException e(text);
        std::wstring out = L"junk";
        e.getMessage(out);
        EXPECT_EQ(out, e.message());
        EXPECT_EQ(text, out);
    }
}

TEST(ExceptionTest, LeafClassesCatchByFamily) {
    try {
        zem::PathSyntaxException(L"bad path").raise();
    } catch (zem::SyntaxException& e) {
        EXPECT_EQ(L"bad path", e.message());
        return;
    }
    FAIL();
}

TEST(ObjectTest, DefaultTypeIsObjectSymbol) { EXPECT_EQ(0xa8adabecu, zem::Object().getType()); }

} // namespace
