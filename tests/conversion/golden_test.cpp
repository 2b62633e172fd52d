#include <gtest/gtest.h>

#include <filesystem>

#include "tests/conversion/conversion_support.h"

namespace tlv::testing {
namespace {

struct Golden {
    const char* name;
    int16_t waypoints;
    int16_t routes;
    const char* fout;
    int blocks;
};

class GoldenFiles : public ::testing::TestWithParam<Golden> {};

// The hand-written text files, and error logs where one is given, are
// matched byte for byte.
TEST_P(GoldenFiles, WritesTheExpectedTextFile) {
    const Golden& golden = GetParam();
    ConversionFixture fixture;
    std::string base = std::string("conversion/golden/") + golden.name;
    std::string input = fixture.exchange(read_bytes(test_data(base + ".ste")));

    ClsParse parse;
    int progress = 0;
    parse.set_progress_handler(
        [&](std::string& aant) { EXPECT_EQ(aant, std::to_string(++progress)); });
    EXPECT_TRUE(parse.Parsen(input, fixture.output()));

    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(test_data(base + ".txt")));
    if (std::filesystem::exists(test_data(base + ".log"))) {
        EXPECT_EQ(fixture.folder.read("error.log"), read_bytes(test_data(base + ".log")));
    }
    EXPECT_EQ(parse.intAantWaypoints(), golden.waypoints);
    EXPECT_EQ(parse.intAantRoutes(), golden.routes);
    EXPECT_EQ(parse.strFout(), golden.fout);
    EXPECT_EQ(progress, golden.blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, GoldenFiles,
    ::testing::Values(Golden{"basic", 3, 1, "", 4},
                      // point 2 (empty elevation), routes "Fout" (failed point) and
                      // "Zeven" ("07"), and the 16-character route header.
                      Golden{"edges", 4, 2,
                             "Gegevenstype klopt niet\r\nTechnische fout\r\nTechnische fout\r\n"
                             "Technische fout\r\n",
                             9},
                      Golden{"cut_off", 1, 0, "Technische fout\r\n", 2},
                      Golden{"bad_blocks", 2, 1,
                             "Gegevenstype klopt niet\r\nTechnische fout\r\nGegevenstype klopt "
                             "niet\r\nTechnische fout\r\nTechnische fout\r\nTechnische fout\r\n"
                             "Technische fout\r\nTechnische fout\r\n",
                             9},
                      // Two lines lost twice each: in the list and in route 1.
                      Golden{"cells", 6, 10,
                             "Technische fout\r\nTechnische fout\r\nTechnische fout\r\n"
                             "Technische fout\r\n",
                             16},
                      Golden{"empty", 0, 0, "", 0}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(GoldenFiles, MissingExchangeFileWritesTheHeadersOnly) {
    ConversionFixture fixture;
    ClsParse parse;
    EXPECT_TRUE(parse.Parsen(fixture.folder.file("nergens.ste"), fixture.output()));
    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(test_data("conversion/golden/empty.txt")));
    EXPECT_EQ(parse.strFout(), "");
    EXPECT_EQ(parse.intAantWaypoints(), 0);
    EXPECT_TRUE(fixture.reports().empty());
}

// Two runs on one object give what two fresh objects give; nothing survives.
TEST(GoldenFiles, SecondParsenStartsClean) {
    ConversionFixture fixture;
    std::string edges =
        fixture.exchange(read_bytes(test_data("conversion/golden/edges.ste")), "e.ste");
    std::string basic =
        fixture.exchange(read_bytes(test_data("conversion/golden/basic.ste")), "b.ste");
    ClsParse parse;
    parse.strFout("van de klant");
    parse.Parsen(edges, fixture.folder.file("1.txt"));
    parse.Parsen(basic, fixture.output());
    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(test_data("conversion/golden/basic.txt")));
    EXPECT_EQ(parse.strFout(), "");
    EXPECT_EQ(parse.intAantWaypoints(), 3);
    EXPECT_EQ(parse.intAantRoutes(), 1);
    parse.Parsen(edges, fixture.folder.file("2.txt"));
    EXPECT_EQ(read_bytes(fixture.folder.file("2.txt")), read_bytes(fixture.folder.file("1.txt")));
    EXPECT_EQ(parse.intAantRoutes(), 2);
}

TEST(GoldenFiles, UnwritableTextFileReportsTheWritersMessage) {
    ConversionFixture fixture;
    ClsParse parse;
    std::string target = fixture.folder.file("geen_map/gartrip.txt");
    parse.Parsen(fixture.exchange(point_block("Eelde")), target);
    EXPECT_EQ(parse.strFout(), "Kan het pad niet vinden " + target + "\r\n");
    EXPECT_EQ(parse.intAantWaypoints(), 1);
}

}  // namespace
}  // namespace tlv::testing
