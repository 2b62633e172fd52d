#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/ClsError.h"
#include "shared/failure.h"

namespace tlv::modStart {

// Exit codes of tolvane, for scripts.
inline constexpr int kExitConverted = 0;            // conversion without error text
inline constexpr int kExitConvertedWithErrors = 1;  // the reports are in the error logs
inline constexpr int kExitStartFailed = 2;          // start-up itself failed (reported)
inline constexpr int kExitOtherCopyRuns = 3;  // another copy runs in this folder: nothing done

// Splits a raw command-line text (the part after the program name) into at
// most `maximum` arguments.  Element 0 is always empty; elements 1..n hold
// the arguments without their quotes.
std::vector<std::string> GetCommandLine(std::string_view command_line, int maximum = 10);

// Reports the failure being handled as the start's, with both arguments (the
// same for the silent road and the window's), and gives the exit code.
inline int report_start_failure(std::string_view exchange, std::string_view text) {
    ClsError().error("ModStart", current_failure_number(), "Main",
                     "Eerste opstartargument=[" + std::string(exchange) +
                         "] Tweede opstartargument(optioneel)=[" + std::string(text) + "]",
                     true);
    return kExitStartFailed;
}

// The extra outputs of a silent conversion named on the command line (--cup
// FILE, --gpx FILE); an empty path takes the one in the settings.
struct Outputs {
    std::string cup, gpx;
};

// The program's start.  `arguments` holds element 0 (empty) and the
// arguments as the platform handed them over, already in Windows-1252; only
// the first two are used.  Returns the exit code.
int Main(const std::vector<std::string>& arguments, const Outputs& outputs = {});

}  // namespace tlv::modStart
