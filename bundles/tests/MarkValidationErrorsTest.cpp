#include "corvel/bundles/markValidationErrors.h"

#include "corvel/bundles/BundleEntryError.h"
#include "corvel/config/ValidationErrorList.h"
#include "zem/base/Exception.h"

#include "../../service/document/tests/support/ControllerFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvel::BundleEntryError;
using corvel::LineMarker;

class MarkValidationErrorsTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        setText(L"zero\none line\ntwo\nthree");
    }

    static BundleEntryError* positioned(uint32_t severity, const std::wstring& message, zem::SourcePosition start,
                                        zem::SourcePosition end) {
        auto* error = new BundleEntryError(severity, message);
        error->setRange(start, end);
        return error;
    }
    std::vector<LineMarker> markersOf(int32_t line) const {
        const std::vector<LineMarker>* markers = controller->getLineMarkers(line);
        return markers ? *markers : std::vector<LineMarker>();
    }

    corvel::ValidationErrorList errors;
};

struct MarkerCase {
    int32_t line;
    std::vector<std::wstring> texts; // in the order added
    std::vector<int32_t> values;
};

::testing::AssertionResult marksAs(const std::vector<LineMarker>& markers, const MarkerCase& c) {
    if (markers.size() != c.texts.size())
        return ::testing::AssertionFailure()
               << "line " << c.line << ": " << markers.size() << " markers, expected " << c.texts.size();
    for (size_t i = 0; i < markers.size(); ++i) {
        if (markers[i].kind != corvel::VALIDATION_MARKER_KIND || markers[i].text != c.texts[i] ||
            markers[i].value != c.values[i])
            return ::testing::AssertionFailure() << "line " << c.line << " marker " << i << ": value "
                                                 << markers[i].value << ", kind " << markers[i].kind;
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(MarkValidationErrorsTest, MarksEachPositionedErrorOnItsStartLineBySeverity) {
    errors.add(positioned(2, L"first error", {1, 4, 9}, {1, 8, 13}));
    errors.add(new BundleEntryError(2, L"not positioned", L"user:somewhere"));
    errors.add(positioned(0, L"a notice", {3, 0, 18}, {3, 2, 20}));
    errors.add(positioned(1, L"a warning", {1, 0, 5}, {1, 1, 6}));
    errors.add(positioned(7, L"above error", {0, 1, 1}, {2, 1, 15}));
    corvel::markValidationErrors(&errors, controller);

    const MarkerCase cases[] = {
        {0, {L"above error"}, {3}},
        {1, {L"first error", L"a warning"}, {3, 2}},
        {2, {}, {}},
        {3, {L"a notice"}, {1}},
    };
    for (const MarkerCase& c : cases)
        EXPECT_TRUE(marksAs(markersOf(c.line), c));
}

TEST_F(MarkValidationErrorsTest, SelectsTheFirstPositionedErrorFromItsEndToItsStart) {
    errors.add(new BundleEntryError(2, L"not positioned"));
    errors.add(positioned(2, L"first", {1, 4, 9}, {2, 1, 15}));
    errors.add(positioned(2, L"second", {0, 0, 0}, {0, 2, 2}));
    corvel::markValidationErrors(&errors, controller);
    EXPECT_EQ(2, selection()->getAnchor().line);
    EXPECT_EQ(1, selection()->getAnchor().offset);
    EXPECT_EQ(1, selection()->getCaret().line);
    EXPECT_EQ(4, selection()->getCaret().offset);
}

TEST_F(MarkValidationErrorsTest, LeavesTheSelectionWithoutPositionedErrors) {
    selectOffsets(2, 2);
    errors.add(new BundleEntryError(2, L"not positioned"));
    corvel::markValidationErrors(&errors, controller);
    EXPECT_EQ(2, caret());
    EXPECT_EQ(nullptr, controller->getLineMarkers(0));
}

TEST_F(MarkValidationErrorsTest, RefusesNullArguments) {
    EXPECT_THROW(corvel::markValidationErrors(nullptr, controller), zem::NullPointerException);
    EXPECT_THROW(corvel::markValidationErrors(&errors, nullptr), zem::NullPointerException);
}
