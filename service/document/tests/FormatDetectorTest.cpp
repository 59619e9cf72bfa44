#include "corvel/document/Document.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/EmacsDetector.h"
#include "corvel/document/SoftTabsDetector.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct DetectCase {
    const char* what;
    std::wstring text;
    bool found;
    float tabsConfidence;
    int32_t usesSpaces;
    float widthConfidence;
    int32_t tabWidth;
};

// A record a caller filled before asking: every field -1.
corvel::FormatDetection prefilledRecord() {
    corvel::FormatDetection record;
    record.tabsConfidence = -1;
    record.usesSpaces = -1;
    record.widthConfidence = -1;
    record.tabWidth = -1;
    return record;
}

// Runs detect over a document of the case's text, on a copy of prefilled.
::testing::AssertionResult detectedAs(const std::function<bool(corvel::Document*, corvel::FormatDetection&)>& detect,
                                      corvel::DocumentManager* manager, const DetectCase& c,
                                      const corvel::FormatDetection& prefilled) {
    corvel::Document document(manager);
    document.insertText(0, static_cast<int32_t>(c.text.size()), c.text.data(), 0);
    corvel::FormatDetection result = prefilled;
    const bool found = detect(&document, result);
    if (found == c.found && result.tabsConfidence == c.tabsConfidence && result.usesSpaces == c.usesSpaces &&
        result.widthConfidence == c.widthConfidence && result.tabWidth == c.tabWidth)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": found " << found << " tabs " << result.tabsConfidence << "/"
                                         << result.usesSpaces << " width " << result.widthConfidence << "/"
                                         << result.tabWidth;
}

::testing::AssertionResult detectsAs(corvel::FormatDetector& detector, const DetectCase& c,
                                     const corvel::FormatDetection& prefilled = corvel::FormatDetection()) {
    return detectedAs([&](corvel::Document* d, corvel::FormatDetection& r) { return detector.detect(d, r); }, nullptr,
                      c, prefilled);
}

TEST(EmacsDetectorTest, ReadsTheModeLineOfTheFirstOrLastLine) {
    const DetectCase cases[] = {
        {"both settings", L"# -*- mode: text; indent-tabs-mode: nil; tab-width: 3 -*-\nx", true, 1, 1, 1, 3},
        {"no final semicolon", L"/* -*- tab-width: 8 -*- */", true, 0, 0, 1, 8},
        {"tabs", L"-*- indent-tabs-mode : t; -*-", true, 1, 0, 0, 0},
        {"last line", L"first\nsecond\n// -*- tab-width:2 -*-", true, 0, 0, 1, 2},
        {"first line wins", L"-*- tab-width: 5 -*-\n-*- tab-width: 6 -*-", true, 0, 0, 1, 5},
        {"width not a number", L"-*- tab-width: wide -*-", false, 0, 0, 0, 0},
        {"key without colon", L"-*- tab-width 4; -*-", false, 0, 0, 0, 0},
        {"one marker", L"-*- tab-width: 4;", false, 0, 0, 0, 0},
        {"markers touching", L"-*--*- tab-width: 4;", false, 0, 0, 0, 0},
        {"empty document", L"", false, 0, 0, 0, 0},
    };
    corvel::EmacsDetector detector;
    for (const DetectCase& c : cases)
        EXPECT_TRUE(detectsAs(detector, c));
}

// Caught: a key missing from the mode line left the caller's confidence (-1) in the record.
TEST(EmacsDetectorTest, AKeyNotFoundAnswersConfidenceZero) {
    const corvel::FormatDetection prefilled = prefilledRecord();
    const DetectCase cases[] = {
        {"width only", L"-*- tab-width: 8 -*-", true, 0, -1, 1, 8},
        {"tabs only", L"-*- indent-tabs-mode: nil; -*-", true, 1, 1, 0, -1},
        {"width not a number", L"-*- tab-width: wide -*-", false, 0, -1, 0, -1},
        {"empty tabs value", L"-*- indent-tabs-mode: ; tab-width: 2 -*-", true, 0, -1, 1, 2},
    };
    corvel::EmacsDetector detector;
    for (const DetectCase& c : cases)
        EXPECT_TRUE(detectsAs(detector, c, prefilled));
}

TEST(SoftTabsDetectorTest, MeasuresLeadingBlanks) {
    const DetectCase cases[] = {
        {"4 and 8 blanks", L"a\n    b\n    c\n        d\n", true, 0.8f, 1, 0.8f, 4},
        {"2, 4 and 6 blanks", L"  a\n    b\n      c\n", true, 0.8f, 1, 0.8f, 2},
        {"3 blanks", L"   a\n      b\n", true, 0.8f, 1, 0.8f, 3},
        {"tabs win", L"\ta\n\tb\n\tc\n    d\n", true, 0.8f, 0, 0, 0},
        {"no indented line", L"a\nb\n", false, 0, 0, 0, 0},
        {"blank lines only", L"    \n  \n", false, 0, 0, 0, 0},
    };
    corvel::SoftTabsDetector detector;
    for (const DetectCase& c : cases)
        EXPECT_TRUE(detectsAs(detector, c));
}

::testing::AssertionResult managerDetectsAs(corvel::DocumentManager& manager, const DetectCase& c) {
    return detectedAs([&](corvel::Document* d, corvel::FormatDetection& r) { return manager.detectFormat(d, r); },
                      &manager, c, prefilledRecord());
}

// Caught: the manager answered a record without saying whether any detector had answered.
TEST(DocumentManagerTest, TakesTheMostConfidentGuessOfEachKind) {
    corvel::DocumentManager manager;
    const DetectCase cases[] = {
        // The mode line's width at 1.0, the soft-tabs guess of TABs at 0.8.
        {"both detectors", L"-*- tab-width: 3 -*-\n\ta\n\tb\n", true, 0.8f, 0, 1, 3},
        {"mode line only", L"-*- indent-tabs-mode: t; tab-width: 5 -*-\nx\n", true, 1, 0, 1, 5},
        {"soft tabs only", L"a\n    b\n", true, 0.8f, 1, 0.8f, 4},
        {"nobody answers", L"a\nb\n", false, 0, 0, 0, 0},
    };
    for (const DetectCase& c : cases)
        EXPECT_TRUE(managerDetectsAs(manager, c));
}

// Caught: registering a detector a second time answered false.
TEST(DocumentManagerTest, ADetectorRegisteredTwiceStaysOnce) {
    corvel::DocumentManager manager;
    corvel::EmacsDetector extra;
    EXPECT_TRUE(manager.addDetector(&extra));
    EXPECT_TRUE(manager.addDetector(&extra));
    EXPECT_TRUE(manager.removeDetector(&extra));
    EXPECT_FALSE(manager.removeDetector(&extra));
}

} // namespace
