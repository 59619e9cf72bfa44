#include "corvel/config/ValidationErrorList.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using corvel::ValidationError;
using corvel::ValidationErrorList;

namespace {

class TextError : public ValidationError {
public:
    TextError(std::wstring text, uint32_t severity) : ValidationError(severity), m_text(std::move(text)) {}
    void getMessage(std::wstring& out) const override { out = m_text; }
    ValidationError* clone() const override { return new TextError(*this); }

private:
    std::wstring m_text;
};

std::vector<uint32_t> countsOf(const ValidationErrorList& list) {
    return list.counts();
}

} // namespace

TEST(ValidationErrorListTest, CountsBySeverityInInsertionOrder) {
    ValidationErrorList list;
    list.add(new TextError(L"a", 2));
    list.add(new TextError(L"b", 0));
    list.add(new TextError(L"c", 2));
    EXPECT_EQ((std::vector<uint32_t>{1, 0, 2}), countsOf(list));
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(L"a", list.at(0)->getMessage());
    EXPECT_EQ(L"b", list.at(1)->getMessage());
    EXPECT_EQ(L"c", list.at(2)->getMessage());
    EXPECT_EQ(2u, list.count(2));
    EXPECT_EQ(0u, list.count(7));

    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0u, list.count(2));
    EXPECT_TRUE(list.counts().empty());
}

TEST(ValidationErrorListTest, NullIsRefusedAndChangesNothing) {
    ValidationErrorList list;
    list.add(new TextError(L"kept", 1));
    try {
        list.add(nullptr);
        FAIL() << "no exception";
    } catch (const zem::NullPointerException& e) {
        EXPECT_EQ(L"Null reference.", e.message());
    }
    EXPECT_EQ(1u, list.size());
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), countsOf(list));
}

TEST(ValidationErrorListTest, BaseTextIsUnknownError) {
    ValidationError error;
    EXPECT_EQ(L"Unknown error.", error.getMessage());
    EXPECT_EQ(2u, error.getSeverity());
}

// Copies used to lose their subclass and read "Unknown error.": a copied list must say
// what the original said.
TEST(ValidationErrorListTest, AssignCopiesErrorsWhole) {
    ValidationErrorList source;
    TextError* first = new TextError(L"Value is empty.", 2);
    first->addTag(0x2b36786b);
    source.add(first);
    source.add(new TextError(L"Scope is not set.", 1));

    ValidationErrorList copy;
    copy.add(new TextError(L"old", 0));
    copy.assign(source);
    ASSERT_EQ(2u, copy.size());
    EXPECT_EQ(L"Value is empty.", copy.at(0)->getMessage());
    EXPECT_TRUE(copy.at(0)->hasTag(0x2b36786b));
    EXPECT_EQ(2u, copy.at(0)->getSeverity());
    EXPECT_EQ(L"Scope is not set.", copy.at(1)->getMessage());
    EXPECT_EQ(source.counts(), copy.counts());
    EXPECT_NE(source.at(0), copy.at(0));

    copy.assign(copy);
    EXPECT_EQ(2u, copy.size());
}
