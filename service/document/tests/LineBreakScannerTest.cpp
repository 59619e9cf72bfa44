#include "../src/io/LineBreakScanner.h"
#include "corvel/document/GapBuffer.h"
#include "corvel/text/Utf8Decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The text and line starts a scan gives, the bytes cut into two chunks at `cut` the way
// the reader cuts them: what a chunk leaves unconsumed goes in front of the next.
struct Scanned {
    std::wstring text;
    std::vector<int32_t> starts;
};

Scanned scan(const std::string& input, size_t cut, bool generic) {
    corvel::GapBuffer text;
    corvel::LineBreakScanner scanner;
    const std::vector<uint8_t> bytes(input.begin(), input.end());
    std::vector<uint8_t> pending;
    const size_t pieces[2][2] = {{0, cut}, {cut, bytes.size()}};
    for (int piece = 0; piece < 2; ++piece) {
        pending.insert(pending.end(), bytes.begin() + static_cast<std::ptrdiff_t>(pieces[piece][0]),
                       bytes.begin() + static_cast<std::ptrdiff_t>(pieces[piece][1]));
        const bool final = piece == 1;
        scanner.begin(text, pending.size());
        const uint8_t* data = pending.empty() ? nullptr : pending.data();
        const size_t used = generic ? corvel::decodeUtf8(data, pending.size(), scanner, final)
                                    : scanner.putUtf8(data, pending.size(), final);
        scanner.end();
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
    scanner.begin(text, 0);
    scanner.flushPending();
    scanner.end();
    Scanned out;
    out.text.resize(static_cast<size_t>(text.getLength()));
    if (!out.text.empty())
        text.copy(0, text.getLength(), &out.text[0], false);
    out.starts.resize(scanner.lineStarts().size());
    if (!out.starts.empty())
        scanner.lineStarts().flatten(out.starts.data(), out.starts.size());
    return out;
}

::testing::AssertionResult decodesAsTheGenericDecoder(const std::string& input) {
    for (size_t cut = 0; cut <= input.size(); ++cut) {
        const Scanned fast = scan(input, cut, false);
        const Scanned generic = scan(input, cut, true);
        if (fast.text != generic.text || fast.starts != generic.starts)
            return ::testing::AssertionFailure()
                   << "cut at byte " << cut << ": " << fast.text.size() << " units and " << fast.starts.size()
                   << " breaks against " << generic.text.size() << " and " << generic.starts.size();
    }
    return ::testing::AssertionSuccess();
}

TEST(LineBreakScannerTest, TheUtf8LoopDecodesAsTheGenericDecoderWhereverAChunkEnds) {
    const char* const inputs[] = {
        "plain ascii\r\nlines\rand\nbreaks\n\r",
        "\xC3\xA9\xD0\x96\xC2\x80\xDF\xBF",                 // two-byte sequences at their limits
        "\xE2\x82\xAC\xE4\xB8\xAD\xE1\x80\x80\xEF\xBF\xBD", // three-byte ones
        "\xEF\xBF\xBE\xEF\xBF\xBF",                         // the two refused non-characters
        "\xE0\xA0\x80\xE0\x80\xAF\xED\x9F\xBF\xED\xA0\x80", // E0 and ED: overlong and surrogate
        "\xC0\xAF\xC1\xBF\xF0\x9F\x98\x80\xF4\x90\x80\x80", // overlong two bytes, four bytes
        "\x80\xBF\xFE\xFF\xF8\x88\x80\x80\x80",             // lone continuations, FE, FF, five bytes
        "\xC3z\xE2\x82z\xF0\x9F\x98z\r\xC3\xA9\r\n",        // sequences cut short by a byte
        "a\xC3",                                            // cut off by the end of the file
        "\r\xE2\x82\xAC\n\xC3\xA9\r",                       // breaks pending before sequences
        // A sequence cut short by the lead of a whole one: the decoder saw only the cut
        // sequence's length of bytes and took the whole one for cut off by the file's end.
        "h\xE2\x82\xF0\x9F\x98\x80\xAC)", "\xC3\xE2\x82\xAC", "\xF0\x9F\xC3\xA9",
    };
    for (const char* input : inputs)
        EXPECT_TRUE(decodesAsTheGenericDecoder(input)) << input;
}

} // namespace
