// The POSIX adapter of the platform port, and the file helpers on a POSIX
// file system (links, modes, pipes and devices, folders other users share).
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "shared/ModWriteFile.h"
#include "shared/modDirCheck.h"
#include "tests/support/failure_of.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv::port {
namespace {

namespace fs = std::filesystem;
using testing::failure_of;
using testing::TempFolder;

// Runs `setup` in a child process, which hands its one-byte answer back and then runs `serve` (by
// default it waits to be killed); returns the child's id and its answer.
std::pair<pid_t, char> in_child(
    const std::function<char()>& setup, const std::function<void()>& serve = [] { ::pause(); }) {
    int ready[2];
    if (::pipe(ready) != 0) return {-1, 0};
    pid_t child = ::fork();
    if (child == 0) {
        char answer = setup();
        (void)!::write(ready[1], &answer, 1);
        serve();
        ::_exit(0);
    }
    char answer = 0;
    (void)!::read(ready[0], &answer, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return {child, answer};
}

// Becomes the user nobody (the tests run as root in CI); false when it could not.
bool become_nobody() {
    return ::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0;
}

// Gives a file (a link itself, not its target) to the user nobody; false when this user may not,
// and the test should then skip that case.
bool give_to_nobody(const std::string& path) { return ::lchown(path.c_str(), 65534, 65534) == 0; }

// A script that writes its arguments, one a line, into <its own path>.args
// once it has finished, so the test can wait for them.
void write_recorder(const TempFolder& folder, const std::string& name) {
    folder.write(name,
                 "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.args\"\n");
    fs::permissions(folder.file(name), fs::perms::owner_all);
}

void start(const std::string& program, const std::vector<std::string>& arguments = {}) {
    native::programs().start(program, arguments, WindowStyle::Hidden);
}

// Arguments arrive exactly as given, double quotes and blanks included; a
// missing or unrunnable program is a failure.  A name without a folder is the
// file in the current folder that the file test approved, never a program of
// that name on the search path.  A Windows executable starts through wine.
TEST(ProgramStart, StartsTheGivenFileDetachedWithItsArgumentsAsGiven) {
    TempFolder folder;
    write_recorder(folder, "opnemen");
    start(folder.file("opnemen"), {folder.file("uit 1"), "met \"aanhalingstekens\""});
    EXPECT_EQ(folder.read_when_made("opnemen.args"),
              folder.file("uit 1") + "\nmet \"aanhalingstekens\"\n");
    folder.write("geen programma", "");
    EXPECT_EQ(failure_of([&] { start(folder.file("weg")); }), 53);
    EXPECT_EQ(failure_of([&] { start(folder.file("geen programma")); }), 70);
    EXPECT_EQ(failure_of([] { start(""); }), 53);
    write_recorder(folder, "true");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    start("true", {"uit"});
    EXPECT_EQ(failure_of([] { start("ls"); }), 53);
    fs::current_path(previous);
    EXPECT_EQ(folder.read_when_made("true.args"), "uit\n");
    // A Windows executable starts through wine, with paths in wine's drive form.
    fs::create_directory(folder.file("bin"));
    folder.write("GARtrip.exe", "MZ\x90");
    const char* search = std::getenv("PATH");
    std::string saved = search ? search : "";
    ::setenv("PATH", folder.file("bin").c_str(), 1);
    EXPECT_EQ(failure_of([&] { start(folder.file("GARtrip.exe")); }), 53);  // no wine
    ::setenv("PATH", (folder.file("bin") + ":/usr/bin:/bin").c_str(), 1);
    write_recorder(folder, "bin/wine");
    start(folder.file("GARtrip.exe"), {folder.file("taak 1.txt"), "stil"});
    ::setenv("PATH", saved.c_str(), 1);
    auto drive_form = [](std::string path) {
        std::ranges::replace(path, '/', '\\');
        return "Z:" + path;
    };
    EXPECT_EQ(folder.read_when_made("bin/wine.args"),
              drive_form(folder.file("GARtrip.exe")) + "\n" +
                  drive_form(folder.file("taak 1.txt")) + "\nstil\n");
}

// Settings live beside the program where the user may write and it is no
// system installation; otherwise in the user's configuration folder.
TEST(SettingsFolder, ProgramFolderOrTheUsersConfigurationFolder) {
    TempFolder folder;
    EXPECT_EQ(native::settings_folder_for(folder.path()), "");
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
    EXPECT_EQ(native::settings_folder_for("/usr/lib/tolvane"), folder.file("config/tolvane"));
    EXPECT_TRUE(fs::is_directory(folder.file("config/tolvane")));
    fs::create_directory(folder.file("alleen lezen"));
    if (testing::set_immutable(folder.file("alleen lezen"), true)) {
        EXPECT_EQ(native::settings_folder_for(folder.file("alleen lezen")),
                  folder.file("config/tolvane"));
        testing::set_immutable(folder.file("alleen lezen"), false);
    }
    saved ? ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

// A writer killed half-way (here by the file-size limit's signal) leaves the
// old file as it was and no temporary file beside it.
TEST(FileReplace, KilledWriterLeavesNoTemporaryFile) {
    TempFolder folder;
    folder.write("uit.txt", "oud");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        native::file_system().replace(folder.file("uit.txt"), std::string(1 << 20, 'x'));
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(folder.read("uit.txt"), "oud");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"uit.txt"});
}

// The socket beside this user's claim of `folder`, where a second start asks the running copy to
// show itself.
std::string show_channel(const std::string& folder) {
    const passwd* user = ::getpwuid(::geteuid());
    std::string claims =
        std::string(user->pw_dir) + "/.cache/tolvane-" + std::to_string(::geteuid());
    if (!fs::is_directory(claims)) claims = "/tmp/tolvane-" + std::to_string(::geteuid());
    return claims + "/" + native::instance_name(::geteuid(), "tolvane", folder) + ".sock";
}

// A connection to the channel as a client makes it, never waiting; -1 when refused.
int connect_to(const std::string& channel) {
    sockaddr_un address{AF_UNIX, {}};
    std::ranges::copy(channel, address.sun_path);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

bool send_to_channel(const std::string& channel, std::string_view bytes) {
    int fd = connect_to(channel);
    if (fd >= 0) (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ::close(fd);
    return fd >= 0;
}

// The claims live only in a folder of the user's own that nobody else can use: a missing one is
// made so; one open to others, a link, or another user's folder is refused.
TEST(SingleInstance, ClaimFolderIsTheUsersAlone) {
    TempFolder folder;
    const std::string claims = folder.file("claims");
    EXPECT_TRUE(native::private_folder(claims));
    EXPECT_EQ(fs::status(claims).permissions(), fs::perms::owner_all);
    for (auto open : {fs::perms::group_read, fs::perms::others_exec}) {
        fs::permissions(claims, fs::perms::owner_all | open);
        EXPECT_FALSE(native::private_folder(claims)) << static_cast<int>(open);
    }
    fs::permissions(claims, fs::perms::owner_all);
    fs::create_directory_symlink(claims, folder.file("link"));
    EXPECT_FALSE(native::private_folder(folder.file("link")));
    if (give_to_nobody(claims)) {
        EXPECT_FALSE(native::private_folder(claims));
    }
}

// The claim: held by a running copy whatever its environment, separate for separate folders, gone
// with a crashed copy.  Its channel takes only the one show request of the same user: garbage and a
// silent connection are closed without effect; another user cannot reach it.
TEST(SingleInstance, RunningCopyHoldsTheClaimWithAShowChannel) {
    TempFolder folder;
    int shows[2];
    ASSERT_EQ(pipe(shows), 0);
    SingleInstance& claim = native::single_instance();
    auto [holder, answer] = in_child(
        [&] {
            ::setenv("TMPDIR", folder.path().c_str(), 1);
            ::setenv("HOME", folder.path().c_str(), 1);
            return claim.another_copy_runs("tolvane", folder.path()) ? 'y' : 'n';
        },
        [&] {
            for (pollfd event{claim.request_handle(), POLLIN, 0};; event.revents = 0)
                if (::poll(&event, 1, 10000) <= 0)
                    _exit(1);
                else if (claim.take_show_request())
                    (void)!write(shows[1], "S", 1);
        });
    close(shows[1]);
    EXPECT_EQ(answer, 'n');
    EXPECT_FALSE(native::single_instance().another_copy_runs("tolvane", folder.file("elders")));
    EXPECT_TRUE(fs::is_empty(folder.path()));

    const std::string channel = show_channel(folder.path());
    for (const std::string& garbage :
         {std::string("HALLO\n"), std::string("TONEN"), std::string("TONEN\nTONEN\n"),
          std::string("\0TONEN\n", 7), std::string(4200, 'T'), std::string()})
        EXPECT_TRUE(send_to_channel(channel, garbage));
    if (::getuid() == 0) {
        auto [stranger, reached] = in_child(
            [&] { return become_nobody() && send_to_channel(channel, "TONEN\n") ? 'y' : 'n'; });
        EXPECT_EQ(reached, 'n');
        ::kill(stranger, SIGKILL), ::waitpid(stranger, nullptr, 0);
    }
    EXPECT_TRUE(native::single_instance().another_copy_runs("tolvane", folder.path()));
    EXPECT_TRUE(native::single_instance().ask_to_show());
    char taken[8] = {};
    EXPECT_EQ(read(shows[0], taken, 1), 1);
    EXPECT_EQ(taken[0], 'S');

    ::kill(holder, SIGKILL), ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(read(shows[0], taken, sizeof taken), 0);  // the one request, nothing else
    close(shows[0]);
    EXPECT_FALSE(native::single_instance().another_copy_runs("tolvane", folder.path()));
}

// Thirty starts at once: exactly one runs.  A holder that never takes its requests (a silent
// conversion), its queue full, still counts, and a second start is not held up by it.
TEST(SingleInstance, BurstOfStartsLeavesOneCopy) {
    TempFolder folder;
    int answers[2];
    ASSERT_EQ(pipe(answers), 0);
    std::vector<pid_t> starts(30);
    for (pid_t& start : starts)
        if ((start = fork()) == 0) {
            char runs =
                native::single_instance().another_copy_runs("tolvane", folder.path()) ? 'y' : 'n';
            (void)!write(answers[1], &runs, 1);
            ::pause();
        }
    std::string said(starts.size(), ' ');
    for (char& answer : said) EXPECT_EQ(read(answers[0], &answer, 1), 1);
    EXPECT_EQ(std::ranges::count(said, 'n'), 1) << said;
    for (int silent = 0; silent < 40; ++silent) connect_to(show_channel(folder.path()));
    EXPECT_TRUE(native::single_instance().another_copy_runs("tolvane", folder.path()));
    EXPECT_FALSE(native::single_instance().ask_to_show());
    for (pid_t child : starts) ::kill(child, SIGKILL), ::waitpid(child, nullptr, 0);
}

using FileHelpers = testing::InFolder;

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
    EXPECT_FALSE(DirCheck("") || DirCheck(folder.file("route.txt") + std::string(1, '\0')));
}

TEST_F(FileHelpers, SchrijfBestandReplacesByteForByteInAnExistingFolder) {
    folder.write("punten.txt", "an old and much longer text\r\n");
    const std::string text("N\xB0 1\r\nlast line without end\0", 28);
    EXPECT_EQ(SchrijfBestand(folder.file("punten.txt"), text), "");
    EXPECT_EQ(folder.read("punten.txt"), text);
    const std::string path = folder.file("weg/punten.txt");  // no folder: 76, no box
    EXPECT_EQ(SchrijfBestand(path, "x"), "Kan het pad niet vinden " + path);
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("] in [ModWriteFile]\r\nTechnische fout [No such file or directory]"));
}

// Only a regular file is ever replaced or read (a pipe refused at once, a file only within its
// bound): no folder, pipe, device or link to one.  A NUL in the name is no file at all.
TEST_F(FileHelpers, TargetThatIsNoRegularFileIsRefusedWith75) {
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
    folder.write("uit.txt", "12345");
    for (auto [name, most] : {std::pair("pijp", 9), {"link naar pijp", 9}, {"uit.txt", 4}})
        EXPECT_EQ(failure_of([&] { native::file_system().read_all(folder.file(name), most); }), 75);
    EXPECT_EQ(native::file_system().read_all(folder.file("uit.txt"), 5), "12345");
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
        EXPECT_EQ(std::tuple(target.read("punten.txt"), target.entries()), std::tuple("old", 1u));
    }
}

// In a sticky folder that everybody may write (as /tmp), another user's link is not followed, as
// the file or on the way to it, for the text file or the log: nothing behind it changes, and the
// report the log could not take goes to standard error.  The user's own link is followed.
TEST_F(FileHelpers, AnotherUsersLinkIsNotFollowedTheUsersOwnIs) {
    testing::TempFolder elsewhere;
    elsewhere.write("geheim.txt", "van root\n");
    fs::permissions(folder.path(), fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(elsewhere.file("geheim.txt"), folder.file("uit.txt"));
    fs::create_symlink(elsewhere.path(), folder.file("map"));
    fs::create_symlink(elsewhere.file("geheim.txt"), folder.file("error.log"));
    fs::create_symlink(elsewhere.file("eigen.txt"), folder.file("eigen.txt"));
    for (const char* name : {"uit.txt", "map", "error.log"})
        if (!give_to_nobody(folder.file(name))) GTEST_SKIP() << "not root: no link of another user";
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

// The new file takes the old one's permission bits only when the old file was the user's own, and
// never set-user-id, set-group-id or sticky; without one it gets the mode the process's mask gives.
// A read-only file is refused and kept.
TEST_F(FileHelpers, ModeIsTakenOnlyFromTheUsersOwnWritableFile) {
    const mode_t mask = ::umask(027);
    // The old file's mode (0: none), whether nobody owns it, the new file's mode (0: refused).
    for (auto [before, nobodys, after] : {std::tuple(04755, false, 0755),
                                          {0600, false, 0600},
                                          {0, false, 0640},
                                          {06777, true, 0640},
                                          {0444, false, 0},
                                          {0444, true, 0}}) {
        if (before) folder.write("uit.txt", "oud");
        if (nobodys && !give_to_nobody(folder.file("uit.txt"))) continue;
        ::chmod(folder.file("uit.txt").c_str(), before);  // after chown: it drops special bits
        EXPECT_EQ(SchrijfBestand(folder.file("uit.txt"), "nieuw"), after ? "" : "Geen toegang");
        EXPECT_EQ(folder.read("uit.txt"), after ? "nieuw" : "oud") << std::oct << before;
        EXPECT_EQ(fs::status(folder.file("uit.txt")).permissions(),
                  fs::perms(after ? after : before))
            << std::oct << before;
        fs::remove(folder.file("uit.txt"));
    }
    ::umask(mask);
}

// The names another user could prepare do not stop a write; a writer that died before its rename
// leaves a file that the next write into the folder removes, while those of running writers and of
// other users stay.
TEST_F(FileHelpers, TemporaryNamesOfOthersOrTheDeadStopNothing) {
    const std::string ours = ".tolvane-" + std::to_string(::getpid()) + "-";
    for (int counter = 0; counter < 100; ++counter)
        folder.write(ours + std::to_string(counter), "");
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string leftover = ".tolvane-" + std::to_string(dead) + "-0123456789abcdef";
    const std::string others = ".tolvane-" + std::to_string(dead) + "-fedcba9876543210";
    for (const std::string& name : {leftover, others}) folder.write(name, "half");
    const bool as_root = give_to_nobody(folder.file(others));
    EXPECT_EQ(SchrijfBestand(folder.file("uit.txt"), "x"), "");
    EXPECT_EQ(folder.read("uit.txt"), "x");
    EXPECT_FALSE(folder.exists(leftover));
    EXPECT_TRUE(folder.exists(ours + "0") && folder.exists(ours + "99"));
    EXPECT_EQ(folder.exists(others), as_root);
}

}  // namespace
}  // namespace tlv::port
