#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "shared/platform/posix.h"
#include "tests/support/failure_of.h"
#include "tests/support/temp_folder.h"

namespace tlv::port::posix {
namespace {

using testing::failure_of;
using testing::TempFolder;

TEST(CommandText, QuotesGroupAndAreDropped) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(split_command_text(R"("C:\Program Files\GARtrip\gartrip.exe" "D:\taak 1.txt")"),
              (Parts{R"(C:\Program Files\GARtrip\gartrip.exe)", R"(D:\taak 1.txt)"}));
    EXPECT_EQ(split_command_text("  a\tb  "), (Parts{"a", "b"}));
    EXPECT_EQ(split_command_text(R"(a "" b)"), (Parts{"a", "", "b"}));
    EXPECT_EQ(split_command_text(R"(pre"fix mid"post)"), (Parts{"prefix midpost"}));
}

// A real program, started without a shell and not waited for.
TEST(ProgramStart, StartsDetachedWithArgumentsAsGiven) {
    TempFolder folder;
    std::string script = folder.file("maak bestand");
    folder.write("maak bestand", "#!/bin/sh\necho gestart > \"$1\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    std::string marker = folder.file("met blanco.txt");
    programs().start("\"" + script + "\" \"" + marker + "\"", WindowStyle::Hidden);
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST(ProgramStart, MissingOrUnrunnableProgramIsAFailure) {
    TempFolder folder;
    EXPECT_EQ(failure_of([&] { programs().start(folder.file("bestaat niet"), WindowStyle::Hidden); }),
              53);
    folder.write("geen programma", "");
    EXPECT_EQ(failure_of([&] {
                  programs().start("\"" + folder.file("geen programma") + "\"", WindowStyle::Hidden);
              }),
              70);
    EXPECT_EQ(failure_of([] { programs().start("", WindowStyle::Hidden); }), 53);
}

}  // namespace
}  // namespace tlv::port::posix
