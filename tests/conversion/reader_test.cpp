#include <gtest/gtest.h>

#include <chrono>

#include "tests/conversion/conversion_support.h"

namespace tlv::testing {
namespace {

using std::chrono::milliseconds;

struct Outcome {
    std::string fout;
    std::vector<Report> reports;
    int16_t waypoints = 0, routes = 0;
    bool written = false;
};

Outcome run(std::string_view exchange_bytes) {
    ConversionFixture fixture;
    ClsParse parse;
    parse.Parsen(fixture.exchange(exchange_bytes), fixture.output());
    return {parse.strFout(), fixture.reports(), parse.intAantWaypoints(), parse.intAantRoutes(),
            fixture.folder.exists("gartrip.txt")};
}

void expect_report(const Report& report, int number, const char* plaats, const std::string& waarde) {
    EXPECT_EQ(report.number, number);
    EXPECT_EQ(report.naam, "ClsParse");
    EXPECT_EQ(report.plaats, plaats);
    EXPECT_EQ(report.waarde, waarde);
}

TEST(Reader, FailedPointKeepsItsNumberAndFailsTheRoutesOnIt) {
    Outcome r = run(point_block("Een") + point_block("Twee", "E006:34.95", "N53:07.50", "") +
                point_block("Drie") + route_block("Op twee", {"2"}) +
                route_block("Op drie", {" 3 ", "1"}));
    EXPECT_EQ(r.waypoints, 2);
    EXPECT_EQ(r.routes, 1);
    EXPECT_EQ(r.fout, "Gegevenstype klopt niet\r\nTechnische fout\r\n");
    ASSERT_EQ(r.reports.size(), 2u);
    expect_report(r.reports[0], 13, "nieuweWaypoint", "Bij het lezen van WaypointTwee");
    expect_report(r.reports[1], 5, "NieuweRoute", "Bij het lezen van routeOp twee");
}

TEST(Reader, NamesAndValuesFollowTheListInputRules) {
    ConversionFixture fixture;
    ClsParse parse;
    std::string text = convert(parse, "point {\r\n  name = ABC\r\n  lon = E001:02.03\r\n"
                                      "  lat = N01:02.03\r\n  elev = 7\r\n}\r\n" +
                                          point_block("Hoogeveen, NL"));
    EXPECT_EQ(line_of(text, 2).substr(0, 2), "B\t");
    EXPECT_EQ(line_of(text, 3).substr(0, 9), "HOOGEV\tE1");  // name read as Hoogevee
    EXPECT_EQ(parse.strFout(), "");  // absent type and frequency keys give empty values
}

TEST(Reader, BadBlocksAreReportedUnderTheirProcedure) {
    std::string before = point_block("X", "E0x6:34.95") + "point {\r\n  name = \"Y\" }\r\n" +
                         route_block("Leeg", {});
    Outcome r = run(before + "route } {\r\n}\r\n");
    size_t brace = ClsParse::working_text(before).size() + 9;  // 1-based position of "{"
    EXPECT_EQ(r.waypoints, 0);
    EXPECT_EQ(r.fout, "Gegevenstype klopt niet\r\nTechnische fout\r\nTechnische fout\r\n"
                      "Technische fout\r\nTechnische fout\r\nTechnische fout\r\n");
    ASSERT_EQ(r.reports.size(), 6u);
    expect_report(r.reports[0], 13, "nieuweWaypoint", "Bij het lezen van WaypointX");
    expect_report(r.reports[1], 5, "tekstWaarde", "Bij het zoeken naar:name =  in de tekst:\r\nname = \"Y\" ");
    expect_report(r.reports[2], 5, "nieuweWaypoint", "Bij het lezen van Waypoint");
    expect_report(r.reports[3], 5, "NieuweRoute", "Bij het lezen van routeLeeg");
    // "}" before "{": reported, and the empty block fails as well.
    expect_report(r.reports[4], 5, "BeginEindpunt",                   "tussen:" + std::to_string(brace + 1) + " en:" + std::to_string(brace - 2));
    EXPECT_EQ(r.reports[5].plaats, "NieuweRoute");
    EXPECT_TRUE(r.written);
}

TEST(Reader, CutOffFileIsReportedAndWhatCameBeforeIsWritten) {
    std::string head = point_block("Een");
    Outcome r = run(head + "route {\r\n  name = \"R\"\r\n  waypoint = 1\r\n");
    EXPECT_EQ(r.waypoints, 1);
    EXPECT_TRUE(r.written);
    ASSERT_EQ(r.reports.size(), 1u);
    // The "{" of the route sits at character head.size() + 7 of the working text.
    expect_report(r.reports[0], 5, "BeginEindpunt",
                  "tussen:" + std::to_string(ClsParse::working_text(head).size() + 8) + " en:0");
}

TEST(Reader, ProgressCountsEveryBlockBeforeItIsParsed) {
    ConversionFixture fixture;
    ClsParse parse;
    std::vector<std::string> seen;
    parse.set_progress_handler([&](std::string& aant) {
        seen.push_back(aant);
        aant = "veranderd";  // no effect on the count
    });
    convert(parse, point_block("A") + point_block("B") + route_block("R", {"2", "1"}) +
                       "; een point in de tekst {\r\n}\r\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(parse.intAantWaypoints(), 2);  // the stray keyword's empty block failed
    EXPECT_EQ(parse.intAantRoutes(), 1);
}

// A keyword with no "{" after it gives an empty block, which fails; the scan
// creeps past the keyword 3 characters at a time, one failed block per step.
TEST(Reader, KeywordWithoutBraceFailsUntilTheScanHasPassedIt) {
    Outcome r = run(point_block("A") + "abcdefgh point\r\n");
    EXPECT_EQ(r.waypoints, 1);
    EXPECT_TRUE(r.written);
    ASSERT_EQ(r.reports.size(), 4u);
    for (const Report& report : r.reports)
        expect_report(report, 5, "nieuweWaypoint", "Bij het lezen van Waypoint");
}

TEST(Reader, ManyKeywordsWithoutBracesEndInTheCounterOverflow) {
    std::string keywords;
    for (int i = 0; i < 100000; ++i) keywords += i % 2 ? "point\r\n" : "route ";
    Outcome r = run(point_block("A") + keywords);
    EXPECT_EQ(r.waypoints, 1);
    EXPECT_EQ(r.routes, 0);
    EXPECT_FALSE(r.written);
    size_t lines = 0;
    for (size_t at = r.fout.find("Technische fout\r\n"); at != std::string::npos;
         at = r.fout.find("Technische fout\r\n", at + 1))
        ++lines;
    EXPECT_EQ(lines * 17, r.fout.size());
    EXPECT_GE(lines, 32767u);
}

// The 16-bit point counter overflows at block 32768: the scan ends with a
// report, the text file is not written, the count gives what was read.
TEST(Reader, PointCounterOverflowEndsTheScan) {
    std::string exchange;
    for (int i = 1; i <= 40000; ++i)
        exchange += "point {\r\nname = \"P\"\r\nlon = E006:34.95\r\nlat = N53:07.50\r\nelev = 1\r\n}\r\n";
    Outcome r = run(exchange);
    EXPECT_EQ(r.waypoints, 32767);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.fout, "Technische fout\r\n");
    ASSERT_EQ(r.reports.size(), 1u);
    size_t block = ClsParse::working_text(exchange.substr(0, exchange.size() / 40000)).size();
    expect_report(r.reports[0], 6, "watGaanWeDoen",
                  "Waypoint op positie:" + std::to_string(32767 * block + 1) + "Route op positie:0");
}

// A route whose number overflows the 16-bit route counter only costs that route.
TEST(Reader, RouteCounterOverflowCostsOnlyTheRoutesPastIt) {
    std::string exchange = point_block("A");
    for (int i = 1; i <= 32769; ++i) exchange += "route {\r\nname = \"R\"\r\nwaypoint = 1\r\n}\r\n";
    Outcome r = run(exchange);
    EXPECT_EQ(r.routes, 32767);
    EXPECT_TRUE(r.written);
    ASSERT_EQ(r.reports.size(), 2u);
    expect_report(r.reports[0], 6, "NieuweRoute", "Bij het lezen van route");
    expect_report(r.reports[1], 6, "NieuweRoute", "Bij het lezen van route");
}

TEST(LockedFile, FourthTryReadsTheFileAfterThreeWaits) {
    ConversionFixture fixture;
    std::string input = fixture.exchange(point_block("A"));
    fixture.platform.fail_reads(input, 70, 3);
    ClsParse parse;
    parse.Parsen(input, fixture.output());
    EXPECT_EQ(fixture.platform.sleeps, std::vector<milliseconds>(3, milliseconds(2000)));
    EXPECT_EQ(fixture.platform.reads_of(input), 4);
    EXPECT_EQ(parse.intAantWaypoints(), 1);
    EXPECT_EQ(parse.strFout(), "");
}

TEST(LockedFile, FifthFailureGivesUpWithOneReport) {
    ConversionFixture fixture;
    std::string input = fixture.exchange(point_block("A"));
    fixture.platform.fail_reads(input, 70, 5);
    ClsParse parse;
    parse.Parsen(input, fixture.output());
    EXPECT_EQ(fixture.platform.sleeps, std::vector<milliseconds>(4, milliseconds(2000)));
    EXPECT_EQ(fixture.platform.reads_of(input), 5);
    EXPECT_EQ(parse.intAantWaypoints(), 0);
    EXPECT_EQ(parse.strFout(), "Geen toegang\r\n");
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 1u);
    expect_report(reports[0], 70, "Wachten", input);
    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(test_data("conversion/golden/empty.txt")));
}

TEST(LockedFile, OtherReadFailureIsReportedUnderReadFile) {
    ConversionFixture fixture;
    std::string input = fixture.exchange(point_block("A"));
    fixture.platform.fail_reads(input, 75, 1);
    ClsParse parse;
    parse.Parsen(input, fixture.output());
    EXPECT_TRUE(fixture.platform.sleeps.empty());
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 1u);
    expect_report(reports[0], 75, "ReadFile", input + " in de regel:");
}

}  // namespace
}  // namespace tlv::testing
