#include <gtest/gtest.h>
#include <filesystem>

#include "shared/Converteren.h"
#include "shared/ModWriteFile.h"
#include "shared/failure.h"
#include "shared/modDirCheck.h"
#include "tests/support/failure_of.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::TempFolder;

using testing::failure_of;

size_t entries_in(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileHelpers : public ::testing::Test {
protected:
    TempFolder folder;
    FakePlatform platform{folder.path()};
};

TEST_F(FileHelpers, DirCheckIsTrueOnlyForVisibleOrdinaryFiles) {
    folder.write("route.txt", "");
    folder.write(".verborgen", "x");
    folder.write("a*b?.txt", "x");
    fs::create_directory(folder.file("map"));
    fs::create_symlink(folder.file("route.txt"), folder.file("link.txt"));
    fs::create_symlink(folder.file("map"), folder.file("maplink"));
    fs::create_symlink(folder.file("weg"), folder.file("dangling"));

    EXPECT_TRUE(DirCheck(folder.file("route.txt")));
    EXPECT_TRUE(DirCheck(folder.file("link.txt")));
    EXPECT_TRUE(DirCheck(folder.file("a*b?.txt")));

    EXPECT_FALSE(DirCheck(folder.file(".verborgen")));
    EXPECT_FALSE(DirCheck(folder.file("map")));
    EXPECT_FALSE(DirCheck(folder.file("map/")));
    EXPECT_FALSE(DirCheck(folder.file("route.txt/")));
    EXPECT_FALSE(DirCheck(folder.file("maplink")));
    EXPECT_FALSE(DirCheck(folder.file("dangling")));
    EXPECT_FALSE(DirCheck(folder.file("missing.txt")));
    EXPECT_FALSE(DirCheck(folder.file("route.txt/x")));
    EXPECT_FALSE(DirCheck(folder.file("*.txt")));
    EXPECT_FALSE(DirCheck(folder.file("route.tx?")));
    EXPECT_FALSE(DirCheck(""));
    EXPECT_FALSE(DirCheck(folder.file("route.txt") + std::string(1, '\0')));
}

TEST_F(FileHelpers, SchrijfBestandReplacesTheFileByteForByte) {
    folder.write("punten.txt", "an old and much longer text\r\n");
    const std::string text("N\xB0 1\r\nlast line without end\0", 28);
    EXPECT_EQ(SchrijfBestand(folder.file("punten.txt"), text), "");
    EXPECT_EQ(folder.read("punten.txt"), text);
    EXPECT_EQ(SchrijfBestand(folder.file("nieuw.txt"), ""), "");
    EXPECT_EQ(folder.read("nieuw.txt"), "");
    EXPECT_EQ(entries_in(folder.path()), 2u);
    EXPECT_FALSE(folder.exists("error.log"));
}

TEST_F(FileHelpers, MissingFolderIsFailure76WithoutBox) {
    const std::string path = folder.file("weg/punten.txt");
    EXPECT_EQ(SchrijfBestand(path, "x"), "Kan het pad niet vinden " + path);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(folder.read("error.log"),
              "\r\nNieuwe Fout[76]6-12-2026 09:05:07 app.tolvane\r\n"
              "Foutmelding:[Kan het pad niet vinden " + path + "] in [ModWriteFile]\r\n"
              "Technische fout [No such file or directory]\r\n"
              "Opgetreden bij het uitvoeren van SchrijfBestand\r\n"
              "Bij het werken met deze waarde:[" + path + "]\r\n");
}

TEST_F(FileHelpers, FailedWriteLeavesTheOldFileIntact) {
    TempFolder target;
    target.write("punten.txt", "old");
    const std::string path = target.file("punten.txt");
    if (!testing::set_immutable(target.path(), true)) GTEST_SKIP() << "no immutable flag here";
    EXPECT_EQ(SchrijfBestand(path, "new"), "Geen toegang");
    testing::set_immutable(target.path(), false);
    EXPECT_EQ(target.read("punten.txt"), "old");
    EXPECT_EQ(entries_in(target.path()), 1u);

    ASSERT_TRUE(testing::set_immutable(path, true));
    EXPECT_EQ(SchrijfBestand(path, "new"), "Geen toegang");
    testing::set_immutable(path, false);
    EXPECT_EQ(target.read("punten.txt"), "old");
    EXPECT_EQ(entries_in(target.path()), 1u);

    platform.fail_writes(path, 61);
    EXPECT_EQ(SchrijfBestand(path, "new"), "De schijf is vol");
    EXPECT_EQ(target.read("punten.txt"), "old");
}

TEST_F(FileHelpers, OtherWriteFailuresAre75) {
    fs::create_directory(folder.file("map"));
    EXPECT_EQ(SchrijfBestand(folder.file("map"), "x"),
              "Het pad of bestand kan niet benadert worden " + folder.file("map"));
    const std::string with_nul = folder.file("a") + std::string(1, '\0') + "b";
    EXPECT_EQ(SchrijfBestand(with_nul, "x"),
              "Het pad of bestand kan niet benadert worden " + with_nul);
    EXPECT_FALSE(folder.exists("a"));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST(SplitJoin, FieldsAndRoundTrips) {
    EXPECT_EQ(Splitsen(""), (std::vector<std::string>{""}));
    EXPECT_EQ(Splitsen("abc"), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Splitsen("*"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Splitsen(" a **b* "), (std::vector<std::string>{" a ", "", "b", " "}));
    for (std::string_view text :
         {"", "*", "**", "a*b*c", "*lead", "trail*", " x * y ", "\xB0*\xFF"})
        EXPECT_EQ(Samenvoegen(Splitsen(text)), text);
    EXPECT_EQ(Samenvoegen({}), "");
    EXPECT_EQ(Samenvoegen({"a", "", "c"}), "a**c");
}

TEST(SplitJoin, SixteenBitLimits) {
    std::string stars(32766, '*');
    EXPECT_EQ(Splitsen(stars).size(), 32767u);
    EXPECT_EQ(failure_of([] { Splitsen(std::string(32767, 'a')); }), 6);
    EXPECT_EQ(Samenvoegen(std::vector<std::string>(32767)), stars);
    EXPECT_EQ(failure_of([] { Samenvoegen(std::vector<std::string>(32768)); }), 6);
}

}  // namespace
}  // namespace tlv
