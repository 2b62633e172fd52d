#include <filesystem>

#include "tests/conversion/conversion_support.h"

namespace tlv::testing {
namespace {

struct Golden {
    const char* name;
    int16_t waypoints, routes;
    int blocks;
    // The error text a line each: G "Gegevenstype klopt niet", T "Technische fout".
    const char* fout;
};

std::string fout_of(std::string_view lines) {
    std::string fout;
    for (char line : lines)
        fout += line == 'G' ? "Gegevenstype klopt niet\r\n" : "Technische fout\r\n";
    return fout;
}

class GoldenFiles : public ::testing::TestWithParam<Golden> {};

// The hand-written text file, and the error log where one is given (else there must be none), are
// matched byte for byte.  An exchange file that is not there gives the headers only.
TEST_P(GoldenFiles, WritesTheExpectedTextFile) {
    const Golden& golden = GetParam();
    ConversionFixture fixture;
    std::string base = test_data(std::string("conversion/golden/") + golden.name);
    std::string input = std::filesystem::exists(base + ".ste")
                            ? fixture.exchange(read_bytes(base + ".ste"))
                            : fixture.folder.file("nergens.ste");
    ClsParse parse;
    int progress = 0;
    parse.set_progress_handler(
        [&](std::string& aant) { EXPECT_EQ(aant, std::to_string(++progress)); });
    EXPECT_TRUE(parse.Parsen(input, fixture.output()));

    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(base + ".txt"));
    if (std::filesystem::exists(base + ".log")) {
        EXPECT_EQ(fixture.folder.read("error.log"), read_bytes(base + ".log"));
    } else {
        EXPECT_FALSE(fixture.folder.exists("error.log"));
    }
    EXPECT_EQ(std::make_tuple(parse.intAantWaypoints(), parse.intAantRoutes(), progress),
              std::make_tuple(golden.waypoints, golden.routes, golden.blocks));
    EXPECT_EQ(parse.strFout(), fout_of(golden.fout));
}

// edges: point 2 (empty elevation), routes "Fout" (failed point), "Zeven"
// ("07") and "Zonder blanco" (no blank after "waypoint ="), the 16-character
// route header; cells: two lines lost in the list and again in route 1.
INSTANTIATE_TEST_SUITE_P(
    Conversion, GoldenFiles,
    ::testing::Values(Golden{"basic", 3, 1, 4, ""}, Golden{"edges", 4, 2, 10, "GTTTT"},
                      Golden{"cut_off", 1, 0, 2, "T"}, Golden{"bad_blocks", 3, 1, 10, "GTGTTTTTT"},
                      Golden{"cells", 9, 10, 19, "TTTT"}, Golden{"empty", 0, 0, 0, ""},
                      Golden{"missing", 0, 0, 0, ""}, Golden{"keys", 2, 0, 2, "T"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// Two runs on one object give what two fresh objects give; nothing survives.
TEST(GoldenFiles, SecondParsenStartsClean) {
    ConversionFixture fixture;
    std::string edges =
        fixture.exchange(read_bytes(test_data("conversion/golden/edges.ste")), "e.ste");
    std::string basic = fixture.exchange(basic_example(".ste"), "b.ste");
    ClsParse parse;
    parse.strFout("van de klant");
    parse.Parsen(edges, fixture.folder.file("1.txt"));
    parse.Parsen(basic, fixture.output());
    EXPECT_EQ(read_bytes(fixture.output()), basic_example(".txt"));
    EXPECT_EQ(std::make_tuple(parse.strFout(), parse.intAantWaypoints(), parse.intAantRoutes()),
              std::make_tuple("", 3, 1));
    parse.Parsen(edges, fixture.folder.file("2.txt"));
    EXPECT_EQ(std::pair(read_bytes(fixture.folder.file("2.txt")), parse.intAantRoutes()),
              std::pair(read_bytes(test_data("conversion/golden/edges.txt")), int16_t{2}));
}

}  // namespace
}  // namespace tlv::testing
