#include <gtest/gtest.h>

#include "conversion/ClsRoutes.h"
#include "conversion/ClsWaypoint.h"
#include "conversion/ClsWrite.h"
#include "shared/failure.h"
#include "tests/conversion/conversion_support.h"
#include "tests/support/failure_of.h"

namespace tlv::testing {
namespace {

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

TEST(Routes, MemberPast32767IsReportedAndDropped) {
    ConversionFixture fixture;
    auto waypoint = std::make_shared<ClsWaypoint>();
    ClsRoutes route;
    for (int i = 0; i < 32768; ++i) route.objWaypoint(waypoint);
    EXPECT_EQ(route.colWaypoints().size(), 32767u);
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(std::tie(reports[0].number, reports[0].naam, reports[0].plaats),
              std::make_tuple(6, "ClsRoutes", "objWaypoint"));
}

TEST(WaypointList, KeysAreTheDecimalTextOfTheNumber) {
    WaypointList list;
    ClsWaypoint* seven = list.make();
    list.put(7, seven);
    EXPECT_EQ(list.find("7").get(), seven);
    for (const char* key : {"07", "+7", "7 ", "7.0", "", "0", "8", "70000", "-7"})
        EXPECT_EQ(list.find(key), nullptr) << key;
    EXPECT_EQ(list.size(), 1);
}

// Route 100 has no two digits for its number.  A writer used on its own,
// outside a conversion, still logs a lost line.
TEST(Writer, HundredthRouteHeaderAndAWriterOnItsOwn) {
    ConversionFixture fixture;
    std::string exchange = point_block("A");
    for (int i = 1; i <= 100; ++i) exchange += route_block("R", {"1"});
    ClsParse parse;
    parse.Parsen(fixture.exchange(exchange), fixture.output());
    EXPECT_THAT(read_bytes(fixture.output()), HasSubstr("\r\n\r\nRoute\tR\r\nA\t"));
    ClsWrite writer;
    writer.Waypoint(std::string(110, 'n'), "", 0, {}, {}, ClsWrite::kListLine);
    writer.Route(1, std::string(16, 'r'));
    auto reports = fixture.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].plaats + reports[1].plaats, "WaypointRoute");
}

}  // namespace
}  // namespace tlv::testing
