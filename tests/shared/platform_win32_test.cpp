// The Win32 adapter of the platform port, run under wine or on Windows.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <shellapi.h>

#include <filesystem>

#include "shared/platform/native.h"
#include "tests/support/failure_of.h"
#include "tests/support/temp_folder.h"

namespace tlv::port {
namespace {

namespace fs = std::filesystem;
using testing::failure_of;
using testing::TempFolder;

std::vector<std::wstring> split(const std::wstring& line) {
    int count = 0;
    wchar_t** parts = ::CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> result(parts, parts + count);
    ::LocalFree(parts);
    return result;
}

// The system's own splitting gives back every argument as it was.
TEST(CommandLine, SplitsBackIntoTheSameArguments) {
    const std::vector<std::wstring> arguments = {L"C:\\Mijn taken\\week 49.ste",
                                                 L"",
                                                 L"met \"aanhalingstekens\"",
                                                 L"map met blanco\\",
                                                 L"eind\\",
                                                 L"a\\\\\"b",
                                                 L"\t",
                                                 L"gewoon",
                                                 L"\\\\server\\deel\\x.txt"};
    const std::wstring line = win32::command_line(L"C:\\GARtrip\\GARtrip.exe", arguments);
    std::vector<std::wstring> expected{L"C:\\GARtrip\\GARtrip.exe"};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(split(line), expected);
    EXPECT_EQ(win32::command_line(L"a.exe", {L"gewoon", L"x y"}), L"a.exe gewoon \"x y\"");
}

void start(const std::string& program, const std::vector<std::string>& arguments = {}) {
    native::programs().start(program, arguments, WindowStyle::Hidden);
}

// Arguments arrive exactly as given; a missing program or a file that is no
// program is a failure; a name without a folder is never searched for.
TEST(ProgramStart, StartsTheGivenFileWithArgumentsAsGiven) {
    TempFolder folder;
    fs::copy_file(fs::path(TOLVANE_BIN_DIR).parent_path() / "tests" / "record_arguments.exe",
                  folder.file("opnemen.exe"));
    start(folder.file("opnemen.exe"), {folder.file("uit 1"), "met \"aanhalingstekens\"", "eind\\"});
    EXPECT_EQ(folder.read_when_made("opnemen.exe.args"),
              folder.file("uit 1") + "\nmet \"aanhalingstekens\"\neind\\\n");
    folder.write("geen programma.exe", "geen");
    EXPECT_EQ(failure_of([&] { start(folder.file("weg.exe")); }), 53);
    EXPECT_EQ(failure_of([&] { start(folder.file("geen programma.exe")); }), 70);
    EXPECT_EQ(failure_of([] { start(""); }), 53);
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    EXPECT_EQ(failure_of([] { start("cmd.exe"); }), 53);
    fs::current_path(previous);
}

TEST(Win32Files, PlainFileIsAVisibleOrdinaryFileOrAPatternMatchingOne) {
    TempFolder folder;
    for (const char* name : {"route.txt", "verborgen.txt", "systeem.txt"}) folder.write(name, "x");
    ::SetFileAttributesW(fs::path(folder.file("verborgen.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(fs::path(folder.file("systeem.txt")).c_str(), FILE_ATTRIBUTE_SYSTEM);
    fs::create_directory(folder.file("map"));
    FileSystem& files = native::file_system();
    for (const char* name : {"route.txt", "rou*.txt", "r?ute.txt"})
        EXPECT_TRUE(files.is_plain_file(folder.file(name))) << name;
    for (const char* name :
         {"verborgen.txt", "systeem.txt", "verb*.txt", "map", "map\\", "route.txt\\", "weg.txt"})
        EXPECT_FALSE(files.is_plain_file(folder.file(name))) << name;
}

// The old file stays on failure; temporary files of dead writers go at the
// next write into the folder, a running writer's stay.
TEST(Win32Files, ReplaceReadAndAppendWithTheirFailureNumbers) {
    TempFolder folder;
    FileSystem& files = native::file_system();
    const std::string running = ".tolvane-" + std::to_string(::GetCurrentProcessId()) + "-77";
    folder.write("uit.txt", "oud");
    folder.write(".tolvane-4000000-0", "half");
    folder.write(running, "bezig");
    files.replace(folder.file("uit.txt"), std::string("nieuw\0\r\n", 8));
    EXPECT_EQ(folder.read("uit.txt"), std::string("nieuw\0\r\n", 8));
    EXPECT_TRUE(!folder.exists(".tolvane-4000000-0") && folder.exists(running));
    files.append(folder.file("uit.txt"), "erbij");
    EXPECT_EQ(files.read_all(folder.file("uit.txt"), 100), std::string("nieuw\0\r\nerbij", 13));
    EXPECT_EQ(files.file_size(folder.file("uit.txt")), 13u);

    ASSERT_TRUE(testing::set_immutable(folder.file("uit.txt"), true));
    EXPECT_EQ(failure_of([&] { files.replace(folder.file("uit.txt"), "x"); }), 70);
    testing::set_immutable(folder.file("uit.txt"), false);
    EXPECT_EQ(folder.read("uit.txt"), std::string("nieuw\0\r\nerbij", 13));
    EXPECT_EQ(folder.entries(), 2u);

    fs::create_directory(folder.file("map"));
    EXPECT_EQ(failure_of([&] { files.replace(folder.file("map"), "x"); }), 75);
    EXPECT_EQ(failure_of([&] { files.read_all(folder.file("map"), 100); }), 75);
    EXPECT_EQ(failure_of([&] { files.read_all(folder.file("weg.txt"), 100); }), 53);
    EXPECT_EQ(failure_of([&] { files.replace(folder.file("weg\\uit.txt"), "x"); }), 76);
    EXPECT_EQ(failure_of([&] { files.append(folder.file("weg.txt"), "x"); }), 53);
    EXPECT_EQ(files.last_modified(folder.file("weg.txt")), std::nullopt);
}

// File times are local time: the same clock the system clock reads.
TEST(Win32Files, LastModifiedIsLocalTimeToTheSecond) {
    TempFolder folder;
    const DateTime before = native::system_clock().now();
    folder.write("nu.txt", "x");
    const std::optional<DateTime> modified =
        native::file_system().last_modified(folder.file("nu.txt"));
    const DateTime after = native::system_clock().now();
    ASSERT_TRUE(modified);
    EXPECT_LE(before, *modified);
    EXPECT_LE(*modified, after);
}

TEST(SettingsFolder, ProgramFolderOrTheUsersApplicationData) {
    TempFolder folder;
    EXPECT_EQ(native::settings_folder_for(folder.path()), "");
    const std::string appdata = fs::path(_wgetenv(L"APPDATA")).string() + "\\tolvane";
    EXPECT_EQ(native::settings_folder_for(folder.file("weg")), appdata);
    EXPECT_TRUE(fs::is_directory(appdata));
    _wputenv_s(L"ProgramFiles", win32::wide(folder.path()).c_str());  // an installation
    EXPECT_EQ(native::settings_folder_for(folder.file("TolVANE")), appdata);
}

// The claim is per folder; a second start finds it and its show request reaches the holder once.
TEST(SingleInstance, RunningCopyHoldsTheClaimWithAShowRequest) {
    TempFolder folder;
    SingleInstance& claim = native::single_instance();
    EXPECT_FALSE(claim.another_copy_runs("tolvane", folder.path()) || claim.take_show_request());
    EXPECT_TRUE(claim.another_copy_runs("tolvane", folder.path()) && claim.ask_to_show());
    EXPECT_EQ(::WaitForSingleObject(reinterpret_cast<HANDLE>(intptr_t{claim.request_handle()}), 0),
              WAIT_OBJECT_0);
    EXPECT_TRUE(claim.take_show_request());
    EXPECT_FALSE(claim.take_show_request() || claim.ask_to_show());
}

}  // namespace
}  // namespace tlv::port
