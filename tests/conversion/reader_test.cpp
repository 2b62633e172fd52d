#include <filesystem>

#include "conversion/ClsRoutes.h"
#include "conversion/ClsWaypoint.h"
#include "conversion/ClsWrite.h"
#include "tests/conversion/conversion_support.h"
#include "tests/support/failure_of.h"

namespace tlv::testing {
namespace {

using std::chrono::milliseconds;

std::string repeated(int times, std::string_view block) {
    std::string text;
    for (int i = 0; i < times; ++i) text += block;
    return text;
}

Report parse_report(int number, std::string plaats, std::string waarde) {
    return {number, "ClsParse", std::move(plaats), std::move(waarde)};
}

// (Failed blocks of every kind stand in the golden file "bad_blocks".)
TEST(Reader, ScanGoesOnPastOddBlocksUpToTheCounterLimits) {
    struct Case {
        const char* what;
        std::string exchange;
        int16_t waypoints, routes;
        bool written;
        Reports reports;
    };
    // Lines without leading blanks: the working text is these very bytes.
    const std::string bare_point =
        "point {\r\nname = \"P\"\r\nlon = E006:34.95\r\nlat = N53:07.50\r\nelev = 1\r\n}\r\n";
    const Case cases[] = {
        {"a keyword without \"{\" fails until the scan, 3 characters a step, has passed it",
         point_block("A") + "abcdefgh point\r\n", 1, 0, true,
         Reports(4, parse_report(5, "nieuweWaypoint", "Bij het lezen van Waypoint"))},
        {"\"{}\" is an empty block, not a missing \"}\"", point_block("A") + "point {}\r\n", 1, 0,
         true, Reports{parse_report(5, "nieuweWaypoint", "Bij het lezen van Waypoint")}},
        {"a name of two quotes is an empty name", point_block("A") + point_block(""), 2, 0, true,
         Reports{}},
        {"a block may follow a \"}\" at once",
         bare_point.substr(0, bare_point.size() - 2) + bare_point, 2, 0, true, Reports{}},
        {"the 16-bit point counter's overflow ends the scan; no text file",
         repeated(40000, bare_point), 32767, 0, false,
         Reports{
             parse_report(6, "watGaanWeDoen",
                          "Waypoint op positie:" + std::to_string(32767 * bare_point.size() + 1) +
                              "Route op positie:0")}},
        {"the route counter's overflow costs only the routes past it",
         point_block("A") + repeated(32769, "route {\r\nname = \"R\"\r\nwaypoint = 1\r\n}\r\n"), 1,
         32767, true, Reports(2, parse_report(6, "NieuweRoute", "Bij het lezen van route"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConversionFixture fixture;
        ClsParse parse;
        parse.Parsen(fixture.exchange(c.exchange), fixture.output());
        EXPECT_EQ(std::make_tuple(parse.intAantWaypoints(), parse.intAantRoutes(),
                                  fixture.folder.exists("gartrip.txt")),
                  std::make_tuple(c.waypoints, c.routes, c.written));
        EXPECT_EQ(fixture.reports(), c.reports);
        EXPECT_EQ(parse.strFout(), repeated(int(c.reports.size()), "Technische fout\r\n"));
    }
}

// Made in the bytes' own buffer, also where commas and lone line ends make the
// working text outgrow the bytes.
TEST(Reader, WorkingTextIsMadeInTheBytesOwnBuffer) {
    const std::pair<std::string, std::string> cases[] = {
        {"  name = \"A\"\r\n\tlon = 1\r\n", "name = \"A\"\r\nlon = 1\r\n"},
        {"   x,\"y\"z\n,", "x\r\ny\r\n\r\n"},
        {"a,b\nc\rd", "a\r\nb\r\nc\r\nd\r\n"},
    };
    for (const auto& [bytes, working] : cases) {
        EXPECT_EQ(ClsParse::working_text(std::string(bytes)), working);
        EXPECT_EQ(ClsParse::working_text(std::string_view(bytes)), working);
    }
}

// Tens of thousands of reports reach the log in one write.
TEST(Reader, FloodOfReportsReachesTheLogInOneWrite) {
    ConversionFixture fixture;
    ClsParse parse;
    parse.Parsen(fixture.exchange(point_block("A") + repeated(50000, "route point\r\n")),
                 fixture.output());
    EXPECT_GE(parse.strFout().size() / 17, 32767u);
    EXPECT_EQ(fixture.platform.files.writes[fixture.folder.file("error.log")], 1);
}

// A locked file (70) is tried again every two seconds, five tries in all; any other failure ends at
// once.  A file that could not be read leaves the last good text file as it was.
TEST(LockedFile, RetriesThenKeepsTheOldTextFile) {
    struct Locked {
        int number, failures, sleeps;
        const char* plaats;  // "" when the fourth try reads the file
    };
    for (const Locked& c :
         {Locked{70, 3, 3, ""}, Locked{70, 5, 4, "Wachten"}, Locked{75, 1, 0, "ReadFile"}}) {
        ConversionFixture fixture;
        std::string input = fixture.exchange(point_block("A"));
        fixture.folder.write("gartrip.txt", "laatste goede");
        fixture.platform.files.fail_reads(input, c.number, c.failures);
        ClsParse parse;
        parse.Parsen(input, fixture.output());
        EXPECT_EQ(fixture.platform.clock.sleeps,
                  std::vector<milliseconds>(c.sleeps, milliseconds(2000)));
        if (*c.plaats == 0) {
            EXPECT_EQ(std::make_tuple(fixture.reports(), parse.intAantWaypoints()),
                      std::make_tuple(Reports{}, 1));
        } else {
            std::string waarde = c.number == 70 ? input : input + " in de regel:";
            EXPECT_EQ(fixture.reports(), Reports{parse_report(c.number, c.plaats, waarde)});
            EXPECT_EQ(fixture.folder.read("gartrip.txt"), "laatste goede");
        }
    }
}

// Only an export that is not there gives the headers alone.  One that cannot be examined, a hidden
// one, or one past the size bound is a read failure under ReadFile with the system's text, and the
// last good text file stays.
TEST(ReadFile, ExportThatCannotBeReachedKeepsTheOldTextFile) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {"groot.ste", "File too large: more than 67108864 bytes"}, {"weg.ste", ""}};
#ifndef _WIN32
    cases.insert(cases.end(), {{"lus.ste", "Too many levels of symbolic links"},
                               {std::string(300, 'x') + ".ste", "File name too long"},
                               {".verborgen.ste", "Hidden file"}});
#endif
    for (const auto& [name, technical] : cases) {
        ConversionFixture fixture;
        std::filesystem::resize_file(fixture.exchange(point_block("A"), "groot.ste"),
                                     ClsParse::kMostExchangeBytes + 1);
        fixture.exchange(point_block("A"), ".verborgen.ste");
        if (name == "lus.ste") std::filesystem::create_symlink(name, fixture.folder.file(name));
        fixture.folder.write("gartrip.txt", "laatste goede");
        EXPECT_EQ(ClsParse().Parsen(fixture.folder.file(name), fixture.output()),
                  technical.empty());
        if (technical.empty()) continue;
        EXPECT_EQ(fixture.folder.read("gartrip.txt"), "laatste goede") << name;
        EXPECT_THAT(fixture.folder.read("error.log"),
                    HasSubstr("Technische fout [" + technical +
                              "]\r\nOpgetreden bij het uitvoeren van ReadFile\r\n"));
    }
}

Coordinate coordinate(const char* letter, const char* degrees, const char* minutes,
                      const char* hundredths) {
    return {"", letter, degrees, minutes, hundredths};
}

TEST(Coordinates, BadPieceIsTypeMismatchAfterTheEarlierPieces) {
    ClsWaypoint waypoint;
    waypoint.strLat("S10:20.30");
    EXPECT_EQ(failure_of([&] { waypoint.strLat("N52:xx.00"); }), 13);
    EXPECT_EQ(waypoint.varLatitude(), coordinate("N", "52", "20", "30"));
    EXPECT_EQ(failure_of([&] { waypoint.strLat(""); }), 13);
    EXPECT_EQ(waypoint.varLatitude()[1], "S");
    EXPECT_EQ(failure_of([&] { waypoint.strLon("E005:07"); }), 13);
    waypoint.strLon("W123;45,67");  // the separators are not examined
    EXPECT_EQ(waypoint.varLongtitude(), coordinate("W", "123", "45", "67"));
}

TEST(Routes, MemberPast32767IsDropped) {
    ConversionFixture fixture;
    auto waypoint = std::make_shared<ClsWaypoint>();
    ClsRoutes route;
    for (int i = 0; i < 32768; ++i) route.objWaypoint(waypoint);
    EXPECT_EQ(route.colWaypoints().size(), 32767u);
    EXPECT_EQ(fixture.reports(), (Reports{{6, "ClsRoutes", "objWaypoint", ""}}));
}

TEST(WaypointList, KeysAreTheNumbersDecimalText) {
    WaypointList list;
    ClsWaypoint *seven = list.make(), *last = list.make();
    for (auto [number, kept] : {std::pair{7, seven}, {32767, last}, {10, last}})
        list.put(number, kept);
    EXPECT_EQ(std::tuple(list.find("7").get(), list.find("32767").get(), list.find("10").get()),
              std::tuple(seven, last, last));
    for (const char* key : {"07", "+7", "7 ", "7.0", "", "0", "8", "70000", "-7", "3270s"})
        EXPECT_EQ(list.find(key), nullptr) << key;
    EXPECT_EQ(list.size(), 3);
}

// Route 100 has no two digits for its number.
TEST(Writer, HundredthRouteHeaderHasNoNumber) {
    ConversionFixture fixture;
    std::string exchange = point_block("A");
    for (int i = 1; i <= 100; ++i) exchange += route_block("R", {"1"});
    ClsParse parse;
    parse.Parsen(fixture.exchange(exchange), fixture.output());
    EXPECT_THAT(read_bytes(fixture.output()), HasSubstr("\r\n\r\nRoute\tR\r\nA\t"));
}

// A writer on its own, outside a conversion, logs a lost line as far as it got (a waypoint line
// has 109 cells, a route line 32).
TEST(Writer, OnItsOwnLogsALostLineAsFarAsItGot) {
    ConversionFixture fixture;
    ClsWrite writer;
    writer.Waypoint("Eelde", "123.50", 5, {"", "E", "6", "34", "95"}, {"", "N", "53", "7", "50"},
                    ClsWrite::kListLine);
    EXPECT_EQ(writer.text(), "EELDE\t123.50" + std::string(27, ' ') +
                                 "\tN53\xB0"
                                 "07.500'\tE006\xB0"
                                 "34.950'\t0 \t     0\t 0 \t5\r\n");
    writer.Waypoint(std::string(110, 'n'), "", 0, {}, {}, ClsWrite::kListLine);
    writer.Route(1, std::string(16, 'r'));
    EXPECT_EQ(fixture.reports(),
              (Reports{{9, "ClsWrite", "Waypoint", std::string(109, 'N')},
                       {9, "ClsWrite", "Route", "Route01\t" + std::string(16, 'r')}}));
}

// The writer's three ways of composing a waypoint line agree: at and past the direct path's
// bounds (47-character names, 32-character frequencies), far coordinates, member lines; and
// writes_line tells the lines written (109-character names, 100-character frequencies).
TEST(Writer, ThreeWaysOfComposingAWaypointLineAgree) {
    for (auto [name, frequency, longitude, latitude, elevation, kind] :
         {std::tuple("Eelde", "123.50", "E006:34.95", "N53:07.50", 5, ClsWrite::kListLine),
          std::tuple("n", "", "W179:59.99", "S89:59.99", -12345, ClsWrite::kListLine),
          std::tuple("n", "", "E000:00.00", "N00:00.00", 0, ClsWrite::kMemberLine)}) {
        for (size_t extra : {0, 46, 47, 108, 109}) {
            ClsWaypoint waypoint;
            waypoint.strName(name + std::string(extra, 'x'));
            const size_t length = extra < 47 ? 32 : extra == 47 ? 101 : 100;
            waypoint.strFreq(frequency + std::string(length - strlen(frequency), '9'));
            waypoint.strLon(longitude);
            waypoint.strLat(latitude);
            waypoint.intElev(static_cast<int16_t>(elevation));
            const auto lines = ClsWrite::waypoint_lines(waypoint, kind);
            EXPECT_TRUE(lines[0] == lines[1] && lines[1] == lines[2]) << lines[0] << lines[2];
            EXPECT_EQ(ClsWrite::writes_line(waypoint), !lines[0].empty()) << extra;
        }
    }
}

}  // namespace
}  // namespace tlv::testing
