#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The program's start.  `arguments` holds element 0 (empty) and the
// arguments as the platform handed them over, already in Windows-1252; only
// the first two are used.  Returns the exit code.
int Main(const std::vector<std::string>& arguments);

}  // namespace tlv::modStart
