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

void expect_report(const Report& report, int number, const char* plaats,
                   const std::string& waarde) {
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
    std::string text = convert(parse,
                               "point {\r\n  name = ABC\r\n  lon = E001:02.03\r\n"
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
    EXPECT_EQ(r.fout,
              "Gegevenstype klopt niet\r\nTechnische fout\r\nTechnische fout\r\n"
              "Technische fout\r\nTechnische fout\r\nTechnische fout\r\n");
    ASSERT_EQ(r.reports.size(), 6u);
    expect_report(r.reports[0], 13, "nieuweWaypoint", "Bij het lezen van WaypointX");
    expect_report(r.reports[1], 5, "tekstWaarde",
                  "Bij het zoeken naar:name =  in de tekst:\r\nname = \"Y\" ");
    expect_report(r.reports[2], 5, "nieuweWaypoint", "Bij het lezen van Waypoint");
    expect_report(r.reports[3], 5, "NieuweRoute", "Bij het lezen van routeLeeg");
    // "}" before "{": reported, and the empty block fails as well.
    expect_report(r.reports[4], 5, "BeginEindpunt",
                  "tussen:" + std::to_string(brace + 1) + " en:" + std::to_string(brace - 2));
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

// A keyword without "{" gives an empty block that fails; the scan creeps past
// it 3 characters at a time.  Many of them end in the counter's overflow, and
// all their reports reach the log in one write.
TEST(Reader, KeywordsWithoutBracesFailUntilTheCounterOverflows) {
    Outcome few = run(point_block("A") + "abcdefgh point\r\n");
    EXPECT_TRUE(few.written);
    ASSERT_EQ(few.reports.size(), 4u);
    for (const Report& report : few.reports)
        expect_report(report, 5, "nieuweWaypoint", "Bij het lezen van Waypoint");

    ConversionFixture fixture;
    std::string keywords;
    for (int i = 0; i < 100000; ++i) keywords += i % 2 ? "point\r\n" : "route ";
    ClsParse parse;
    parse.Parsen(fixture.exchange(point_block("A") + keywords), fixture.output());
    EXPECT_EQ(parse.intAantWaypoints(), 1);
    EXPECT_FALSE(fixture.folder.exists("gartrip.txt"));
    EXPECT_EQ(parse.strFout().size() % 17, 0u);
    EXPECT_GE(parse.strFout().size() / 17, 32767u);
    EXPECT_EQ(fixture.platform.files.writes[fixture.folder.file("error.log")], 1);
}

// The 16-bit point counter overflows at block 32768: the scan ends with a
// report, the text file is not written, the count gives what was read.
TEST(Reader, PointCounterOverflowEndsTheScan) {
    std::string exchange;
    for (int i = 1; i <= 40000; ++i)
        exchange +=
            "point {\r\nname = \"P\"\r\nlon = E006:34.95\r\nlat = N53:07.50\r\nelev = 1\r\n}\r\n";
    Outcome r = run(exchange);
    EXPECT_EQ(r.waypoints, 32767);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.fout, "Technische fout\r\n");
    ASSERT_EQ(r.reports.size(), 1u);
    size_t block = ClsParse::working_text(exchange.substr(0, exchange.size() / 40000)).size();
    expect_report(
        r.reports[0], 6, "watGaanWeDoen",
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

// A locked file (70) is tried again every two seconds, five tries in all; any
// other failure ends at once.  A file that could not be read leaves the last
// good text file as it was.
TEST(LockedFile, RetriesThenKeepsTheOldTextFile) {
    struct Case {
        int number, failures, sleeps;
        const char* plaats;  // "" when the fourth try reads the file
    };
    for (const Case& c :
         {Case{70, 3, 3, ""}, Case{70, 5, 4, "Wachten"}, Case{75, 1, 0, "ReadFile"}}) {
        ConversionFixture fixture;
        std::string input = fixture.exchange(point_block("A"));
        fixture.folder.write("gartrip.txt", "laatste goede");
        fixture.platform.files.fail_reads(input, c.number, c.failures);
        ClsParse parse;
        parse.Parsen(input, fixture.output());
        EXPECT_EQ(fixture.platform.clock.sleeps,
                  std::vector<milliseconds>(c.sleeps, milliseconds(2000)));
        auto reports = fixture.reports();
        if (*c.plaats == 0) {
            EXPECT_EQ(parse.intAantWaypoints(), 1);
            EXPECT_TRUE(reports.empty());
            continue;
        }
        ASSERT_EQ(reports.size(), 1u);
        expect_report(reports[0], c.number, c.plaats,
                      c.number == 70 ? input : input + " in de regel:");
        EXPECT_EQ(fixture.folder.read("gartrip.txt"), "laatste goede");
    }
}

}  // namespace
}  // namespace tlv::testing
