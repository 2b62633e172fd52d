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

// The hand-written text, CUP and GPX files, and the error log where one is given (else there must
// be none), are matched byte for byte.  An exchange file that is not there gives the headers only.
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
    parse.set_extra_outputs({fixture.folder.file("taak.cup"), fixture.folder.file("taak.gpx")});
    EXPECT_TRUE(parse.Parsen(input, fixture.output()));

    EXPECT_EQ(read_bytes(fixture.output()), read_bytes(base + ".txt"));
    EXPECT_EQ(fixture.folder.read("taak.cup"), read_bytes(base + ".cup"));
    EXPECT_EQ(fixture.folder.read("taak.gpx"), read_bytes(base + ".gpx"));
    EXPECT_TRUE(parse.unwritten_outputs().empty());
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

// An extra output that cannot be written, or that would take the place of another file of the
// conversion, is named and left as it was; the text file, the other output and the error text
// stay what they would be.  A conversion whose text file fails writes neither.
TEST(ExtraOutputs, FailedOneTouchesNoOtherFile) {
    struct Case {
        std::string cup, gpx;
        std::vector<std::string> unwritten;
    };
    for (const Case& c : {Case{"geen map/t.cup", "t.gpx", {"geen map/t.cup"}},
                          Case{"export.ste", "gartrip.txt", {"export.ste", "gartrip.txt"}},
                          Case{"t.cup", "t.cup", {"t.cup"}}, Case{"", "t.gpx", {}}}) {
        ConversionFixture fixture;
        const std::string exchange = fixture.exchange(basic_example(".ste"));
        ClsParse parse;
        auto path = [&](const std::string& name) {
            return name.empty() ? name : fixture.folder.file(name);
        };
        parse.set_extra_outputs({path(c.cup), path(c.gpx)});
        EXPECT_TRUE(parse.Parsen(exchange, fixture.output()));
        std::vector<std::string> unwritten;
        for (const std::string& name : c.unwritten) unwritten.push_back(fixture.folder.file(name));
        EXPECT_EQ(parse.unwritten_outputs(), unwritten) << c.cup;
        EXPECT_EQ(std::tuple(read_bytes(exchange), read_bytes(fixture.output()), parse.strFout()),
                  std::tuple(basic_example(".ste"), basic_example(".txt"), ""));
        if (c.cup == "t.cup") {
            EXPECT_EQ(fixture.folder.read("t.cup"), basic_example(".cup"));
        }
        if (c.gpx == "t.gpx") {
            EXPECT_EQ(fixture.folder.read("t.gpx"), basic_example(".gpx"));
        }
    }
    ConversionFixture fixture;  // a refusal is logged with its reason; so is a failed write
    const std::string exchange = fixture.exchange(basic_example(".ste"));
    ClsParse refusing;
    refusing.set_extra_outputs({exchange, ""});
    refusing.Parsen(exchange, fixture.output());
    EXPECT_EQ(fixture.reports(), (Reports{{75, "ClsParse", "Schrijf", exchange}}));
    fixture.folder.write("t.cup", "oud");
    ClsParse parse;
    parse.set_extra_outputs({fixture.folder.file("t.cup"), ""});
    EXPECT_FALSE(
        parse.Parsen(fixture.folder.file("export.ste"), fixture.folder.file("geen/t.txt")));
    EXPECT_EQ(fixture.folder.read("t.cup"), "oud");
}

// Texts as their readers need them: CUP quotes a name (a quote in it written twice) and gives the
// code in quotes only when it holds one; GPX escapes & < >; the CUP style follows the type.
TEST(ExtraOutputs, TextsReachTheirReadersIntact) {
    for (auto [type, style] : {std::pair("Airport", 5),
                               {"outlanding field", 3},
                               {"airfield", 5},
                               {"turnpoint", 1},
                               {"", 1}})
        EXPECT_EQ(task_files::cup_style(type), style) << type;
    ClsWaypoint waypoint;
    waypoint.strName("Eel\"de & <Zuid>");
    waypoint.strType("Airport");
    const task_files::Task task{{&waypoint}, {}};
    EXPECT_THAT(task_files::cup_text(task),
                ::testing::HasSubstr("\r\n\"Eel\"\"de & <Zuid>\",\"Eel\"\"de & <Zuid>\",,0000.000N,"
                                     "00000.000E,0.0m,5,,,,\"Airport\"\r\n"));
    EXPECT_THAT(task_files::gpx_text(task),
                ::testing::HasSubstr("<name>Eel\"de &amp; &lt;Zuid&gt;</name>"));
}

// A waypoint off the globe stays in the text file, is left out of the extra outputs (and so out
// of their routes) and is reported once; one at a pole or on the date line (180 E is written
// as 180 W) stays in.
TEST(ExtraOutputs, WaypointOffTheGlobeIsLeftOut) {
    ConversionFixture fixture;
    const std::string exchange = fixture.exchange(
        point_block("Pool", "E000:00.00", "S90:00.00") + point_block("Ver", "E179:60.00") +
        point_block("Mis", "E006:34.95", "N89:60.01") + route_block("R", {"1", "3", "2"}));
    ClsParse parse;
    parse.set_extra_outputs({"", fixture.folder.file("t.gpx")});
    EXPECT_TRUE(parse.Parsen(exchange, fixture.output()));
    const std::string gpx = fixture.folder.read("t.gpx");
    EXPECT_THAT(gpx, ::testing::HasSubstr("<wpt lat=\"-90.0000000\" lon=\"0.0000000\">"));
    EXPECT_THAT(gpx, ::testing::HasSubstr("<rtept lat=\"53.1250000\" lon=\"-180.0000000\">"));
    EXPECT_THAT(gpx, ::testing::Not(::testing::HasSubstr("Mis")));
    EXPECT_THAT(read_bytes(fixture.output()), ::testing::HasSubstr("MIS\t"));
    EXPECT_EQ(fixture.reports(), (Reports{{5, "ClsParse", "Schrijf", "CUP en GPX zonder Mis"}}));
}

}  // namespace
}  // namespace tlv::testing
