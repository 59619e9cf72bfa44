#include "corvel/config/DictionaryValueMerger.h"

#include "zem/base/Exception.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

using corvel::DictionaryValueMerger;

namespace {

zem::DictionaryValue* dict(std::initializer_list<std::pair<const wchar_t*, zem::Value*>> entries) {
    zem::DictionaryValue* d = zem::createDictionaryValue();
    for (const auto& e : entries)
        d->set(e.first, e.second);
    return d;
}

zem::Value* integer(int v) {
    return new zem::ScalarValue(v);
}

} // namespace

class DictionaryValueMergerTest : public ::testing::Test {
protected:
    void SetUp() override {
        merger.addLayer(dict({{L"x", integer(1)}, {L"z", integer(9)}}));
        merger.addLayer(nullptr);
        merger.addLayer(dict({{L"x", integer(2)}, {L"y", integer(3)}, {L"s", zem::createStringValue(L"t")}}));
    }
    DictionaryValueMerger merger;
};

TEST_F(DictionaryValueMergerTest, TopmostLayerAnswers) {
    struct Case {
        const wchar_t* key;
        int value; // -1: none
        size_t layer;
    } cases[] = {{L"x", 2, 2}, {L"y", 3, 2}, {L"z", 9, 0}, {L"none", -1, 77}};
    for (const Case& c : cases) {
        size_t layer = 77;
        zem::Value* found = merger.findInLayers(c.key, &layer);
        int value = -1;
        if (found)
            found->getInt(&value);
        EXPECT_EQ(c.value, value) << c.key;
        EXPECT_EQ(c.layer, layer) << c.key;
    }
    int x = 0;
    EXPECT_TRUE(merger.getIntAt(L"x", &x));
    EXPECT_EQ(2, x);
}

TEST_F(DictionaryValueMergerTest, WrongKindInTopLayerHidesLowerLayers) {
    merger.addLayer(dict({{L"x", zem::createStringValue(L"s")}}));
    size_t layer = 0;
    EXPECT_EQ(nullptr, merger.findTypedInLayers(L"x", zem::Value::KIND_INTEGER, &layer));
    EXPECT_EQ(3u, layer);
    EXPECT_EQ(nullptr, merger.findTyped(L"x", zem::Value::KIND_INTEGER));
    EXPECT_NE(nullptr, merger.findTyped(L"z", zem::Value::KIND_INTEGER));
    EXPECT_THROW(merger.getTyped(L"x", zem::Value::KIND_INTEGER), zem::ValueException);
}

TEST_F(DictionaryValueMergerTest, IsReadOnly) {
    try {
        merger.set(L"x", integer(5));
        FAIL() << "no exception";
    } catch (const zem::NotImplementedException& e) {
        EXPECT_EQ(L"Not implemented", e.message());
    }
    int x = 0;
    merger.getIntAt(L"x", &x);
    EXPECT_EQ(2, x);
}
