// The installed program run as a user would run it, in processes of its own.
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>

#include "main/modStart.h"
#include "tests/support/claims.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv::modStart {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

struct ProgramRun {
    int code;
    std::string out, err;
};

ProgramRun run_program(const TempFolder& folder, const std::string& program,
                       const std::string& arguments) {
    std::string command = "'" + program + "' " + arguments + " >'" + folder.file("stdout") +
                          "' 2>'" + folder.file("stderr") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder.read("stdout"),
            folder.read("stderr")};
}

// Holds the program's claim in a child process until it is killed: as the
// user nobody binding our first name (abstract names carry no permissions),
// or as a copy of ours.
pid_t hold_claim(const std::string& program_folder, bool as_stranger) {
    auto [child, held] = testing::in_child([&] {
        return as_stranger
                   ? testing::become_nobody() && testing::hold_name(port::native::instance_name(
                                                     0, "tolvane", program_folder, 0))
                   : !port::native::single_instance().another_copy_runs("tolvane", program_folder);
    });
    EXPECT_TRUE(held);
    return child;
}

// The installed program itself, run as a user would from a script: silent and
// byte-exact through the loaded library, also while another user holds its
// claim's name (a third argument is not looked at); its options answer without converting; a second copy of ours
// converts nothing and says why; so does the launcher without a display.
TEST(Program, ConvertsSilentlyAndAnswersItsOptions) {
    TempFolder folder;
    fs::path program_folder = fs::path(folder.path()) / "Tolvane programma";
    fs::create_directory(program_folder);
    for (const char* file : {"tolvane", "libConverttlv.so"})
        testing::copy_deliverable(file, program_folder.string());
    folder.write("taak.ste", testing::basic_example(".ste"));
    std::string program = (program_folder / "tolvane").string();
    const std::string arguments =
        "'" + folder.file("taak.ste") + "' '" + folder.file("uit.txt") + "'";

    std::vector<pid_t> holders;
    if (::getuid() == 0) holders.push_back(hold_claim(program_folder.string(), true));
    ProgramRun converted = run_program(folder, program, arguments);
    EXPECT_EQ(converted.code, kExitConverted);
    EXPECT_EQ(converted.out + converted.err, "");
    EXPECT_EQ(folder.read("uit.txt"), testing::basic_example(".txt"));
    EXPECT_EQ(run_program(folder, program, arguments + " '\xC4\x80'").code, kExitConverted);

    // The silent road loads no desktop library.
    ProgramRun libraries =
        run_program(folder, "/usr/bin/env", "LD_DEBUG=libs '" + program + "' " + arguments);
    EXPECT_THAT(libraries.err, HasSubstr("libConverttlv.so"));
    EXPECT_THAT(libraries.err, Not(HasSubstr("libQt6")));

    ProgramRun version = run_program(folder, program, "--version");
    EXPECT_EQ(std::make_tuple(version.code, version.out, version.err),
              std::make_tuple(0, "tolvane 2.1\n", ""));
    ProgramRun refused = run_program(folder, program, "'taak \xC4\x80.ste'");  // U+0100
    EXPECT_EQ(std::make_tuple(refused.code, refused.err),
              std::make_tuple(2,
                              "Fout: De volgende fout is opgetreden\r\nDe bestandsnaam is "
                              "ongeldig (opstartargument 1)\n"));
    const std::string usage =
        "Gebruik: tolvane [exchange-bestand [tekst-bestand]]\n\n"
        "Zonder argumenten opent tolvane het hoofdvenster.\n"
        "Met een StrePla exchange bestand (*.ste) zet tolvane dat zonder venster om in het\n"
        "tekstbestand voor GARtrip. Zonder tekst-bestand gebruikt tolvane het opgeslagen pad\n"
        "(GartripFile= in de instellingen).\n\n"
        "Afsluitcodes:\n  0  omgezet zonder fouten\n  1  omgezet, maar met fouten (zie error.log)\n"
        "  2  het starten is mislukt (zie error.log)\n"
        "  3  tolvane draait al vanuit deze map; er is niets gedaan\n\n"
        "Instellingen: " +
        program_folder.string() +
        "/tolvane.kvr\n"
        "Foutenlog:    " +
        program_folder.string() + "/error.log\n";
    for (const char* option : {"--help", "-h", "'/?'"}) {
        ProgramRun asked = run_program(folder, program, option);
        EXPECT_EQ(std::make_tuple(asked.code, asked.out), std::make_tuple(0, usage)) << option;
    }

    // Without a display the launcher says why it starts nothing.
    ProgramRun launcher = run_program(folder, "/usr/bin/env",
                                      "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                          std::string(TOLVANE_BIN_DIR) + "/tlvexpress'");
    EXPECT_EQ(std::make_tuple(launcher.code, launcher.err),
              std::make_tuple(2,
                              "tlvexpress: Er is geen beeldscherm: tlvexpress start StrePla en "
                              "tolvane alleen op een bureaublad.\n"));

    holders.push_back(hold_claim(program_folder.string(), false));
    ProgramRun second = run_program(folder, program, arguments);
    EXPECT_EQ(std::make_tuple(second.code, second.err),
              std::make_tuple(kExitOtherCopyRuns,
                              "tolvane: Er draait al een tolvane vanuit deze map; er is niets "
                              "omgezet.\n"));
    for (pid_t child : holders) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

}  // namespace
}  // namespace tlv::modStart
