#include "corvel/widgets/afClipboard.h"

#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDataObjectText.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

// What another program would read: the clipboard's text through plain Win32 calls.
std::wstring systemClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<cannot open>";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data) {
        const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(data));
        if (units)
            text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(ClipboardTest, TextGoesOnAndComesBack) {
    afClipboard clipboard;
    EXPECT_FALSE(clipboard.put(nullptr));
    EXPECT_EQ(0, clipboard.getPutInProgress());
    ASSERT_TRUE(clipboard.put(new afDataObjectText(L"copied text")));
    EXPECT_TRUE(clipboard.isFormatAvailable(CF_UNICODETEXT));
    afDataObjectText pasted;
    ASSERT_TRUE(clipboard.get(&pasted));
    EXPECT_EQ(L"copied text", pasted.getText());
}

TEST(ClipboardTest, GetTakesTheFirstFormatTheObjectAcceptsThatIsThere) {
    afClipboard clipboard;
    auto* composite = new afDataObjectComposite;
    composite->addPart(new afDataObjectText(L"rows"), true);
    composite->addPart(new afDataObjectScalar<unsigned>(L"CorvelTestSelectionKind", 0x4C19FA99u), false);
    ASSERT_TRUE(clipboard.put(composite));

    afDataObjectScalar<unsigned> kind(L"CorvelTestSelectionKind", 0);
    ASSERT_TRUE(clipboard.get(&kind));
    EXPECT_EQ(0x4C19FA99u, kind.getValue());

    afDataObjectScalar<unsigned> absent(L"CorvelTestNeverPut", 0);
    EXPECT_FALSE(clipboard.isFormatAvailable(absent.getFormat()));
    EXPECT_FALSE(clipboard.get(&absent));
    EXPECT_TRUE(absent.isEmpty());
}

TEST(ClipboardTest, TheTextStaysWhenTheClipboardObjectGoes) {
    {
        afClipboard clipboard;
        ASSERT_TRUE(clipboard.put(new afDataObjectText(L"outlives us")));
    }
    EXPECT_EQ(L"outlives us", systemClipboardText());
    afClipboard later;
    afDataObjectText pasted;
    ASSERT_TRUE(later.get(&pasted));
    EXPECT_EQ(L"outlives us", pasted.getText());
}

TEST(ClipboardTest, AnotherProgramsTextIsRead) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 12);
    wcscpy(static_cast<wchar_t*>(GlobalLock(block)), L"other");
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    afClipboard clipboard;
    afDataObjectText pasted;
    ASSERT_TRUE(clipboard.get(&pasted));
    EXPECT_EQ(L"other", pasted.getText());
}

::testing::AssertionResult summarizesAs(const std::wstring& text, const std::wstring& expected) {
    afClipboardRing ring;
    ring.putText(text.c_str(), text.size());
    const std::wstring& summary = ring.getEntry(0).summary;
    if (summary == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "summary \"" << std::string(summary.begin(), summary.end())
                                         << "\" instead of \"" << std::string(expected.begin(), expected.end()) << "\"";
}

TEST(ClipboardRingTest, SummariesAreOneShortLine) {
    EXPECT_TRUE(summarizesAs(L"\n\n   \tfirst", L"first"));
    EXPECT_TRUE(summarizesAs(L"a\r\nb", L"a b"));
    EXPECT_TRUE(summarizesAs(L"a\tb  c\x01"
                             L"d",
                             L"a b  cd"));
    EXPECT_TRUE(summarizesAs(std::wstring(40, L'w'), std::wstring(29, L'w') + L"..."));
    EXPECT_TRUE(summarizesAs(std::wstring(28, L'w'), std::wstring(28, L'w')));
    EXPECT_TRUE(summarizesAs(std::wstring(29, L'w'), std::wstring(29, L'w') + L"..."));
    EXPECT_TRUE(summarizesAs(L"   ", L""));
}

TEST(ClipboardRingTest, TheRingKeepsTenAndRecordsWhatItCannotKeep) {
    afClipboardRing ring;
    EXPECT_FALSE(ring.putText(nullptr, 3));
    EXPECT_FALSE(ring.putText(L"x", 0));
    EXPECT_EQ(0u, ring.getCount());
    for (int i = 0; i < 11; ++i) {
        std::wstring text = L"text " + std::to_wstring(i);
        EXPECT_TRUE(ring.putText(text.c_str(), text.size()));
    }
    ASSERT_EQ(10u, ring.getCount());
    EXPECT_EQ(std::wstring(L"text 1"), ring.getEntry(0).text.get());
    EXPECT_EQ(6u, ring.getEntry(0).length);

    std::wstring limit(afClipboardRing::MAX_TEXT_LENGTH, L'x');
    EXPECT_FALSE(ring.putText(limit.c_str(), limit.size()));
    EXPECT_TRUE(ring.putText(limit.c_str(), limit.size() - 1));
    ASSERT_EQ(10u, ring.getCount());
    const afClipboardRingEntry& tooLong = ring.getEntry(8);
    EXPECT_EQ(afClipboardRingEntry::TOO_LONG, tooLong.status);
    EXPECT_EQ(L"ERROR: Text exceeds capacity of the ring.", tooLong.summary);
    EXPECT_EQ(nullptr, tooLong.text);
    EXPECT_EQ(afClipboardRingEntry::STORED, ring.getEntry(9).status);
    EXPECT_EQ(limit.size() - 1, ring.getEntry(9).length);
}

TEST(ClipboardRingTest, TheClipboardMakesItsRingOnce) {
    afClipboard clipboard;
    EXPECT_EQ(clipboard.getRing(), clipboard.getRing());
    clipboard.setPutInProgress(1);
    EXPECT_EQ(1, clipboard.getPutInProgress());
}

} // namespace
