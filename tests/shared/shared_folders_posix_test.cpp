// Files in folders that other users share: their links, their files' modes,
// names they could prepare, leftovers, and files that are no plain text.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "shared/ClsError.h"
#include "shared/ModWriteFile.h"
#include "tests/support/failure_of.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

namespace fs = std::filesystem;
using testing::failure_of;
using ::testing::HasSubstr;

constexpr uid_t kNobody = 65534;

class SharedFolder : public testing::InFolder {
protected:
    // Gives a file (a link itself, not its target) to the user nobody; false
    // when this user may not, and the test should then skip.
    bool give_to_nobody(const std::string& name) const {
        return ::lchown(folder.file(name).c_str(), kNobody, kNobody) == 0;
    }
    mode_t mode_of(const std::string& name) const {
        struct stat info {};
        ::stat(folder.file(name).c_str(), &info);
        return info.st_mode & 07777;
    }
};

// In a sticky folder that everybody may write (as /tmp), another user's link
// is not followed, neither as the file nor on the way to it, for the text
// file or for the log: nothing behind it changes, and the report that the
// log could not take goes to standard error.  The user's own link is followed.
TEST_F(SharedFolder, AnotherUsersLinkIsNotFollowedTheUsersOwnIs) {
    testing::TempFolder elsewhere;
    elsewhere.write("geheim.txt", "van root\n");
    fs::permissions(folder.path(), fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(elsewhere.file("geheim.txt"), folder.file("uit.txt"));
    fs::create_symlink(elsewhere.path(), folder.file("map"));
    fs::create_symlink(elsewhere.file("geheim.txt"), folder.file("error.log"));
    fs::create_symlink(elsewhere.file("eigen.txt"), folder.file("eigen.txt"));
    if (!give_to_nobody("uit.txt") || !give_to_nobody("map") || !give_to_nobody("error.log"))
        GTEST_SKIP() << "not root: no link of another user can be made here";
    for (const char* name : {"uit.txt", "map/geheim.txt"}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(SchrijfBestand(folder.file(name), "x"), "Geen toegang") << name;
        EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                    HasSubstr("Technische fout [Link of another user in a shared folder, not "
                              "followed]\r\nOpgetreden bij het uitvoeren van SchrijfBestand"));
    }
    EXPECT_EQ(elsewhere.read("geheim.txt"), "van root\n");
    EXPECT_TRUE(fs::is_symlink(folder.file("uit.txt")));
    EXPECT_EQ(SchrijfBestand(folder.file("eigen.txt"), "eigen"), "");
    EXPECT_EQ(elsewhere.read("eigen.txt"), "eigen");
}

// The new file takes the old one's permission bits only when the old file
// was the user's own, and never set-user-id, set-group-id or sticky; a
// read-only file is refused and kept.
TEST_F(SharedFolder, ModeOnlyFromTheUsersOwnFileAndReadOnlyRefused) {
    struct Case {
        mode_t before;
        bool nobodys;
        mode_t after;  // 0: refused
    };
    const mode_t mask = ::umask(022);
    for (const Case& c : {Case{04755, false, 0755}, Case{0640, false, 0640},
                          Case{06777, true, 0644}, Case{0444, false, 0}}) {
        folder.write("uit.txt", "oud");
        ::chmod(folder.file("uit.txt").c_str(), c.before);
        if (c.nobodys && !give_to_nobody("uit.txt")) continue;
        ::chmod(folder.file("uit.txt").c_str(), c.before);  // chown dropped the special bits
        EXPECT_EQ(SchrijfBestand(folder.file("uit.txt"), "nieuw"), c.after ? "" : "Geen toegang");
        EXPECT_EQ(folder.read("uit.txt"), c.after ? "nieuw" : "oud") << std::oct << c.before;
        EXPECT_EQ(mode_of("uit.txt"), c.after ? c.after : c.before) << std::oct << c.before;
        fs::remove(folder.file("uit.txt"));
    }
    ::umask(mask);
}

// The names another user could prepare do not stop a write; a writer that
// died before its rename leaves a file that the next write into the folder
// removes, while those of running writers and of other users stay.
TEST_F(SharedFolder, PreparedNamesStopNothingAndDeadWritersLeftoversGo) {
    const std::string ours = ".tolvane-" + std::to_string(::getpid()) + "-";
    for (int counter = 0; counter < 100; ++counter) folder.write(ours + std::to_string(counter), "");
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string leftover = ".tolvane-" + std::to_string(dead) + "-0123456789abcdef";
    const std::string others = ".tolvane-" + std::to_string(dead) + "-fedcba9876543210";
    folder.write(leftover, "half");
    folder.write(others, "half");
    const bool as_root = give_to_nobody(others);
    EXPECT_EQ(SchrijfBestand(folder.file("uit.txt"), "x"), "");
    EXPECT_EQ(folder.read("uit.txt"), "x");
    EXPECT_FALSE(folder.exists(leftover));
    EXPECT_TRUE(folder.exists(ours + "0") && folder.exists(ours + "99"));
    EXPECT_EQ(folder.exists(others), as_root);
}

// Only a regular file is read, and only up to the bound; a pipe is refused
// at once, not waited on.
TEST_F(SharedFolder, ReadsOnlyRegularFilesWithinTheirBound) {
    port::FileSystem& files = port::files();
    folder.write("vijf.txt", "12345");
    ASSERT_EQ(::mkfifo(folder.file("pijp").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder.file("nullen"));
    EXPECT_EQ(files.read_all(folder.file("vijf.txt"), 5), "12345");
    for (auto [name, most] : {std::pair("vijf.txt", 4), {"pijp", 100}, {"nullen", 100}})
        EXPECT_EQ(failure_of([&] { files.read_all(folder.file(name), most); }), 75) << name;
}

}  // namespace
}  // namespace tlv
