#include "zem/value/Overlay.h"

#include "support/JasmineTestSupport.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using jasmine_test::describe;
using jasmine_test::visible;
using namespace zem;

// A dictionary parsed from Jasmine text together with the token store it came from.
struct Source {
    explicit Source(const std::wstring& jasmine) : text(jasmine) {
        Value* value = parseJasmineTokens(store, text);
        EXPECT_EQ(Value::KIND_DICTIONARY, value->kind()) << visible(text);
        dict.reset(static_cast<DictionaryValue*>(value));
    }

    std::wstring text;
    JasmineTokenStore store;
    std::unique_ptr<DictionaryValue> dict;
};

std::unique_ptr<DictionaryValue> parseDict(const std::wstring& text) {
    return std::unique_ptr<DictionaryValue>(static_cast<DictionaryValue*>(parseJasmine(text)));
}

TEST(OverlayTest, MakeAndApplyOnValueTrees) {
    auto base = parseDict(L"{a:1 b:2}");
    auto derived = parseDict(L"{a:1 c:3}");
    DictionaryValue overlay;
    makeOverlay(base.get(), derived.get(), &overlay);
    EXPECT_EQ(L"{a:inherit,c:i3,b:removed}", describe(&overlay));
    const StringValue* marker = static_cast<const StringValue*>(overlay.find(L"a"));
    EXPECT_EQ(StringValue::STYLE_SYMBOL, marker->style());

    DictionaryValue applied;
    applyOverlay(base.get(), &overlay, &applied);
    EXPECT_EQ(L"{a:i1,c:i3}", describe(&applied));
}

TEST(OverlayTest, ValueTreeEdgeCases) {
    // A value differing only in string style is still equal.
    auto base = parseDict(L"{s: 'x', n: 1, q: 2}");
    auto derived = parseDict(L"{s: x, n: 1.0, q: inherit}");
    DictionaryValue overlay;
    makeOverlay(base.get(), derived.get(), &overlay);
    // 1.0 is not 1; a derived value that is itself the word inherit is kept as a quoted
    // string, so applying does not mistake it for the marker.
    EXPECT_EQ(L"{s:inherit,n:r1,q:\"inherit\"}", describe(&overlay));
    DictionaryValue applied;
    applyOverlay(base.get(), &overlay, &applied);
    EXPECT_TRUE(applied.equals(derived.get())) << describe(&applied);

    // inherit of a key the base lacks is dropped; removed drops; plain values are copied.
    auto overlay2 = parseDict(L"{gone: inherit, x: removed, y: [1]}");
    DictionaryValue applied2;
    applyOverlay(base.get(), overlay2.get(), &applied2);
    EXPECT_EQ(L"{y:[i1],s:\"x\",n:i1,q:i2}", describe(&applied2));
}

TEST(OverlayTest, NullArgumentsThrow) {
    DictionaryValue a, b, out;
    JasmineTokenStore store;
    std::wstring text;
    EXPECT_THROW(makeOverlay(nullptr, &b, &out), NullPointerException);
    EXPECT_THROW(makeOverlay(&a, nullptr, &out), NullPointerException);
    EXPECT_THROW(applyOverlay(&a, &b, nullptr), NullPointerException);
    EXPECT_THROW(writeOverlaySource(text, &a, nullptr, &b, &store), NullPointerException);
    EXPECT_THROW(applyOverlaySource(&a, &store, nullptr, &store, text), NullPointerException);
    try {
        applyOverlaySource(&a, &store, &b, nullptr, text);
        FAIL() << "no exception";
    } catch (const NullPointerException& e) {
        EXPECT_EQ(L"Null reference.", e.message());
    }
}

struct SourceCase {
    const wchar_t* base;
    const wchar_t* derived;
    const wchar_t* overlay; // writeOverlaySource (base, derived)
    const wchar_t* applied; // applyOverlaySource (base, overlay)
};

// Writes the overlay text, applies it again, and checks both texts and that the result
// reads back equal to the derived dictionary.
::testing::AssertionResult roundTrips(const SourceCase& c) {
    Source base(c.base);
    Source derived(c.derived);
    std::wstring overlayText = L"stale";
    writeOverlaySource(overlayText, base.dict.get(), &base.store, derived.dict.get(), &derived.store);
    if (overlayText != c.overlay)
        return ::testing::AssertionFailure() << "overlay of \"" << visible(c.derived) << "\"\n  expected "
                                             << visible(c.overlay) << "\n  actual   " << visible(overlayText);
    Source overlay(overlayText);
    // The text form says what the value form says.
    DictionaryValue expectedOverlay;
    makeOverlay(base.dict.get(), derived.dict.get(), &expectedOverlay);
    if (!overlay.dict->equals(&expectedOverlay))
        return ::testing::AssertionFailure() << "overlay text reads as " << describe(overlay.dict.get())
                                             << ", value form gives " << describe(&expectedOverlay);
    std::wstring appliedText = L"stale";
    applyOverlaySource(base.dict.get(), &base.store, overlay.dict.get(), &overlay.store, appliedText);
    if (appliedText != c.applied)
        return ::testing::AssertionFailure() << "applied overlay \"" << visible(overlayText) << "\"\n  expected "
                                             << visible(c.applied) << "\n  actual   " << visible(appliedText);
    std::unique_ptr<Value> reread(parseJasmine(appliedText));
    if (!reread->equals(derived.dict.get()))
        return ::testing::AssertionFailure()
               << "applied text reads as " << describe(reread.get()) << ", not as " << describe(derived.dict.get());
    return ::testing::AssertionSuccess();
}

TEST(OverlaySourceTest, KeepsLayoutAndComments) {
    // A comment before a derived entry survives both ways; the removed entry comes with
    // the comment that led up to it in the base.
    EXPECT_TRUE(roundTrips({L"{\n\ta: 1\n\t// about b\n\tb: 2\n}\n", L"{\n\t// about a\n\ta: 1\n\tc: 3\n}\n",
                            L"{\n\t// about a\n\ta: inherit\n\tc: 3\n\t// about b\n\tb: removed\n}\n",
                            L"{\n\t// about a\n\ta: 1\n\tc: 3\n}\n"}));
    EXPECT_TRUE(roundTrips(
        {L"{ name: 'x', list: [1, /* one */ 2], re: /a\\/b/i }", L"{ name: \"x\", list: [1, 2, 3], re: /a\\/b/i }",
         L"{ name: inherit, list: [1, 2, 3], re: inherit }", L"{ name: 'x', list: [1, 2, 3], re: /a\\/b/i }"}));
}

// Each row was a fault of copying token ranges without looking at what they join.
TEST(OverlaySourceTest, SplicesStayWellFormed) {
    EXPECT_TRUE(roundTrips({L"{a: 0, b: 1}", L"{b: 2}", L"{b: 2 a: removed}", L"{b: 2}"}));
    // caught: with no derived entries the removed ones went in front of the opening brace.
    EXPECT_TRUE(roundTrips({L"{a: 1}", L"{}", L"{a: removed}", L"{}"}));
    EXPECT_TRUE(roundTrips({L"{\n\ta: 1\n}", L"{\n}", L"{\n\ta: removed\n}", L"{\n}"}));
    // caught: words glued together ("inheritb") when the base entry had no space before it.
    EXPECT_TRUE(roundTrips({L"{a:1,b:2}", L"{a:1}", L"{a:inherit b:removed}", L"{a:1}"}));
    EXPECT_TRUE(roundTrips({L"{a:1}", L"{a:\"x\"b:2}", L"{a:\"x\"b:2}", L"{a:\"x\"b:2}"}));
    // caught: a quoted "inherit" in the text was taken for the marker and the value lost.
    EXPECT_TRUE(roundTrips({L"{a: 1}", L"{a: \"inherit\"}", L"{a: \"inherit\"}", L"{a: \"inherit\"}"}));
    // caught: the comment after the closing brace was cut off.
    EXPECT_TRUE(roundTrips({L"{a: 1} // base\n", L"{a: 2} // mine\n", L"{a: 2} // mine\n", L"{a: 2} // mine\n"}));
    // caught: a repeated key sent the cursor backwards and duplicated text.
    EXPECT_TRUE(
        roundTrips({L"{a: 3, b: 2}", L"{a: 1, b: 2, a: 3}", L"{a: 1, b: inherit, a: inherit}", L"{a: 1, b: 2, a: 3}"}));
}

// caught: a dropped first entry took the opening brace with it, and a dropped entry left
// its comma behind for the next entry to start with.
TEST(OverlaySourceTest, ApplyDropsEntriesWithTheirCommas) {
    Source base(L"{x: 1}");
    Source overlay(L"{\n\t// gone\n\ta: removed,\n\tb: 1, c: inherit , d: 2\n}");
    std::wstring out;
    applyOverlaySource(base.dict.get(), &base.store, overlay.dict.get(), &overlay.store, out);
    EXPECT_EQ(L"{\n\tb: 1, d: 2 x: 1\n}", out);
    std::unique_ptr<Value> reread(parseJasmine(out));
    EXPECT_EQ(L"{b:i1,d:i2,x:i1}", describe(reread.get()));
}

TEST(OverlaySourceTest, BadTokenIndexThrowsFromTheStore) {
    Source base(L"{a: 1}");
    Source derived(L"{b: 1}");
    // Values that were not parsed from the store they are given with.
    auto foreign = parseDict(L"{c: 1, d: 2, e: 3, f: 4, g: 5, h: 6}");
    std::wstring out;
    EXPECT_THROW(writeOverlaySource(out, base.dict.get(), &base.store, foreign.get(), &derived.store),
                 IndexOutOfBoundsException);
}

} // namespace
