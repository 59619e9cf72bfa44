#include "corvel/config/ConfigValue.h"
#include "corvel/jasmine/JasmineValue.h"

#include "JasmineTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace corvel;

namespace {

// "type:value" of a config value.
std::wstring show(const ConfigValue& v) {
    switch (v.getType()) {
    case ConfigValue::TYPE_UNSET:
        return L"unset";
    case ConfigValue::TYPE_INT:
        return L"int:" + std::to_wstring(v.asInt());
    case ConfigValue::TYPE_UNSIGNED:
        return L"unsigned:" + std::to_wstring(v.asUnsigned());
    case ConfigValue::TYPE_BOOL:
        return v.asBool() ? L"bool:true" : L"bool:false";
    case ConfigValue::TYPE_STRING:
        return L"string:" + std::wstring(v.getString());
    case ConfigValue::TYPE_FLOAT:
        return L"float:" + std::to_wstring(v.getFloat());
    case ConfigValue::TYPE_LIST: {
        std::wstring out = L"list:[";
        for (const ConfigValue& e : v.getList())
            out += show(e) + L" ";
        return out + L"]";
    }
    case ConfigValue::TYPE_JASMINE:
        return L"jasmine:" + (v.getJasmine() ? corveltest::describe(*v.getJasmine()) : std::wstring(L"none"));
    }
    return L"?";
}

ConfigValue make(ConfigValue::Type type, const std::function<void(ConfigValue&)>& set) {
    ConfigValue value(type);
    if (set)
        set(value);
    return value;
}

struct SetterCase {
    const char* name;
    ConfigValue::Type type;
    std::function<void(ConfigValue&)> before;
    std::function<void(ConfigValue&)> set;
    const wchar_t* expected;
};

::testing::AssertionResult setsTo(const SetterCase& c) {
    ConfigValue value = make(c.type, c.before);
    value.clearFlags(0x700);
    c.set(value);
    std::wstring got = show(value);
    if (got != c.expected)
        return ::testing::AssertionFailure() << c.name << ": " << ::testing::PrintToString(got);
    if (!value.hasFlags(0x700))
        return ::testing::AssertionFailure() << c.name << ": flags " << std::hex << value.getFlags();
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(ConfigValueTest, SettersConvertIntoTheValuesType) {
    using T = ConfigValue;
    auto seven = [](ConfigValue& v) { v.setInt(7); };
    auto text = [](const wchar_t* s) { return [s](ConfigValue& v) { v.setString(s); }; };
    const SetterCase cases[] = {
        {"bool on unset", T::TYPE_UNSET, nullptr, [](T& v) { v.setBool(true); }, L"bool:true"},
        {"bool on int", T::TYPE_INT, nullptr, [](T& v) { v.setBool(true); }, L"int:1"},
        {"bool on string", T::TYPE_STRING, nullptr, [](T& v) { v.setBool(false); }, L"string:0"},
        {"bool on float", T::TYPE_FLOAT, nullptr, [](T& v) { v.setBool(true); }, L"float:1.000000"},
        {"int on unset", T::TYPE_UNSET, nullptr, [](T& v) { v.setInt(-3); }, L"int:-3"},
        {"int on bool", T::TYPE_BOOL, nullptr, [](T& v) { v.setInt(5); }, L"bool:true"},
        {"int on string", T::TYPE_STRING, nullptr, [](T& v) { v.setInt(-12); }, L"string:-12"},
        {"int on float", T::TYPE_FLOAT, nullptr, [](T& v) { v.setInt(4); }, L"float:4.000000"},
        {"unsigned on unset", T::TYPE_UNSET, nullptr, [](T& v) { v.setUnsigned(3000000000u); }, L"unsigned:3000000000"},
        // Mended: unsigned text stays positive.
        {"unsigned on string", T::TYPE_STRING, nullptr, [](T& v) { v.setUnsigned(3000000000u); },
         L"string:3000000000"},
        {"unsigned on bool", T::TYPE_BOOL, nullptr, [](T& v) { v.setUnsigned(0); }, L"bool:false"},
        {"float on int", T::TYPE_INT, nullptr, [](T& v) { v.setFloat(-2.9f); }, L"int:-2"},
        {"float on unsigned", T::TYPE_UNSIGNED, nullptr, [](T& v) { v.setFloat(-1.0f); }, L"unsigned:4294967295"},
        {"float on bool changes nothing", T::TYPE_BOOL, [](T& v) { v.setBool(true); }, [](T& v) { v.setFloat(0); },
         L"bool:true"},
        {"float on string changes nothing", T::TYPE_STRING, text(L"s"), [](T& v) { v.setFloat(1); }, L"string:s"},
        {"string on unset", T::TYPE_UNSET, nullptr, text(L"abc"), L"string:abc"},
        {"string 12 on int", T::TYPE_INT, seven, text(L"12"), L"int:12"},
        {"string abc on int keeps", T::TYPE_INT, seven, text(L"abc"), L"int:7"},
        {"string on unsigned", T::TYPE_UNSIGNED, nullptr, text(L"42"), L"unsigned:42"},
        {"yes on bool", T::TYPE_BOOL, nullptr, text(L"yes"), L"bool:true"},
        {"no on bool", T::TYPE_BOOL, [](T& v) { v.setBool(true); }, text(L"no"), L"bool:false"},
        {"True on bool", T::TYPE_BOOL, nullptr, text(L"True"), L"bool:true"},
        {"string on float", T::TYPE_FLOAT, nullptr, text(L"2.5"), L"float:2.500000"},
        {"string on list ignored", T::TYPE_LIST, nullptr, text(L"x"), L"list:[]"},
    };
    for (const SetterCase& c : cases)
        EXPECT_TRUE(setsTo(c));
}

TEST(ConfigValueTest, GettersConvert) {
    ConfigValue s(ConfigValue::TYPE_STRING);
    EXPECT_STREQ(L"", s.getString()); // declared, never set
    EXPECT_EQ(0, s.asInt());
    EXPECT_FALSE(s.asBool());
    s.setString(L"-5x");
    EXPECT_EQ(-5, s.asInt());
    EXPECT_TRUE(s.asBool()); // '-' is 45, odd
    ConfigValue f(ConfigValue::TYPE_FLOAT);
    f.setFloat(3.9f);
    EXPECT_EQ(3, f.asInt());
    EXPECT_TRUE(f.asBool());
    f.setFloat(1e30f);
    EXPECT_EQ(INT32_MAX, f.asInt()); // saturates instead of undefined behaviour
    ConfigValue b(ConfigValue::TYPE_BOOL);
    b.setBool(true);
    EXPECT_EQ(1, b.asInt());
    EXPECT_EQ(1u, b.asUnsigned());
    EXPECT_FALSE(ConfigValue::parseBoolText(L""));
    EXPECT_FALSE(ConfigValue::parseBoolText(L"F"));
    EXPECT_TRUE(ConfigValue::parseBoolText(L"t"));
    EXPECT_FALSE(ConfigValue::parseBoolText(L"n")); // 110, even
}

TEST(ConfigValueTest, ListsAssignAndClear) {
    ConfigValue::List items;
    items.emplace_back(ConfigValue::TYPE_UNSET);
    items.back().setInt(1);
    items.emplace_back(ConfigValue::TYPE_UNSET);
    items.back().setString(L"two");
    ConfigValue list(ConfigValue::TYPE_LIST);
    list.setList(items);
    EXPECT_EQ(L"list:[int:1 string:two ]", show(list));
    list.setList(list.getList()); // from its own elements
    EXPECT_EQ(L"list:[int:1 string:two ]", show(list));
    ConfigValue copy(ConfigValue::TYPE_UNSET);
    copy.assign(list);
    EXPECT_EQ(L"list:[int:1 string:two ]", show(copy));
    copy.clear();
    EXPECT_EQ(ConfigValue::TYPE_LIST, copy.getType());
    EXPECT_FALSE(copy.hasFlags(ConfigValue::FLAG_HOLDS_VALUE));
    EXPECT_TRUE(copy.hasFlags(ConfigValue::FLAG_CHANGED | ConfigValue::FLAG_MODIFIED));
    EXPECT_EQ(L"list:[]", show(copy));
    ConfigValue number(ConfigValue::TYPE_INT);
    number.setList(items);
    EXPECT_EQ(L"int:0", show(number));
}

TEST(ConfigValueTest, JasmineConversions) {
    JasmineValue doc;
    doc.getOrAddEntry(L"a").setInt(1);
    const struct {
        const char* name;
        std::function<void(JasmineValue&)> make;
        const wchar_t* expected; // null: refused
    } cases[] = {
        {"int", [](JasmineValue& j) { j.setInt(-4); }, L"int:-4"},
        {"unsigned", [](JasmineValue& j) { j.setUnsigned(3000000000u); }, L"unsigned:3000000000"},
        {"real", [](JasmineValue& j) { j.setReal(2.5); }, L"float:2.500000"},
        {"string", [](JasmineValue& j) { j.setString(L"s"); }, L"string:s"},
        {"bool", [](JasmineValue& j) { j.setBool(true); }, L"bool:true"},
        {"list", [](JasmineValue& j) {
             j.initPayload(JasmineValue::TYPE_LIST);
             j.appendElement().setInt(1);
             j.appendElement();
         }, L"list:[int:1 unset ]"},
        {"dictionary", [&](JasmineValue& j) { j = doc; }, L"jasmine:{a:i1}"},
        {"null", [](JasmineValue& j) { j.reset(); }, nullptr},
        {"raw", [](JasmineValue& j) { j.setRawText(L"r"); }, nullptr},
        {"regexp", [](JasmineValue& j) { j.setRegExp(L"a", L""); }, nullptr},
    };
    for (const auto& c : cases) {
        JasmineValue source;
        c.make(source);
        ConfigValue value(ConfigValue::TYPE_INT);
        value.setInt(9);
        bool ok = value.fromJasmineValue(source);
        if (!c.expected) {
            EXPECT_FALSE(ok) << c.name;
            EXPECT_FALSE(value.hasFlags(ConfigValue::FLAG_HOLDS_VALUE)) << c.name;
            continue;
        }
        EXPECT_TRUE(ok) << c.name;
        EXPECT_EQ(c.expected, show(value)) << c.name;
        JasmineValue back;
        value.toJasmine(back);
        if (source.getType() != JasmineValue::TYPE_LIST) {
            EXPECT_EQ(corveltest::describe(source), corveltest::describe(back)) << c.name;
        }
    }
}
