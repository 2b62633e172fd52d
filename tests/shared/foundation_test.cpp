#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/Converteren.h"
#include "shared/byte_search.h"
#include "shared/codec.h"
#include "shared/int16.h"
#include "shared/list_input.h"
#include "tests/support/failure_of.h"

namespace tlv {
namespace {

using testing::failure_of;
using Texts = std::vector<std::string>;

template <typename Reader>
Texts read_all(std::string_view text) {
    Reader reader(text);
    Texts parts;
    std::string_view part;
    while (reader.next(part)) parts.emplace_back(part);
    return parts;
}

TEST(Codec, ConvertsExactlyWhatWindows1252Holds) {
    for (int byte = 0; byte < 256; ++byte) {
        std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(codec::from_utf8(codec::to_utf8(one)), one) << byte;
    }
    EXPECT_EQ(codec::to_utf8("\xB0\x80\x9F"), "\xC2\xB0\xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(codec::from_utf8("\xE2\x80\x9Cge\xC3\xAFnstalleerd"), "\x93ge\xEFnstalleerd");
    // U+20AD, U+0100, U+0080, outside the basic plane, cut short, overlong, surrogate, stray bytes.
    for (std::string_view text : {"\xE2\x82\xAD", "\xC4\x80", "\xC2\x80", "\xF0\x9F\x98\x80",
                                  "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xFF", "\x83\xA9"})
        EXPECT_FALSE(codec::from_utf8(text).has_value());
    std::string lower = "az\x9A\x9C\x9E\xFF\xE0\xE9\xFE";
    std::string upper = "AZ\x8A\x8C\x8E\x9F\xC0\xC9\xDE";
    for (size_t i = 0; i < lower.size(); ++i) EXPECT_EQ(codec::to_upper(lower[i]), upper[i]) << i;
    for (char unchanged : {'\xF7', '\xDF', '\xB5', '1', '\xC9', '\0'})
        EXPECT_EQ(codec::to_upper(unchanged), unchanged);
}

TEST(ListInput, SplitsWithinItsSixteenBitLimits) {
    const std::pair<std::string_view, Texts> items[] = {
        {"a,b\r\nc\nd\re", {"a", "b", "c", "d", "e"}},
        {"a,,b\r\n\r\nc", {"a", "", "b", "", "c"}},
        {"  \t key= v  ,  x\t\r\n   ", {"key= v  ", "x\t", ""}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"line\r\nend\"rest,next", {"line\r\nend", "next"}},
        {"a\"b\",c", {"a\"b\"", "c"}},
        {"\"unterminated, to the end\r\n", {"unterminated, to the end\r\n"}},
        {"", {}},
    };
    for (const auto& [text, expected] : items) EXPECT_EQ(read_all<ListInputReader>(text), expected);
    EXPECT_EQ(read_all<LineReader>("a\r\nb\nc\rd"), (Texts{"a", "b", "c", "d"}));
    EXPECT_EQ(read_all<LineReader>("\r\r\n\r\n"), (Texts{"", "", ""}));
}

TEST(ByteSearch, ExactAtEveryStepBoundary) {
    constexpr size_t kNone = std::string_view::npos;
    for (size_t at : {0, 1, 15, 16, 17, 31, 32, 40}) {
        std::string text(41, 'x');
        text[at] = ',';
        EXPECT_EQ(
            std::pair(bytes::find_any<',', '\r'>(text, 0), bytes::find_any<','>(text, at + 1)),
            std::pair(at, text.size()));
        text[at] = '\r';
        EXPECT_EQ(bytes::find_crlf(text, 0), kNone) << at;  // a lone CR
        text += '\n';
        text[at + 1] = '\n';
        EXPECT_EQ(std::pair(bytes::find_crlf(text, 0), bytes::find_crlf(text, at + 1)),
                  std::pair(at, kNone));
    }
    const std::string lone_then_pair = "a\r\r\n";
    EXPECT_EQ(bytes::find_crlf(lone_then_pair, 0), 2u);
    std::string braces(5000, '{');  // more than 255 in a byte lane
    braces[100] = braces[4999] = 'x';
    EXPECT_EQ(bytes::count<'{'>(braces), 4998u);
}

TEST(NumberText, ParsesBlanksSignsHalvesToEvenWithoutWrapAround) {
    const std::pair<const char*, int16_t> numbers[] = {
        {"  42 ", 42}, {"\t-7\t", -7},     {"+07", 7},         {"2.5", 2},   {"3.5", 4},
        {"-2.5", -2},  {".5", 0},          {"0.51", 1},        {"2.500", 2}, {"2.501", 3},
        {"5.", 5},     {"32767.4", 32767}, {"-32768", -32768}, {"2.6", 3},
    };
    for (const auto& [text, value] : numbers) EXPECT_EQ(parse_int16(text), value) << text;
    for (const char* text : {"", "   ", "-", ".", "1e3", "12a", "1 2", "--1", "1.2.3", "1,5"})
        EXPECT_EQ(failure_of([&] { parse_int16(text); }), 13) << '"' << text << '"';
    for (const char* text :
         {"32767.5", "32768", "-32769", "9999999999999999999", "99999999999999999999999"})
        EXPECT_EQ(failure_of([&] { parse_int16(text); }), 6) << text;
    int16_t counter = 32767;
    EXPECT_EQ(failure_of([&] { increment16(counter); }), 6);
    EXPECT_EQ(counter, 32767);
    EXPECT_EQ(failure_of([] { add16(-32768, -1); }), 6);
    EXPECT_EQ(std::tuple(Splitsen(""), Splitsen("*"), Splitsen(" a **b* ")),
              std::tuple(Texts{""}, Texts{"", ""}, Texts{" a ", "", "b", " "}));
    for (std::string_view text : {"", "*", "a*b*c", "*lead", "trail*", "\xB0*\xFF"})
        EXPECT_EQ(Samenvoegen(Splitsen(text)), text);
    EXPECT_EQ(Splitsen(std::string(32766, '*')).size(), 32767u);
    EXPECT_EQ(failure_of([] { Splitsen(std::string(32767, 'a')); }), 6);
    EXPECT_EQ(Samenvoegen(Texts(32767)), std::string(32766, '*'));
    EXPECT_EQ(failure_of([] { Samenvoegen(Texts(32768)); }), 6);
}

}  // namespace
}  // namespace tlv
