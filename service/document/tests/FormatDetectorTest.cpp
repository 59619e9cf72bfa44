#include "corvel/document/Document.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/EmacsDetector.h"
#include "corvel/document/SoftTabsDetector.h"

#include <gtest/gtest.h>

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

::testing::AssertionResult detectsAs(corvel::FormatDetector& detector, const DetectCase& c) {
    corvel::Document document(nullptr);
    document.insertText(0, static_cast<int32_t>(c.text.size()), c.text.data(), 0);
    corvel::FormatDetection result;
    const bool found = detector.detect(&document, result);
    if (found == c.found && result.tabsConfidence == c.tabsConfidence && result.usesSpaces == c.usesSpaces &&
        result.widthConfidence == c.widthConfidence && result.tabWidth == c.tabWidth)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": found " << found << " tabs " << result.tabsConfidence << "/"
                                         << result.usesSpaces << " width " << result.widthConfidence << "/"
                                         << result.tabWidth;
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

TEST(DocumentManagerTest, TakesTheMostConfidentGuessOfEachKind) {
    corvel::DocumentManager manager;
    corvel::Document document(&manager);
    const std::wstring text = L"-*- tab-width: 3 -*-\n\ta\n\tb\n";
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    const corvel::FormatDetection detection = manager.detectFormat(&document);
    EXPECT_EQ(3, detection.tabWidth); // the mode line, at 1.0
    EXPECT_EQ(1.0f, detection.widthConfidence);
    EXPECT_EQ(0, detection.usesSpaces); // the soft-tabs guess, at 0.8
    EXPECT_EQ(0.8f, detection.tabsConfidence);

    corvel::EmacsDetector extra;
    EXPECT_TRUE(manager.addDetector(&extra));
    EXPECT_FALSE(manager.addDetector(&extra));
    EXPECT_TRUE(manager.removeDetector(&extra));
    EXPECT_FALSE(manager.removeDetector(&extra));
}

} // namespace
