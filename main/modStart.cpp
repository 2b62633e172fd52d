#include "main/modStart.h"

#include "main/window.h"
#include "shared/ClsInstellingen.h"
#include "shared/component_loader.h"
#include "shared/failure.h"
#include "shared/modInstellingen.h"
#include "shared/platform/library.h"
#include "shared/platform/port.h"

namespace tlv::modStart {
namespace {

constexpr std::string_view kProgramName = "tolvane";

bool is_separator(char c) { return c == ' ' || c == '\t'; }

// Opens the main window from the window module in the program's folder and
// runs it until it unloads.  Only this road loads the desktop libraries.  The
// window takes over the settings object and the claim's request channel.
int Starten(std::shared_ptr<ClsInstellingen> settings, const std::string& exchange,
            const std::string& text) {
    auto module = port::DynamicLibrary::open(
        port::join_path(port::application().folder, port::library_file_name(kWindowModule)));
    auto entry = reinterpret_cast<WindowEntry>(module->symbol(kWindowEntry));
    if (!entry)
        raise(err::kEntryPointMissing, std::string("Can't find DLL entry point ") + kWindowEntry);
    WindowStart start{exchange, text, std::move(settings), &port::single_instance()};
    return entry(&start);
}

// A second start: the window road asks the running copy to show its window;
// a conversion says on standard error why it did nothing.
int other_copy_runs(size_t count) {
    if (count == 0) {
        port::single_instance().ask_to_show();
    } else {
        port::message_boxes().show("Er draait al een tolvane vanuit deze map; er is niets omgezet.",
                                   "tolvane", port::BoxStyle::Information);
    }
    return kExitOtherCopyRuns;
}

// Converts without any window; starts GARtrip on the result when the
// settings ask for it.  An extra output that could not be written counts as
// an error.  Returns the exit code.
int convert_silently(ClsInstellingen& settings, const std::string& exchange,
                     const std::string& text, const Outputs& outputs) {
    bool errors = false;
    {
        ParseComponent parse = new_conversion();
        parse.set_outputs(outputs.cup.empty() ? settings.strCupFile : outputs.cup,
                          outputs.gpx.empty() ? settings.strGpxFile : outputs.gpx);
        parse.Parsen(exchange, text);
        errors = !parse.strFout().empty() || !parse.unwritten_outputs().empty();
    }
    if (settings.intAutostart == kSwitchOn)
        port::programs().start(settings.strGartripProgram, {text}, port::WindowStyle::Hidden);
    return errors ? kExitConvertedWithErrors : kExitConverted;
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

int Main(const std::vector<std::string>& arguments, const Outputs& outputs) {
    size_t count = arguments.empty() ? 0 : std::min<size_t>(arguments.size() - 1, 2);
    if (port::single_instance().another_copy_runs(kProgramName, port::application().folder))
        return other_copy_runs(count);

    std::string exchange, text;
    try {
        // Without arguments the window reads the settings itself, where a
        // broken line gets a real box; with one, the object read here is handed on.
        if (count == 0) return Starten(nullptr, exchange, text);
        std::shared_ptr<ClsInstellingen> settings = Instellingen();
        exchange = arguments[1];
        text = count == 2 ? arguments[2] : settings->strGartripFile;
        if (text.empty()) return Starten(std::move(settings), exchange, text);
        int code = convert_silently(*settings, exchange, text, outputs);
        settings.reset();
        InstellingenVrijgeven();
        return code;
    } catch (...) {
        return report_start_failure(exchange, text);
    }
}

}  // namespace tlv::modStart
