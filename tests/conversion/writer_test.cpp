#include <gtest/gtest.h>

#include "conversion/ClsWrite.h"
#include "tests/conversion/conversion_support.h"

namespace tlv::testing {
namespace {

const std::string kLat =
    "\tN53\xB0"
    "07.500'\tE006\xB0"
    "34.950'\t";
const std::string kComment = "123.50" + std::string(27, ' ');

// The list line and the route member line of one waypoint.
struct Lines {
    std::string list, member, fout;
};

Lines lines_of(std::string_view name, std::string_view frequency = "123.50",
               std::string_view elev = "5", std::string_view lon = "E006:34.95",
               std::string_view lat = "N53:07.50") {
    ConversionFixture fixture;
    ClsParse parse;
    std::string text =
        convert(parse, point_block(name, lon, lat, elev, frequency) + route_block("R", {"1"}));
    return {line_of(text, 2), line_of(text, 6), parse.strFout()};
}

// What the golden files leave out: the worked example, Windows-1252 upper
// case, a 100-character frequency, elevation 0 and zero-filled coordinates.
// (Cut names, long frequencies, five-character elevations and southern or
// western coordinates stand in the golden file "edges".)
TEST(WriterCells, ColumnsTheGoldenFilesLeaveOut) {
    EXPECT_EQ(lines_of("Eelde").list, "EELDE\t" + kComment + kLat + "0 \t     0\t 0 \t5");
    EXPECT_EQ(lines_of("Eelde").member, "EELDE\t" + kComment + kLat + "\t\t\t");
    EXPECT_EQ(lines_of("\xE9\xFF").member.substr(0, 3), "\xC9\x9F\t");
    EXPECT_EQ(lines_of("A", std::string(100, 'x')).member.substr(0, 42),
              "A\t" + std::string(39, 'x') + "\t");
    EXPECT_TRUE(lines_of("A", "1", "0", "W000:00.05", "N00:00.50")
                    .list.ends_with("\tN00\xB0"
                                    "00.500'\tW000\xB0"
                                    "00.050'\t0 \t     0\t 0 \t0"));
}

TEST(WriterCells, OverlongNameOrFrequencyLosesItsLineOnly) {
    Lines lines = lines_of(std::string(110, 'n'));
    EXPECT_EQ(lines.list, "");  // the next line: the empty line after the list
    EXPECT_EQ(lines.fout, "Technische fout\r\nTechnische fout\r\n");
    EXPECT_EQ(lines_of("A", std::string(101, 'f')).fout, "Technische fout\r\nTechnische fout\r\n");
    EXPECT_EQ(lines_of(std::string(109, 'n')).fout, "");
    EXPECT_EQ(lines_of("A", std::string(100, 'f')).fout, "");

    ConversionFixture fixture;
    ClsParse parse;
    convert(parse, point_block(std::string(110, 'n')));
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(std::tie(reports[0].number, reports[0].naam, reports[0].plaats, reports[0].waarde),
              std::make_tuple(9, "ClsWrite", "Waypoint", std::string(109, 'N')));
}

// Route numbers 9, 10 and 100, and names of 15 and 16 characters.
TEST(WriterCells, RouteHeaders) {
    ConversionFixture fixture;
    std::string exchange = point_block("A");
    for (int i = 1; i <= 100; ++i) {
        std::string name = i == 2   ? "Vijftien tekens"
                           : i == 3 ? "Zestien tekens!!"
                                    : "R" + std::to_string(i);
        exchange += route_block(name, {"1"});
    }
    ClsParse parse;
    std::string text = convert(parse, exchange);
    // Each route: header, member, <end>, empty line; route 3 has no header.
    auto header_of_route = [&](int number) {
        return line_of(text, 5 + static_cast<size_t>(number - 1) * 4 - (number > 3 ? 1 : 0));
    };
    EXPECT_EQ(header_of_route(1), "Route01\tR1");
    EXPECT_EQ(header_of_route(2), "Route02\tVijftien tekens");
    EXPECT_EQ(header_of_route(9), "Route09\tR9");
    EXPECT_EQ(header_of_route(10), "Route10\tR10");
    EXPECT_EQ(header_of_route(100), "Route\tR100");
    // Route 3 lost its header, not its member and terminator.
    EXPECT_EQ(line_of(text, 13), "A\t123.50" + std::string(27, ' ') + kLat + "\t\t\t");
    EXPECT_EQ(line_of(text, 14), "<end>");
    EXPECT_EQ(parse.strFout(), "Technische fout\r\n");
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].plaats, "Route");
    EXPECT_EQ(reports[0].waarde, "Route03\tZestien tekens!!");
}

// A writer used on its own, outside a conversion, still reports a bad line.
TEST(WriterCells, WriterOnItsOwnReportsToTheLogOnly) {
    ConversionFixture fixture;
    ClsWrite writer;
    writer.Waypoint(std::string(110, 'n'), "", 0, {}, {}, ClsWrite::kListLine);
    writer.Route(1, std::string(16, 'r'));
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].plaats, "Waypoint");
    EXPECT_EQ(reports[1].plaats, "Route");
}

}  // namespace
}  // namespace tlv::testing
