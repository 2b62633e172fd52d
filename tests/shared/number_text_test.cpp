#include <gtest/gtest.h>

#include "shared/failure.h"
#include "shared/int16.h"
#include "tests/support/failure_of.h"

namespace tlv {
namespace {

using testing::failure_of;

TEST(NumberText, AcceptsBlanksSignsAndLeadingZeros) {
    EXPECT_EQ(parse_int16("  42 "), 42);
    EXPECT_EQ(parse_int16("\t-7\t"), -7);
    EXPECT_EQ(parse_int16("+07"), 7);
    EXPECT_EQ(parse_int16("0000000000000000000000000000012"), 12);
}

TEST(NumberText, RoundsHalvesToEven) {
    EXPECT_EQ(parse_int16("2.5"), 2);
    EXPECT_EQ(parse_int16("3.5"), 4);
    EXPECT_EQ(parse_int16("2.500001"), 3);
    EXPECT_EQ(parse_int16("2.49999"), 2);
    EXPECT_EQ(parse_int16("-2.5"), -2);
    EXPECT_EQ(parse_int16("-3.5"), -4);
    EXPECT_EQ(parse_int16(".5"), 0);
    EXPECT_EQ(parse_int16("5."), 5);
}

TEST(NumberText, RejectsWhatIsNoNumberWithTypeMismatch) {
    for (const char* text : {"", "   ", "-", "+", ".", "1e3", "12a", "a12", "1 2", "--1", "1.2.3",
                             "&H10", "1,5"}) {
        EXPECT_EQ(failure_of([&] { parse_int16(text); }), 13) << '"' << text << '"';
    }
}

TEST(NumberText, OutOfSixteenBitRangeIsOverflow) {
    EXPECT_EQ(parse_int16("32767"), 32767);
    EXPECT_EQ(parse_int16("-32768"), -32768);
    EXPECT_EQ(parse_int16("32767.4"), 32767);
    EXPECT_EQ(failure_of([] { parse_int16("32767.5"); }), 6);
    EXPECT_EQ(failure_of([] { parse_int16("32768"); }), 6);
    EXPECT_EQ(failure_of([] { parse_int16("-32769"); }), 6);
    EXPECT_EQ(failure_of([] { parse_int16("99999999999999999999999999"); }), 6);
}

TEST(CheckedInt16, StepsPastTheLimitsAreOverflowNotWrapAround) {
    int16_t counter = 32766;
    increment16(counter);
    EXPECT_EQ(counter, 32767);
    EXPECT_EQ(failure_of([&] { increment16(counter); }), 6);
    EXPECT_EQ(counter, 32767);
    EXPECT_EQ(failure_of([] { add16(-32768, -1); }), 6);
}

}  // namespace
}  // namespace tlv
