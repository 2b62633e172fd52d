#include "main/modStart.h"

#include "shared/ClsError.h"
#include "shared/ClsInstellingen.h"
#include "shared/component_loader.h"
#include "shared/failure.h"
#include "shared/modInstellingen.h"
#include "shared/platform/port.h"

namespace tlv::modStart {
namespace {

constexpr std::string_view kProgramName = "tolvane";

bool is_separator(char c) { return c == ' ' || c == '\t'; }

// Opens the main window.  The window is not part of this build yet: the
// user is told so and the start counts as failed.
int Starten() {
    port::message_boxes().show(
        "Het hoofdvenster van tolvane is in deze versie nog niet beschikbaar.\r\n"
        "Geef een exchange bestand op de opdrachtregel op: tolvane exchange-bestand "
        "[tekst-bestand]",
        std::string(kProgramName), port::BoxStyle::Information);
    return kExitStartFailed;
}

// Converts without any window; starts GARtrip on the result when the
// settings ask for it.  Returns the exit code.
int convert_silently(ClsInstellingen& settings, const std::string& exchange,
                     const std::string& text) {
    std::string errors;
    {
        ParseComponent parse = new_conversion();
        parse.Parsen(exchange, text);
        errors = parse.strFout();
    }
    if (settings.intAutostart == 1)
        port::programs().start(settings.strGartripProgram, {text}, port::WindowStyle::Hidden);
    return errors.empty() ? kExitConverted : kExitConvertedWithErrors;
}

}  // namespace

std::vector<std::string> GetCommandLine(std::string_view command_line, int maximum) {
    std::vector<std::string> arguments(1);
    int count = 0;
    bool in_argument = false;
    bool in_quote = false;
    auto start_argument = [&] {
        if (count == maximum) return false;
        ++count;
        arguments.emplace_back();
        in_argument = true;
        return true;
    };
    for (char c : command_line) {
        if (c == '"') {
            if (in_quote) {
                in_quote = in_argument = false;
            } else {
                in_quote = true;
                if (!start_argument()) break;
            }
        } else if (in_quote) {
            arguments[count] += c;
        } else if (!is_separator(c)) {
            if (!in_argument && !start_argument()) break;
            arguments[count] += c;
        } else {
            in_argument = false;
        }
    }
    return arguments;
}

int Main(const std::vector<std::string>& arguments) {
    if (port::single_instance().another_copy_runs(kProgramName, port::application().folder))
        return kExitOtherCopyRuns;

    std::string exchange, text;
    try {
        size_t count = arguments.empty() ? 0 : std::min<size_t>(arguments.size() - 1, 2);
        std::shared_ptr<ClsInstellingen> settings = Instellingen();
        if (count == 0) return Starten();
        exchange = arguments[1];
        text = count == 2 ? arguments[2] : settings->strGartripFile;
        if (text.empty()) {
            settings.reset();
            return Starten();
        }
        int code = convert_silently(*settings, exchange, text);
        settings.reset();
        InstellingenVrijgeven();
        return code;
    } catch (...) {
        ClsError().error("ModStart", current_failure_number(), "Main",
                         "Eerste opstartargument=[" + exchange +
                             "] Tweede opstartargument(optioneel)=[" + text + "]",
                         true);
        return kExitStartFailed;
    }
}

}  // namespace tlv::modStart
