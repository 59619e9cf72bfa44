#include "zem/base/Exception.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using zem::DictionaryValue;
using zem::ListValue;
using zem::ScalarValue;
using zem::StringValue;
using zem::Value;

typedef std::unique_ptr<Value> ValuePtr;

// A null node that counts its destruction, to see who deletes what.
class TrackedValue : public Value {
public:
    explicit TrackedValue(int* destroyed) : m_destroyed(destroyed) {}
    ~TrackedValue() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

std::vector<std::wstring> insertionOrder(const DictionaryValue& dict) {
    std::vector<std::wstring> keys;
    for (const zem::DictionaryEntry& entry : dict.inOrder())
        keys.push_back(entry.key);
    return keys;
}

std::vector<std::wstring> keyOrder(const DictionaryValue& dict) {
    std::vector<std::wstring> keys;
    for (const zem::DictionaryEntry& entry : dict)
        keys.push_back(entry.key);
    return keys;
}

TEST(ValueTest, KindsAndTheirNames) {
    struct Row {
        Value* value;
        int32_t kind;
        const wchar_t* name;
    } rows[] = {
        {zem::createNullValue(), Value::KIND_NULL, L"Null"},
        {zem::createBoolValue(true), Value::KIND_BOOLEAN, L"Boolean"},
        {new ScalarValue(7), Value::KIND_INTEGER, L"Integer"},
        {new ScalarValue(7.5), Value::KIND_REAL, L"Real"},
        {zem::createStringValue(L"s"), Value::KIND_STRING, L"String"},
        {zem::createRegExpValue(L"a+", L"i"), Value::KIND_REGEXP, L"RegExp"},
        {zem::createListValue(), Value::KIND_LIST, L"List"},
        {zem::createDictionaryValue(), Value::KIND_DICTIONARY, L"Dictionary"},
    };
    for (const Row& row : rows) {
        ValuePtr owned(row.value);
        EXPECT_EQ(row.kind, owned->kind());
        EXPECT_STREQ(row.name, zem::getValueKindName(owned->kind()));
        EXPECT_FALSE(owned->location().hasLocation);
    }
    EXPECT_STREQ(L"Unknown", zem::getValueKindName(8));
    EXPECT_STREQ(L"Unknown", zem::getValueKindName(-1));
}

TEST(ValueTest, TypedGettersReadOnlyTheirOwnKind) {
    ValuePtr b(zem::createBoolValue(true)), i(new ScalarValue(3)), d(new ScalarValue(2.0)),
        s(zem::createStringValue(L"txt")), r(zem::createRegExpValue(L"p", L"o")), n(zem::createNullValue());
    bool outB = false;
    int outI = -1;
    double outD = -1;
    std::wstring outS = L"unchanged";

    EXPECT_TRUE(b->getBool(&outB));
    EXPECT_TRUE(outB);
    EXPECT_TRUE(i->getInt(&outI));
    EXPECT_EQ(3, outI);
    EXPECT_TRUE(d->getDouble(&outD));
    EXPECT_EQ(2.0, outD);
    EXPECT_TRUE(s->getString(&outS));
    EXPECT_EQ(L"txt", outS);

    outI = -1;
    outD = -1;
    outS = L"unchanged";
    EXPECT_FALSE(d->getInt(&outI));    // no conversion from a real
    EXPECT_FALSE(i->getDouble(&outD)); // nor to one
    EXPECT_FALSE(r->getString(&outS)); // a regular expression is not a string
    EXPECT_FALSE(b->getInt(&outI));
    EXPECT_FALSE(n->getBool(&outB));
    EXPECT_EQ(-1, outI);
    EXPECT_EQ(-1, outD);
    EXPECT_EQ(L"unchanged", outS);

    EXPECT_THROW(i->getInt(nullptr), zem::AssertionViolationException);
    EXPECT_THROW(n->getString(nullptr), zem::AssertionViolationException);
}

::testing::AssertionResult equalsAs(bool expected, const Value* a, const Value* b, const char* what) {
    if (a->equals(b) != expected)
        return ::testing::AssertionFailure() << what << ": a.equals(b) should be " << expected;
    if (b->equals(a) != expected)
        return ::testing::AssertionFailure() << what << ": b.equals(a) should be " << expected;
    return ::testing::AssertionSuccess();
}

TEST(ValueTest, EqualityByKindAndPayload) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto list = [](std::initializer_list<Value*> items) {
        ListValue* l = new ListValue();
        for (Value* v : items)
            l->append(v);
        return l;
    };
    struct Row {
        const char* what;
        Value* a;
        Value* b;
        bool equal;
    } rows[] = {
        {"null null", zem::createNullValue(), zem::createNullValue(), true},
        {"null false", zem::createNullValue(), zem::createBoolValue(false), false},
        {"integer 1 real 1.0", new ScalarValue(1), new ScalarValue(1.0), false},
        {"true false", zem::createBoolValue(true), zem::createBoolValue(false), false},
        {"0.0 -0.0", new ScalarValue(0.0), new ScalarValue(-0.0), true},
        {"NaN NaN", new ScalarValue(nan), new ScalarValue(nan), false},
        {"quoted symbol", new StringValue(L"x"), new StringValue(L"x", StringValue::STYLE_SYMBOL), true},
        {"string case", new StringValue(L"x"), new StringValue(L"X"), false},
        {"string regexp", new StringValue(L"x"), zem::createRegExpValue(L"x", L""), false},
        {"regexp options", zem::createRegExpValue(L"x", L"i"), zem::createRegExpValue(L"x", L""), false},
        {"regexp same", zem::createRegExpValue(L"x", L"i"), zem::createRegExpValue(L"x", L"i"), true},
        {"lists", list({new ScalarValue(1), new StringValue(L"a")}), list({new ScalarValue(1), new StringValue(L"a")}),
         true},
        {"list order", list({new ScalarValue(1), new ScalarValue(2)}), list({new ScalarValue(2), new ScalarValue(1)}),
         false},
        {"list length", list({new ScalarValue(1)}), list({new ScalarValue(1), new ScalarValue(1)}), false},
        {"empty list dict", list({}), zem::createDictionaryValue(), false},
    };
    for (const Row& row : rows) {
        ValuePtr a(row.a), b(row.b);
        EXPECT_TRUE(equalsAs(row.equal, a.get(), b.get(), row.what));
        EXPECT_FALSE(a->equals(nullptr)) << row.what;
    }
}

TEST(ValueTest, DictionaryEqualityIgnoresOrderAndKeyTokens) {
    DictionaryValue a, b;
    a.set(L"x", new ScalarValue(1), 4);
    a.set(L"y", new StringValue(L"s"), 9);
    b.set(L"y", new StringValue(L"s", StringValue::STYLE_SINGLE_QUOTED));
    b.set(L"x", new ScalarValue(1));
    EXPECT_TRUE(equalsAs(true, &a, &b, "reordered"));

    b.set(L"z", zem::createNullValue());
    EXPECT_TRUE(equalsAs(false, &a, &b, "extra key"));
    b.erase(L"z");
    b.set(L"x", new ScalarValue(1.0));
    EXPECT_TRUE(equalsAs(false, &a, &b, "integer against real"));
}

TEST(ValueTest, SetKeepsPlaceAndDestroysReplacedValue) {
    int destroyed = 0;
    DictionaryValue dict;
    dict.set(L"b", new TrackedValue(&destroyed), 3);
    dict.set(L"a", new ScalarValue(2));
    dict.set(L"b", new ScalarValue(5), 7);
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"a"}), insertionOrder(dict));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), keyOrder(dict));
    EXPECT_EQ(7, dict.listBegin()->keyToken);
    int five = 0;
    EXPECT_TRUE(dict.getIntAt(L"b", &five));
    EXPECT_EQ(5, five);
}

// Setting the node a key already holds once deleted it and left the entry dangling.
TEST(ValueTest, SettingTheSameNodeAgainKeepsIt) {
    int destroyed = 0;
    DictionaryValue dict;
    Value* tracked = new TrackedValue(&destroyed);
    dict.set(L"k", tracked);
    dict.set(L"k", tracked, 2);
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(tracked, dict.find(L"k"));
    EXPECT_THROW(dict.set(L"k", nullptr), zem::AssertionViolationException);
}

TEST(ValueTest, EraseHandsOverOrDestroys) {
    int destroyed = 0;
    DictionaryValue dict;
    dict.set(L"keep", new TrackedValue(&destroyed));
    dict.set(L"drop", new TrackedValue(&destroyed));
    dict.set(L"last", new ScalarValue(1));

    Value* taken = nullptr;
    EXPECT_TRUE(dict.erase(L"keep", &taken));
    ValuePtr owned(taken);
    EXPECT_EQ(0, destroyed);
    EXPECT_TRUE(dict.erase(L"drop"));
    EXPECT_EQ(1, destroyed);
    EXPECT_FALSE(dict.erase(L"missing", &taken));
    EXPECT_EQ(owned.get(), taken);
    EXPECT_EQ((std::vector<std::wstring>{L"last"}), insertionOrder(dict));
    EXPECT_FALSE(dict.contains(L"keep"));

    owned.reset();
    EXPECT_EQ(2, destroyed);
}

TEST(ValueTest, ClearEmptiesBothOrders) {
    int destroyed = 0;
    DictionaryValue dict;
    dict.set(L"a", new TrackedValue(&destroyed));
    dict.set(L"b", new TrackedValue(&destroyed));
    dict.clear();
    EXPECT_EQ(2, destroyed);
    EXPECT_TRUE(dict.empty());
    EXPECT_EQ(dict.end(), dict.begin());
    EXPECT_EQ(dict.listEnd(), dict.listBegin());
    dict.set(L"a", new ScalarValue(1)); // still usable
    EXPECT_EQ(1u, dict.size());
}

TEST(ValueTest, LookupsFindAndHasTyped) {
    DictionaryValue dict;
    dict.set(L"list", new ListValue());
    dict.set(L"dict", new DictionaryValue());
    dict.set(L"real", new ScalarValue(2.0));
    EXPECT_NE(nullptr, dict.findList(L"list"));
    EXPECT_EQ(nullptr, dict.findList(L"dict"));
    EXPECT_NE(nullptr, dict.findDictionary(L"dict"));
    EXPECT_EQ(nullptr, dict.findDictionary(L"missing"));
    EXPECT_TRUE(dict.hasTyped(L"real", Value::KIND_REAL));
    EXPECT_FALSE(dict.hasTyped(L"real", Value::KIND_INTEGER));
    EXPECT_FALSE(dict.contains(L"REAL")); // keys are case-sensitive

    int out = 42;
    EXPECT_FALSE(dict.getIntAt(L"real", &out));
    EXPECT_EQ(42, out);
    EXPECT_FALSE(dict.getIntAt(L"missing", &out));
    double real = 0;
    EXPECT_TRUE(dict.getDoubleAt(L"real", &real));
    EXPECT_THROW(dict.getBoolAt(L"real", nullptr), zem::AssertionViolationException);
}

TEST(ValueTest, ThrowingAccessorsReportTheirFacts) {
    DictionaryValue dict;
    dict.set(L"n", new ScalarValue(1));
    ListValue* list = new ListValue();
    list->append(new DictionaryValue());
    list->append(new ScalarValue(3));
    dict.set(L"l", list);

    try {
        dict.get(L"absent");
        FAIL() << "no exception";
    } catch (zem::DictionaryKeyNotFoundValueException& e) {
        EXPECT_EQ(&dict, e.dictionary());
        EXPECT_EQ(L"absent", e.key());
        EXPECT_EQ(L"", e.message());
    }
    try {
        dict.getList(L"n");
        FAIL() << "no exception";
    } catch (zem::InvalidTypeInDictionaryValueException& e) {
        EXPECT_EQ(&dict, e.dictionary());
        EXPECT_EQ(L"n", e.key());
        EXPECT_EQ(dict.find(L"n"), e.value());
        EXPECT_EQ(Value::KIND_LIST, e.expectedKind());
    }
    EXPECT_EQ(list, dict.getList(L"l"));
    EXPECT_NE(nullptr, list->getDictionaryAt(0));
    try {
        list->getDictionaryAt(1);
        FAIL() << "no exception";
    } catch (zem::InvalidTypeInListValueException& e) {
        EXPECT_EQ(list, e.list());
        EXPECT_EQ(1u, e.index());
        EXPECT_EQ(list->at(1), e.value());
        EXPECT_EQ(Value::KIND_DICTIONARY, e.expectedKind());
    }
    try {
        list->getDictionaryAt(2);
        FAIL() << "no exception";
    } catch (zem::ListIndexNotFoundValueException& e) {
        EXPECT_EQ(list, e.list());
        EXPECT_EQ(2u, e.index());
    }
}

TEST(ValueTest, ValueExceptionClonesKeepTheirClass) {
    DictionaryValue dict;
    std::unique_ptr<zem::Exception> c1(zem::DictionaryKeyNotFoundValueException(&dict, L"k").clone());
    auto* keyNotFound = dynamic_cast<zem::DictionaryKeyNotFoundValueException*>(c1.get());
    ASSERT_NE(nullptr, keyNotFound);
    EXPECT_EQ(L"k", keyNotFound->key());

    std::unique_ptr<zem::Exception> c2(
        zem::InvalidTypeInDictionaryValueException(&dict, L"k", &dict, Value::KIND_LIST).clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::InvalidTypeInDictionaryValueException*>(c2.get()));

    std::unique_ptr<zem::Exception> c3(zem::InvalidTypeInListValueException(&dict, 7, nullptr, 3).clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::InvalidTypeInListValueException*>(c3.get()));
    std::unique_ptr<zem::Exception> c4(zem::ListIndexNotFoundValueException(nullptr, 9).clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::ListIndexNotFoundValueException*>(c4.get()));
    std::unique_ptr<zem::Exception> c5(zem::ValueException(L"").clone());
    EXPECT_NE(nullptr, dynamic_cast<zem::ValueException*>(c5.get()));
    try {
        c3->raise();
        FAIL() << "raise returned";
    } catch (zem::InvalidTypeValueException& e) {
        EXPECT_EQ(7, e.expectedKind());
    }
}

TEST(ValueTest, CloneIsDeepAndCopiesLocations) {
    DictionaryValue source;
    source.set(L"b", new StringValue(L"sym", StringValue::STYLE_SYMBOL), 5);
    ListValue* list = new ListValue();
    list->append(zem::createRegExpValue(L"a\\/b", L"i"));
    list->append(new ScalarValue(-0.5));
    list->location().hasLocation = true;
    list->location().begin.line = 3;
    list->location().endToken = 12;
    source.set(L"a", list, 9);

    ValuePtr copy(source.clone());
    ASSERT_TRUE(copy->equals(&source));
    DictionaryValue* dict = static_cast<DictionaryValue*>(copy.get());
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), insertionOrder(*dict)); // key order
    EXPECT_EQ(0, dict->listBegin()->keyToken);
    EXPECT_EQ(StringValue::STYLE_DOUBLE_QUOTED, static_cast<StringValue*>(dict->find(L"b"))->style());
    const Value* listCopy = dict->find(L"a");
    EXPECT_NE(list, listCopy);
    EXPECT_TRUE(listCopy->location().hasLocation);
    EXPECT_EQ(3, listCopy->location().begin.line);
    EXPECT_EQ(12, listCopy->location().endToken);

    source.set(L"a", new ScalarValue(1)); // the copy does not share the list
    EXPECT_EQ(2u, static_cast<ListValue*>(dict->find(L"a"))->size());
}

// adopt once stored the other dictionary's own nodes, so both deleted them.
TEST(ValueTest, AdoptCopiesSoEachNodeHasOneOwner) {
    int destroyed = 0;
    DictionaryValue receiver;
    receiver.set(L"z", new ScalarValue(1));
    receiver.set(L"shared", new ScalarValue(0));
    {
        std::unique_ptr<DictionaryValue> other(new DictionaryValue());
        other->set(L"shared", new StringValue(L"new"));
        other->set(L"b", new ListValue());
        other->set(L"a", new TrackedValue(&destroyed));
        receiver.adopt(*other);
        EXPECT_EQ(3u, other->size());
        EXPECT_NE(other->find(L"b"), receiver.find(L"b"));
        EXPECT_EQ(0, destroyed);
    }
    EXPECT_EQ(1, destroyed); // other's node, and only other's
    EXPECT_EQ((std::vector<std::wstring>{L"z", L"shared", L"a", L"b"}), insertionOrder(receiver));
    std::wstring text;
    EXPECT_TRUE(receiver.getStringAt(L"shared", &text));
    EXPECT_EQ(L"new", text);
    EXPECT_TRUE(receiver.find(L"a")->isNull());

    receiver.adopt(receiver);
    EXPECT_EQ(4u, receiver.size());
}

TEST(ValueTest, NullInputsAreAssertionFailures) {
    ListValue list;
    try {
        list.append(nullptr);
        FAIL() << "no assertion";
    } catch (zem::AssertionViolationException& e) {
        EXPECT_EQ(0u, e.message().find(L"val != NULL in file"));
    }
    try {
        zem::createStringValue(nullptr, 3);
        FAIL() << "no assertion";
    } catch (zem::AssertionViolationException& e) {
        EXPECT_EQ(0u, e.message().find(L"string in file"));
    }
    ValuePtr s(zem::createStringValue(L"abcdef", 3));
    EXPECT_EQ(L"abc", static_cast<StringValue*>(s.get())->text());
    ValuePtr t(zem::createStringValue(L"xyz", -1));
    EXPECT_EQ(L"xyz", static_cast<StringValue*>(t.get())->text());
}

// A class derived from the containers that relies on their clone and equals sent both
// into endless recursion.
TEST(ValueTest, DerivedContainersCloneAndCompare) {
    class Derived : public DictionaryValue {};
    Derived root;
    root.set(L"a", new ScalarValue(1));
    Derived* child = new Derived();
    child->set(L"b", new ListValue());
    root.set(L"child", child);

    ValuePtr copy(root.clone());
    EXPECT_TRUE(copy->equals(&root));
    EXPECT_TRUE(root.equals(copy.get()));
    EXPECT_EQ(Value::KIND_DICTIONARY, copy->kind());
    child->set(L"c", zem::createNullValue());
    EXPECT_FALSE(copy->equals(&root));
}

// Destroying, cloning and comparing a tree once recursed once per level and overflowed
// the stack long before these 300000 levels.
TEST(ValueTest, DeepTreesNeedNoRecursion) {
    const int depth = 300000;
    auto build = [depth] {
        ListValue* root = new ListValue();
        ListValue* inner = root;
        for (int i = 0; i < depth; ++i) {
            if (i % 2) {
                ListValue* next = new ListValue();
                inner->append(next);
                inner = next;
            } else {
                DictionaryValue* dict = new DictionaryValue();
                ListValue* next = new ListValue();
                dict->set(L"k", next);
                inner->append(dict);
                inner = next;
            }
        }
        inner->append(new ScalarValue(depth));
        return root;
    };
    ValuePtr a(build()), b(build());
    EXPECT_TRUE(a->equals(b.get()));
    ValuePtr copy(a->clone());
    EXPECT_TRUE(copy->equals(a.get()));
    b.reset(); // destroys every level
    copy.reset();
}

} // namespace
