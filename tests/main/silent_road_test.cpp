#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "main/modStart.h"
#include "tests/support/fake_platform.h"
#include "tests/support/in_process_conversion.h"
#include "tests/support/temp_folder.h"

namespace tlv::modStart {
namespace {

using Args = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kDefaultSettings =
    "StrePlaFile=\r\nGartripFile=\r\nGartipProgramma=\r\nStreplaProgramma=\r\n"
    "StartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1";

// The silent road with the conversion in-process, under the test adapter.
class SilentRoad : public testing::InFolder {
protected:
    void SetUp() override { folder.write("week 49.ste", testing::basic_example(".ste")); }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "");
        return Main(arguments);
    }

    testing::InProcessConversion conversion;
};

TEST_F(SilentRoad, ConvertsIntoTheGivenOrTheStoredTextFile) {
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt"), folder.file("derde.txt")}),
              kExitConverted);
    EXPECT_EQ(folder.read("uit.txt"), testing::basic_example(".txt"));
    EXPECT_EQ(folder.read("tolvane.kvr"), kDefaultSettings);
    EXPECT_FALSE(folder.exists("derde.txt"));

    folder.write("tolvane.kvr", "GartripFile=" + folder.file("opgeslagen.txt") + "\r\n");
    InstellingenVrijgeven();
    EXPECT_EQ(run({folder.file("week 49.ste")}), kExitConverted);
    EXPECT_EQ(folder.read("opgeslagen.txt"), testing::basic_example(".txt"));
    EXPECT_FALSE(folder.exists("error.log"));
}

// GARtrip only for StartGartrip=1, with the text path as one argument, whatever it holds.
TEST_F(SilentRoad, StartsGartripOnlyForStartGartripOne) {
    const std::string text = folder.file("uit 'met' blanco.txt");
    const std::string program = folder.file("GARtrip.exe");
    folder.write("GARtrip.exe", "MZ");
    for (const char* value : {"2", "0", "1"}) {
        folder.write("tolvane.kvr",
                     "GartipProgramma=" + program + "\r\nStartGartrip=" + value + "\r\n");
        InstellingenVrijgeven();
        EXPECT_EQ(run({folder.file("week 49.ste"), text}), kExitConverted);
    }
    EXPECT_EQ(platform.programs.started,
              (testing::Starts{{program, {text}, port::WindowStyle::Hidden}}));
}

// A locked exchange file is waited for on the test clock, not the real one;
// one that exists but is no plain file cannot be read.  The text file keeps
// its old text, and the report gives exit code 1.
TEST_F(SilentRoad, AnyFaultGivesExitCodeOne) {
    platform.files.fail_reads(folder.file("week 49.ste"), 70, 5);
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitConvertedWithErrors);
    EXPECT_EQ(platform.clock.sleeps.size(), 4u);
    EXPECT_FALSE(folder.exists("uit.txt"));
    EXPECT_THAT(folder.read("error.log"), HasSubstr("Foutmelding:[Geen toegang] in [ClsParse]"));

    fs::create_directory(folder.file("map.ste"));
    std::vector<std::string> names{"map.ste"};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(folder.file("pijp.ste").c_str(), 0600), 0);
    names.push_back("pijp.ste");
#endif
    for (const std::string& name : names) {
        folder.write("uit.txt", "oud");
        EXPECT_EQ(run({folder.file(name), folder.file("uit.txt")}), kExitConvertedWithErrors);
        EXPECT_EQ(folder.read("uit.txt"), "oud") << name;
    }
    EXPECT_THAT(
        folder.read("error.log"),
        HasSubstr("Technische fout [Not a regular file]\r\nOpgetreden bij het uitvoeren van "
                  "ReadFile\r\nBij het werken met deze waarde:[" +
                  folder.file(names.back()) + " in de regel:]"));
    // A GARtrip that fails to start is reported with both arguments.
    folder.write("tolvane.kvr", "StartGartrip=1\r\n");
    platform.programs.failure = 53;
    platform.boxes.expect(testing::error_box(
        "Kan het bestand niet vinden:Eerste opstartargument=[" + folder.file("week 49.ste") +
        "] Tweede opstartargument(optioneel)=[" + folder.file("uit.txt") + "]"));
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitStartFailed);
    EXPECT_EQ(folder.read("uit.txt"), testing::basic_example(".txt"));
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("] in [ModStart]\r\nTechnische fout [File not found]\r\n"
                          "Opgetreden bij het uitvoeren van Main\r\n"));
}

// A second start converts nothing and reads no settings: the window road
// asks the running copy to show itself, a conversion says why it did nothing.
TEST_F(SilentRoad, SecondCopyConvertsNothing) {
    platform.boxes.expect(2);
    EXPECT_EQ(run({}), kExitStartFailed);
    EXPECT_EQ(run({folder.file("week 49.ste")}), kExitStartFailed);
    platform.instance.other_copy = true;
    InstellingenVrijgeven();
    fs::remove(folder.file("tolvane.kvr"));
    platform.boxes.expect({"Er draait al een tolvane vanuit deze map; er is niets omgezet.",
                           "tolvane", port::BoxStyle::Information});
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitOtherCopyRuns);
    EXPECT_EQ(run({}), kExitOtherCopyRuns);
    EXPECT_EQ(platform.instance.show_requests, 1);  // the window road's request only
    EXPECT_FALSE(folder.exists("uit.txt") || folder.exists("tolvane.kvr"));
}

TEST(GetCommandLine, SplitsAtBlanksOutsideQuotesUpToTheMaximum) {
    const std::tuple<std::string_view, int, Args> cases[] = {
        {"", 10, {""}},
        {"  \t ", 10, {""}},
        {"a.ste\tb.txt   c", 10, {"", "a.ste", "b.txt", "c"}},
        {R"("C:\Mijn taken\week 49.ste" uit.txt)",
         10,
         {"", R"(C:\Mijn taken\week 49.ste)", "uit.txt"}},
        {"\"a\tb\"", 10, {"", "a\tb"}},
        {R"(abc"def")", 10, {"", "abc", "def"}},  // an opening quote always starts an argument
        {R"("ab"cd)", 10, {"", "ab", "cd"}},
        {R"("")", 10, {"", ""}},
        {R"(a "b c)", 10, {"", "a", "b c"}},
        {"een twee drie", 2, {"", "een", "twee"}},
        {R"(een twee "drie)", 2, {"", "een", "twee"}},
    };
    for (const auto& [line, maximum, expected] : cases)
        EXPECT_EQ(GetCommandLine(line, maximum), expected) << line;
    EXPECT_EQ(GetCommandLine("1 2 3 4 5 6 7 8 9 10 11 12").size(), 11u);
}

}  // namespace
}  // namespace tlv::modStart
