#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/codec.h"
#include "shared/list_input.h"

namespace tlv {
namespace {

std::vector<std::string> items_of(std::string_view text) {
    ListInputReader reader(text);
    std::vector<std::string> items;
    std::string_view item;
    while (reader.next(item)) items.emplace_back(item);
    return items;
}

std::vector<std::string> lines_of(std::string_view text) {
    LineReader reader(text);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) lines.emplace_back(line);
    return lines;
}

using Items = std::vector<std::string>;

TEST(Codec, EveryByteRoundTripsThroughUtf8) {
    for (int byte = 0; byte < 256; ++byte) {
        std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(codec::from_utf8(codec::to_utf8(one)), one) << byte;
    }
    EXPECT_EQ(codec::to_utf8("\xB0"), "\xC2\xB0");
    EXPECT_EQ(codec::to_utf8("\xEF"), "\xC3\xAF");
    EXPECT_EQ(codec::to_utf8("\x80\x9F"), "\xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(codec::from_utf8("\xE2\x80\x9Cgeïnstalleerd\xE2\x80\x9D"),
              "\x93ge\xEFnstalleerd\x94");
}

TEST(Codec, RefusesWhatHasNoWindows1252Form) {
    for (std::string_view text : {"\xE2\x82\xAD",        // U+20AD, no byte for it
                                  "\xC4\x80",            // U+0100
                                  "\xF0\x9F\x98\x80",    // outside the basic plane
                                  "\xC3",                // cut short
                                  "\xC0\xAF",            // overlong
                                  "\xED\xA0\x80",        // surrogate
                                  "\xFF", "\x80"})
        EXPECT_FALSE(codec::from_utf8(text).has_value());
    EXPECT_EQ(codec::from_utf8(""), "");
}

TEST(Codec, UpperCaseOfTheWindows1252Letters) {
    std::string lower = "az\x9A\x9C\x9E\xFF\xE0\xE9\xEF\xF6\xFE";
    std::string upper = "AZ\x8A\x8C\x8E\x9F\xC0\xC9\xCF\xD6\xDE";
    for (size_t i = 0; i < lower.size(); ++i) EXPECT_EQ(codec::to_upper(lower[i]), upper[i]) << i;
    for (char unchanged : {'\xF7', '\xDF', '\xB5', '\xB0', '1', '*', '\xC9', 'Z', '\0', '\xAA'})
        EXPECT_EQ(codec::to_upper(unchanged), unchanged)
            << int(static_cast<unsigned char>(unchanged));
}

TEST(ListInput, CommasAndLineEndsSeparateItems) {
    EXPECT_EQ(items_of("a,b\r\nc\nd\re"), (Items{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(items_of("a,,b"), (Items{"a", "", "b"}));
    EXPECT_EQ(items_of("a\r\n\r\nb\r\n"), (Items{"a", "", "b"}));
    EXPECT_EQ(items_of("\n\r"), (Items{"", ""}));
    EXPECT_EQ(items_of(""), Items{});
}

TEST(ListInput, LeadingBlanksSkippedTrailingBlanksKept) {
    EXPECT_EQ(items_of("  \t key= v  ,  x\t\r\n   "), (Items{"key= v  ", "x\t", ""}));
}

TEST(ListInput, QuotesGroupAndAreDropped) {
    EXPECT_EQ(items_of("\"a,b\",c"), (Items{"a,b", "c"}));
    EXPECT_EQ(items_of("  \" x \"\r\ny"), (Items{" x ", "y"}));
    EXPECT_EQ(items_of("\"line\r\nend\"rest,next"), (Items{"line\r\nend", "next"}));
    EXPECT_EQ(items_of("a\"b\",c"), (Items{"a\"b\"", "c"}));
    EXPECT_EQ(items_of("\"unterminated, to the end\r\n"), (Items{"unterminated, to the end\r\n"}));
    EXPECT_EQ(items_of("\""), (Items{""}));
}

TEST(LineReader, EveryLineEndKindAndAFinalLineWithoutEnd) {
    EXPECT_EQ(lines_of("a\r\nb\nc\rd"), (Items{"a", "b", "c", "d"}));
    EXPECT_EQ(lines_of("a\r\n"), (Items{"a"}));
    EXPECT_EQ(lines_of("\r\n\r\n"), (Items{"", ""}));
    EXPECT_EQ(lines_of("\r\r\n"), (Items{"", ""}));
}

}  // namespace
}  // namespace tlv
