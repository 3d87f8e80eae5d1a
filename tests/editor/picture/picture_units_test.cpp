// The picture window's numbers: size fields from measured extents, how
// typed text is read as a number, and the quality answer.
#include <gtest/gtest.h>

#include "picture_units.h"

namespace vrayu {
namespace {

TEST(PictureUnits, ExtentGivesRoundedScrollValuesAndUnroundedRefreshText) {
    EXPECT_EQ(RoundedSizeUnits(480, kCanvasMarginWidth), 40);
    EXPECT_EQ(RoundedSizeUnits(195, kCanvasMarginHeight), 17);
    EXPECT_EQ(DecimalText(SizeUnits(480, kCanvasMarginWidth)), "40.2777777777778");
    EXPECT_EQ(DecimalText(SizeUnits(195, kCanvasMarginHeight)), "17.0138888888889");
    EXPECT_EQ(DecimalText(SizeUnits(620, kCanvasMarginWidth)), "50");
    // Halves go to the even neighbour.
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

TEST(PictureUnits, FieldsAndAnswersAreReadFromTheirLeadingNumber) {
    EXPECT_EQ(LeadingNumber("350"), 350);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber(" 1 2x"), 12);
    EXPECT_EQ(LeadingNumber("-3.5e1cm"), -35);
    EXPECT_EQ(LeadingNumber("7e"), 7);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(QualityFromAnswer("75%"), 75);
    EXPECT_EQ(QualityFromAnswer(""), 0);
    EXPECT_EQ(QualityFromAnswer("good"), 0);
    EXPECT_EQ(QualityFromAnswer("90.5"), 90);
    EXPECT_EQ(QualityFromAnswer("32767"), 32767);
    EXPECT_EQ(QualityFromAnswer("40000"), std::nullopt);
    EXPECT_EQ(QualityFromAnswer("-32769"), std::nullopt);
}

}  // namespace
}  // namespace vrayu
