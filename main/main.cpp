// tolvane: converts a StrePla exchange file into a GARtrip text file.
//   tolvane [exchange-file [text-file]]

#include <cstdio>
#include <optional>
#include <string>
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
        "Gebruik: tolvane [--cup CUP-bestand] [--gpx GPX-bestand] [exchange-bestand "
        "[tekst-bestand]]\n"
        "\n"
        "Zonder argumenten opent tolvane het hoofdvenster.\n"
        "Met een StrePla exchange bestand (*.ste) zet tolvane dat zonder venster om in het\n"
        "tekstbestand voor GARtrip. Zonder tekst-bestand gebruikt tolvane het opgeslagen pad\n"
        "(GartripFile= in de instellingen).\n"
        "Met --cup en --gpx schrijft tolvane dezelfde punten en routes ook als SeeYou CUP\n"
        "(voor een vliegcomputer) en als GPX; zonder deze opties de opgeslagen paden\n"
        "(CupFile= en GpxFile=), als die er zijn.\n"
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

bool is_output_option(std::string_view argument) {
    return argument == "--cup" || argument == "--gpx";
}

// Argument i in Windows-1252.  A name without a Windows-1252 form cannot be
// handled faithfully: it is refused with a box.
std::optional<std::string> inside(const std::vector<std::string>& given, size_t i) {
    std::optional<std::string> argument = tlv::codec::from_utf8(given[i]);
    if (!argument)
        tlv::ClsError().error("ModStart", tlv::err::kInvalidFileName, "Main",
                              "(opstartargument " + std::to_string(i) + ")", true);
    return argument;
}

}  // namespace

int main(int argc, char** argv) {
    // Inside, text is Windows-1252.
    const std::vector<std::string> given = given_arguments(argc, argv);
    if (given.size() == 2 && answered_option(given[1])) return 0;
    tlv::modStart::Outputs outputs;
    size_t first = 1;  // the exchange file's argument
    for (; first + 1 < given.size() && is_output_option(given[first]); first += 2) {
        std::optional<std::string> path = inside(given, first + 1);
        if (!path) return tlv::modStart::kExitStartFailed;
        (given[first] == "--cup" ? outputs.cup : outputs.gpx) = std::move(*path);
    }
    if ((first > 1 && first >= given.size()) ||
        (first < given.size() && is_output_option(given[first]))) {
        std::fputs(
            "tolvane: na --cup of --gpx volgt een bestandsnaam, en daarna het "
            "exchange-bestand (tolvane --help).\n",
            stderr);
        return tlv::modStart::kExitStartFailed;
    }
    std::vector<std::string> arguments(1);
    for (size_t i = first; i < given.size() && i < first + 2; ++i) {
        std::optional<std::string> argument = inside(given, i);
        if (!argument) return tlv::modStart::kExitStartFailed;
        arguments.push_back(std::move(*argument));
    }
    return tlv::modStart::Main(arguments, outputs);
}
