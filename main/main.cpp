// tolvane: converts a StrePla exchange file into a GARtrip text file.
//   tolvane [exchange-file [text-file]]

#include <cstdio>
#include <string_view>
#include <vector>

#include "main/modStart.h"
#include "shared/ClsError.h"
#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/platform/native.h"
#include "shared/platform/port.h"
#include "shared/version.h"

namespace {

void print(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stdout); }

void print_usage() {
    std::string folder = tlv::codec::to_utf8(tlv::port::settings_folder());
    print(
        "Gebruik: tolvane [exchange-bestand [tekst-bestand]]\n"
        "\n"
        "Zonder argumenten opent tolvane het hoofdvenster.\n"
        "Met een StrePla exchange bestand (*.ste) zet tolvane dat zonder venster om in het\n"
        "tekstbestand voor GARtrip. Zonder tekst-bestand gebruikt tolvane het opgeslagen pad\n"
        "(GartripFile= in de instellingen).\n"
        "\n"
        "Afsluitcodes:\n"
        "  0  omgezet zonder fouten\n"
        "  1  omgezet, maar met fouten (zie error.log)\n"
        "  2  het starten is mislukt (zie error.log)\n"
        "  3  tolvane draait al vanuit deze map; er is niets gedaan\n"
        "\n"
        "Instellingen: " +
        tlv::port::join_path(folder, "tolvane.kvr") +
        "\n"
        "Foutenlog:    " +
        tlv::port::join_path(folder, "error.log") + "\n");
}

// The options a user may try; no exchange file is named like these.
bool answered_option(std::string_view argument) {
    if (argument == "--help" || argument == "-h" || argument == "/?") {
        print_usage();
        return true;
    }
    if (argument == "--version") {
        print("tolvane " + std::to_string(tlv::version::kMajor) + "." +
              std::to_string(tlv::version::kMinor) + "\n");
        return true;
    }
    return false;
}

// The arguments in UTF-8: as POSIX splits them, or on Windows split from the
// command text after the program name by Main's own rules.
std::vector<std::string> given_arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    return tlv::modStart::GetCommandLine(tlv::port::native::command_tail());
#else
    return {argv, argv + argc};
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // Inside, text is Windows-1252.
    const std::vector<std::string> given = given_arguments(argc, argv);
    if (given.size() == 2 && answered_option(given[1])) return 0;
    std::vector<std::string> arguments(1);
    for (size_t i = 1; i < given.size() && i <= 2; ++i) {
        std::optional<std::string> argument = tlv::codec::from_utf8(given[i]);
        if (!argument) {
            // A name without a Windows-1252 form cannot be handled faithfully: refuse it.
            tlv::ClsError().error("ModStart", tlv::err::kInvalidFileName, "Main",
                                  "(opstartargument " + std::to_string(i) + ")", true);
            return tlv::modStart::kExitStartFailed;
        }
        arguments.push_back(std::move(*argument));
    }
    return tlv::modStart::Main(arguments);
}
