#include "corvel/config/ConfigValue.h"
#include "corvel/jasmine/JasmineParser.h"
#include "corvel/jasmine/JasmineValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

// Caught: a new value zeroed only 32 bits of its payload, so copying a list of lists into
// it freed half a pointer of leftover memory (a settings file with a nested list crashed).
TEST(ConfigValueListTest, ANestedListCopiesIntoAFreshValue) {
    corvel::JasmineValue parsed;
    corvel::JasmineParser parser;
    ASSERT_TRUE(parser.parse(L"[ 1 [ -3 ] ]", parsed));
    corvel::ConfigValue source;
    ASSERT_TRUE(source.fromJasmineValue(parsed));
    alignas(corvel::ConfigValue) unsigned char storage[sizeof(corvel::ConfigValue)];
    std::memset(storage, 0xA5, sizeof(storage));
    auto* copy = new (storage) corvel::ConfigValue();
    copy->assign(source);
    ASSERT_EQ(2u, copy->getList().size());
    EXPECT_EQ(1u, copy->getList()[1].getList().size());
    copy->~ConfigValue();
}
