#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "main/modStart.h"
#include "shared/modInstellingen.h"
#include "shared/platform/posix.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv::modStart {
namespace {

using testing::FakePlatform;
using testing::TempFolder;
namespace fs = std::filesystem;

constexpr std::string_view kOnePoint =
    "point\r\n{\r\n  name = \"Eelde\"\r\n  type = airfield\r\n  lon = E006:34.95\r\n"
    "  lat = N53:07.50\r\n  elev = 5\r\n  frequency = 123.50\r\n}\r\n";

// Hand-written from the layout: title, column header, the Eelde list line, two empty lines.
const std::string kOnePointText =
    "Waypoints hddd\xB0mm.mmm' WGS-84\r\n"
    "      \t                                       \tLatitude    \tLongitude   \t Time    \tSymbol\tAlt\r\n"
    "EELDE\t123.50                           \tN53\xB0" "07.500'\tE006\xB0" "34.950'\t0 \t     0\t 0 \t5\r\n"
    "\r\n\r\n";

const std::string kDefaultSettings =
    "StrePlaFile=\r\nGartripFile=\r\nGartipProgramma=\r\nStreplaProgramma=\r\n"
    "StartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1";

// A program folder of its own: the component library beside the program, as installed.
class SilentRoad : public ::testing::Test {
protected:
    void SetUp() override {
        InstellingenVrijgeven();
        testing::copy_deliverable("libConverttlv.so", folder.path());
        folder.write("week 49.ste", kOnePoint);
    }
    void TearDown() override { InstellingenVrijgeven(); }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "");
        return Main(arguments);
    }

    TempFolder folder;
    FakePlatform platform{folder.path()};
};

TEST_F(SilentRoad, ConvertsIntoTheGivenFileAndCreatesDefaultSettings) {
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitConverted);
    EXPECT_EQ(folder.read("uit.txt"), kOnePointText);
    EXPECT_EQ(folder.read("tolvane.kvr"), kDefaultSettings);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(platform.starts.empty());
    EXPECT_FALSE(folder.exists("error.log"));
}

TEST_F(SilentRoad, UsesTheStoredTextPathWhenOnlyTheExchangeFileIsGiven) {
    folder.write("tolvane.kvr", "GartripFile=" + folder.file("opgeslagen.txt") + "\r\n");
    EXPECT_EQ(run({folder.file("week 49.ste")}), kExitConverted);
    EXPECT_EQ(folder.read("opgeslagen.txt"), kOnePointText);
}

TEST_F(SilentRoad, ExtraArgumentsAreIgnored) {
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt"), folder.file("derde.txt")}),
              kExitConverted);
    EXPECT_TRUE(folder.exists("uit.txt"));
    EXPECT_FALSE(folder.exists("derde.txt"));
}

TEST_F(SilentRoad, StartsGartripQuotedOnlyWhenStartGartripIsExactlyOne) {
    fs::create_directory(folder.file("Mijn programmas"));
    std::string program = folder.file("Mijn programmas/GARtrip");
    testing::write_bytes(program, "");
    for (const char* value : {"2", "0", "1"}) {
        folder.write("tolvane.kvr",
                     "GartipProgramma=" + program + "\r\nStartGartrip=" + value + "\r\n");
        InstellingenVrijgeven();
        EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit met blanco.txt")}),
                  kExitConverted);
    }
    ASSERT_EQ(platform.starts.size(), 1u);
    EXPECT_EQ(platform.starts[0].command,
              "\"" + program + "\" \"" + folder.file("uit met blanco.txt") + "\"");
    EXPECT_EQ(platform.starts[0].style, port::WindowStyle::Hidden);
}

TEST_F(SilentRoad, ErrorTextGivesExitCodeOneAndTheReportsInTheLibraryLog) {
    folder.write("fout.ste", "point\r\n{\r\n  name = \"Assen\"\r\n  lon = E006:33.80\r\n"
                             "  lat = N53:00.00\r\n  elev = \r\n}\r\n");
    EXPECT_EQ(run({folder.file("fout.ste"), folder.file("uit.txt")}), kExitConvertedWithErrors);
    std::string log = folder.read("error.log");
    EXPECT_NE(log.find(" app.Converttlv\r\n"), std::string::npos);
    EXPECT_NE(log.find("Foutmelding:[Gegevenstype klopt niet] in [ClsParse]"), std::string::npos);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(SilentRoad, MissingLibraryIsReportedAsAFailedStart) {
    fs::remove(folder.file("libConverttlv.so"));
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitStartFailed);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              "De volgende fout is opgetreden\r\nDe *.dll kan niet worden geladen");
    EXPECT_EQ(platform.boxes[0].style, 54);
    std::string log = folder.read("error.log");
    EXPECT_NE(log.find("Foutmelding:[De *.dll kan niet worden geladen] in [ModStart]\r\n"),
              std::string::npos);
    EXPECT_NE(log.find("Opgetreden bij het uitvoeren van Main\r\n"
                       "Bij het werken met deze waarde:[Eerste opstartargument=[" +
                       folder.file("week 49.ste") + "] Tweede opstartargument(optioneel)=[" +
                       folder.file("uit.txt") + "]]\r\n"),
              std::string::npos);
    EXPECT_FALSE(folder.exists("uit.txt"));
}

TEST_F(SilentRoad, GartripThatCannotStartIsReported) {
    folder.write("tolvane.kvr", "StartGartrip=1\r\n");
    platform.start_failure = 53;
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitStartFailed);
    EXPECT_EQ(folder.read("uit.txt"), kOnePointText);
    ASSERT_EQ(platform.boxes.size(), 1u);
    // Message 53 carries the value text of the report: here the two start arguments.
    EXPECT_EQ(platform.boxes[0].text,
              "De volgende fout is opgetreden\r\nKan het bestand niet vinden:Eerste "
              "opstartargument=[" + folder.file("week 49.ste") +
                  "] Tweede opstartargument(optioneel)=[" + folder.file("uit.txt") + "]");
}

TEST_F(SilentRoad, WithoutArgumentsOrTextPathTheWindowRoadIsTaken) {
    EXPECT_EQ(run({}), kExitStartFailed);
    EXPECT_EQ(run({folder.file("week 49.ste")}), kExitStartFailed);
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_FALSE(folder.exists("uit.txt"));
}

TEST_F(SilentRoad, SecondCopyEndsAtOnceWithoutEffect) {
    platform.other_copy = true;
    EXPECT_EQ(run({folder.file("week 49.ste"), folder.file("uit.txt")}), kExitOtherCopyRuns);
    EXPECT_FALSE(folder.exists("uit.txt"));
    EXPECT_FALSE(folder.exists("tolvane.kvr"));
    EXPECT_TRUE(platform.boxes.empty());
}

// The installed program itself, run as a user would from a script: silent and byte-exact.
TEST(Program, ConvertsSilentlyFromAFolderWithABlankInItsName) {
    TempFolder folder;
    fs::path program_folder = fs::path(folder.path()) / "Tolvane programma";
    fs::create_directory(program_folder);
    for (const char* file : {"tolvane", "libConverttlv.so"})
        testing::copy_deliverable(file, program_folder.string());
    folder.write("taak.ste", kOnePoint);

    std::string command = "'" + (program_folder / "tolvane").string() + "' '" +
                          folder.file("taak.ste") + "' '" + folder.file("uit.txt") + "' >'" +
                          folder.file("stdout") + "' 2>'" + folder.file("stderr") + "'";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitConverted);
    EXPECT_EQ(folder.read("uit.txt"), kOnePointText);
    EXPECT_EQ(folder.read("stdout"), "");
    EXPECT_EQ(folder.read("stderr"), "");
    EXPECT_EQ(testing::read_bytes((program_folder / "tolvane.kvr").string()), kDefaultSettings);
}

// The single-instance claim on POSIX: held by a running copy, gone with a crashed one,
// and separate for separate folders.
TEST(SingleInstance, RunningCopyBlocksButACrashedOneDoesNot) {
    TempFolder folder;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool other = port::posix::single_instance().another_copy_runs("tolvane", folder.path());
        char answer = other ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'n');
    EXPECT_TRUE(port::posix::single_instance().another_copy_runs("tolvane", folder.path()));
    TempFolder elsewhere;
    EXPECT_FALSE(port::posix::single_instance().another_copy_runs("tolvane", elsewhere.path()));

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(port::posix::single_instance().another_copy_runs("tolvane", folder.path()));
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
}  // namespace tlv::modStart
