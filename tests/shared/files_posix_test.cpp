// The file helpers on a POSIX file system: links, modes, pipes and devices.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>

#include "shared/ModWriteFile.h"
#include "shared/modDirCheck.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::TempFolder;

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
    fs::create_symlink(folder.file("weg"), folder.file("dangling"));
    for (const char* name : {"route.txt", "link.txt", "a*b?.txt"})
        EXPECT_TRUE(DirCheck(folder.file(name))) << name;
    for (const char* name : {".verborgen", "map", "map/", "route.txt/", "dangling", "missing.txt",
                             "*.txt", "route.tx?"})
        EXPECT_FALSE(DirCheck(folder.file(name))) << name;
    EXPECT_FALSE(DirCheck(""));
    EXPECT_FALSE(DirCheck(folder.file("route.txt") + std::string(1, '\0')));
}

TEST_F(FileHelpers, SchrijfBestandReplacesByteForByteKeepingTheMode) {
    folder.write("punten.txt", "an old and much longer text\r\n");
    fs::permissions(folder.file("punten.txt"), fs::perms::owner_read | fs::perms::owner_write);
    const std::string text("N\xB0 1\r\nlast line without end\0", 28);
    EXPECT_EQ(SchrijfBestand(folder.file("punten.txt"), text), "");
    EXPECT_EQ(folder.read("punten.txt"), text);
    EXPECT_EQ(fs::status(folder.file("punten.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    mode_t mask = ::umask(027);
    EXPECT_EQ(SchrijfBestand(folder.file("nieuw.txt"), ""), "");
    ::umask(mask);
    EXPECT_EQ(fs::status(folder.file("nieuw.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries_in(folder.path()), 2u);
}

TEST_F(FileHelpers, MissingFolderIsFailure76WithoutBox) {
    const std::string path = folder.file("weg/punten.txt");
    EXPECT_EQ(SchrijfBestand(path, "x"), "Kan het pad niet vinden " + path);
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("] in [ModWriteFile]\r\nTechnische fout [No such file or directory]"));
}

// Only a regular file is ever replaced: not a folder, a pipe, a device node
// or a link to one of them.  A NUL in the name is no file at all.
TEST_F(FileHelpers, TargetThatIsNoRegularFileIsRefusedWith75AndLeftAlone) {
    fs::create_directory(folder.file("map"));
    ASSERT_EQ(::mkfifo(folder.file("pijp").c_str(), 0600), 0);
    fs::create_symlink(folder.file("pijp"), folder.file("link naar pijp"));
    std::vector<std::string> names = {"map", "pijp", "link naar pijp"};
    if (::mknod(folder.file("apparaat").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        names.push_back("apparaat");
    for (const std::string& name : names) {
        EXPECT_EQ(SchrijfBestand(folder.file(name), "x"),
                  "Het pad of bestand kan niet benadert worden " + folder.file(name));
        EXPECT_FALSE(fs::is_regular_file(folder.file(name))) << name;
    }
    const std::string with_nul = folder.file("a") + std::string(1, '\0') + "b";
    EXPECT_EQ(SchrijfBestand(with_nul, "x"),
              "Het pad of bestand kan niet benadert worden " + with_nul);
    EXPECT_FALSE(folder.exists("a"));
}

TEST_F(FileHelpers, FailedWriteLeavesTheOldFileIntact) {
    TempFolder target;
    target.write("punten.txt", "old");
    const std::string path = target.file("punten.txt");
    platform.files.fail_writes(path, 61, 1);
    EXPECT_EQ(SchrijfBestand(path, "new"), "De schijf is vol");
    EXPECT_EQ(target.read("punten.txt"), "old");

    for (const std::string& locked : {target.path(), path}) {
        if (!testing::set_immutable(locked, true)) GTEST_SKIP() << "no immutable flag here";
        EXPECT_EQ(SchrijfBestand(path, "new"), "Geen toegang");
        testing::set_immutable(locked, false);
        EXPECT_EQ(target.read("punten.txt"), "old");
        EXPECT_EQ(entries_in(target.path()), 1u);
    }
}

}  // namespace
}  // namespace tlv
