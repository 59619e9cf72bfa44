#include "corvel/jasmine/JasmineValue.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

JasmineValue intValue(int32_t v) {
    JasmineValue value;
    value.setInt(v);
    return value;
}
JasmineValue unsignedValue(uint32_t v) {
    JasmineValue value;
    value.setUnsigned(v);
    return value;
}
JasmineValue realValue(double v) {
    JasmineValue value;
    value.setReal(v);
    return value;
}
JasmineValue boolValue(bool v) {
    JasmineValue value;
    value.setBool(v);
    return value;
}
JasmineValue stringValue(const wchar_t* v) {
    JasmineValue value;
    value.setString(v);
    return value;
}

struct GetterCase {
    const char* name;
    JasmineValue value;
    const wchar_t* asString;
    bool asBool;
    int32_t asInt;
    uint32_t asUnsigned;
    double asReal;
};

::testing::AssertionResult readsAs(const GetterCase& c) {
    std::wstring s = c.value.asString(L"d");
    bool b = c.value.asBool(true);
    int32_t i = c.value.asInt(-77);
    uint32_t u = c.value.asUnsigned(77);
    double r = c.value.asReal(7.5);
    if (s == c.asString && b == c.asBool && i == c.asInt && u == c.asUnsigned && r == c.asReal)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.name << ": got " << ::testing::PrintToString(s) << " " << b << " " << i
                                         << " " << u << " " << r;
}

} // namespace

TEST(JasmineValueTest, ConvertingGettersByType) {
    JasmineValue regex;
    regex.setRegExp(L"a+", L"i");
    JasmineValue list(JasmineValue::TYPE_LIST);
    JasmineValue emptyString = stringValue(L"");
    JasmineValue nullText;
    nullText.setString(nullptr);
    const GetterCase cases[] = {
        {"null", JasmineValue(), L"d", true, -77, 77, 7.5},
        {"int 0", intValue(0), L"d", false, 0, 0, 0.0},
        {"int 7", intValue(7), L"d", true, 7, 7, 7.0},
        {"int -1", intValue(-1), L"d", true, -1, 0xFFFFFFFFu, -1.0},
        {"unsigned top bit", unsignedValue(0x80000000u), L"d", true, INT32_MIN, 0x80000000u, 2147483648.0},
        {"real 3.9", realValue(3.9), L"d", true, 3, 3, 3.9},
        {"real -3.9", realValue(-3.9), L"d", true, -3, 0xFFFFFFFDu, -3.9},
        {"bool true", boolValue(true), L"true", true, 0, 0, 0.0},
        {"bool false", boolValue(false), L"false", false, 0, 0, 0.0},
        {"string 12", stringValue(L"12"), L"12", true, -77, 77, 7.5},
        {"string 0", stringValue(L"0"), L"0", true, -77, 77, 7.5},
        {"empty string", emptyString, L"", false, -77, 77, 7.5},
        {"string without buffer", nullText, L"d", false, -77, 77, 7.5},
        {"regex", regex, L"a+", true, -77, 77, 7.5},
        {"list", list, L"d", true, -77, 77, 7.5},
    };
    for (const GetterCase& c : cases)
        EXPECT_TRUE(readsAs(c));
}

TEST(JasmineValueTest, FindOnAnythingButADictionaryGivesSharedNull) {
    JasmineValue list(JasmineValue::TYPE_LIST);
    JasmineValue nothing;
    EXPECT_TRUE(list.find(L"x").isNull());
    EXPECT_STREQ(L"d", nothing.find(L"x").asString(L"d"));
    EXPECT_EQ(&list.find(L"x"), &nothing.find(L"y"));
    EXPECT_EQ(nullptr, nothing.findVersion());
}

TEST(JasmineValueTest, GetOrAddEntryTurnsNullIntoDictionary) {
    JasmineValue value;
    JasmineValue& entry = value.getOrAddEntry(L"a");
    EXPECT_TRUE(entry.isNull());
    ASSERT_TRUE(value.isDictionary());
    EXPECT_EQ(1u, value.dictionarySize());
    entry.setInt(3);
    EXPECT_EQ(3, value.find(L"a").asInt(0));
    // A second look-up finds the same entry; references stay valid as keys are added.
    for (int i = 0; i < 100; ++i)
        value.getOrAddEntry(L"k" + std::to_wstring(i));
    EXPECT_EQ(3, entry.asInt(0));
    EXPECT_EQ(&entry, &value.getOrAddEntry(L"a"));

    JasmineValue number = intValue(1);
    EXPECT_THROW(number.getOrAddEntry(L"a"), zem::AssertionViolationException);
}

TEST(JasmineValueTest, DictionaryKeepsInsertionOrderAndRemovesVersion) {
    JasmineValue value;
    const wchar_t* keys[] = {L"zeta", L"version", L"alpha", L"mid"};
    for (const wchar_t* key : keys)
        value.getOrAddEntry(key).setString(key);
    ASSERT_NE(nullptr, value.findVersion());
    EXPECT_STREQ(L"version", value.findVersion()->asString(L""));
    value.removeVersion();
    EXPECT_EQ(nullptr, value.findVersion());
    std::wstring order;
    for (const auto& entry : *value.dictionary())
        order += entry.key + L",";
    EXPECT_EQ(L"zeta,alpha,mid,", order);
}

TEST(JasmineValueTest, CopyIsDeep) {
    JasmineValue source;
    JasmineValue& list = source.getOrAddEntry(L"items");
    list.initPayload(JasmineValue::TYPE_LIST);
    list.appendElement().getOrAddEntry(L"name").setString(L"one");
    source.getOrAddEntry(L"re").setRegExp(L"a/b", L"i");

    JasmineValue copy(source);
    EXPECT_EQ(source, copy);
    JasmineValue* first = nullptr;
    JasmineValue* last = nullptr;
    const_cast<JasmineValue&>(copy.find(L"items")).listRange(first, last);
    ASSERT_EQ(1, last - first);
    first->getOrAddEntry(L"name").setString(L"changed");
    EXPECT_STREQ(L"one", source.find(L"items").listSize() == 1 ? L"one" : L"");
    const JasmineValue* sf = nullptr;
    const JasmineValue* sl = nullptr;
    source.find(L"items").listRange(sf, sl);
    EXPECT_STREQ(L"one", sf->find(L"name").asString(L""));
    EXPECT_NE(source, copy);
}

TEST(JasmineValueTest, AssignFromItsOwnElementCopiesFirst) {
    // Caught: freeing the old payload first read the freed element.
    JasmineValue value;
    value.getOrAddEntry(L"inner").getOrAddEntry(L"x").setString(L"kept");
    value = value.find(L"inner");
    EXPECT_STREQ(L"kept", value.find(L"x").asString(L""));
    value = value;
    EXPECT_STREQ(L"kept", value.find(L"x").asString(L""));

    JasmineValue list(JasmineValue::TYPE_LIST);
    list.appendElement().setString(L"only");
    JasmineValue* first = nullptr;
    JasmineValue* last = nullptr;
    list.listRange(first, last);
    list.assign(*first);
    EXPECT_STREQ(L"only", list.asString(L""));
}

TEST(JasmineValueTest, Equality) {
    JasmineValue raw;
    raw.setRawText(L"x");
    EXPECT_EQ(stringValue(L"x"), stringValue(L"x"));
    EXPECT_NE(stringValue(L"x"), raw);
    EXPECT_NE(intValue(1), unsignedValue(1));
    JasmineValue noText;
    noText.setString(nullptr);
    EXPECT_NE(noText, noText); // a null buffer equals nothing
    EXPECT_EQ(JasmineValue(), JasmineValue());

    JasmineValue a, b;
    a.getOrAddEntry(L"x").setInt(1);
    a.getOrAddEntry(L"y").setInt(2);
    b.getOrAddEntry(L"y").setInt(2);
    b.getOrAddEntry(L"x").setInt(1);
    EXPECT_EQ(a, b); // order does not matter to equality
    b.getOrAddEntry(L"x").setInt(3);
    EXPECT_NE(a, b);

    JasmineValue l1(JasmineValue::TYPE_LIST), l2(JasmineValue::TYPE_LIST);
    l1.appendElement().setInt(1);
    l2.appendElement().setInt(1);
    EXPECT_EQ(l1, l2);
    l2.appendElement();
    EXPECT_NE(l1, l2);
    l2.clearList();
    EXPECT_EQ(0u, l2.listSize());
    EXPECT_TRUE(l2.isList());
}
