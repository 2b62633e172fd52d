#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tlv {

class Failure;

// The error reporter: turns a failure number into its Dutch message, shows it
// in a box when asked, adds an entry to "error.log" in the settings folder
// (port::settings_folder()) and returns the message.  Create one per report; it keeps no state.
// Called from a catch block it reads the technical description of the failure
// being handled itself; the second form takes the failure as a value.
class ClsError {
public:
    std::string error(std::string_view naam, int32_t nummer, std::string_view plaats = {},
                      std::string_view variabelewaarde = {}, bool blnMelding = false);
    std::string error(std::string_view naam, const Failure& failure, std::string_view plaats,
                      std::string_view variabelewaarde, bool blnMelding);

    // The message table text of a number, the value composed in; "" without a row.
    static std::string FoutTekst(int32_t nummer, std::string_view waarde);

    static constexpr uint64_t kLogCap = 200000;
    static constexpr std::string_view kLogName = "error.log";

    // While one lives, the log entries of this process are collected and
    // written together when the outermost one ends.  The log then holds
    // exactly what it would hold had every entry been written on its own
    // (each rewrite dropping leading blanks, the cap applied entry by entry),
    // at the cost of one write instead of one rewrite per report.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
    };

private:
    std::string report(std::string_view naam, int32_t nummer, std::string_view plaats,
                       std::string_view variabelewaarde, bool blnMelding,
                       const std::string& description);
};

}  // namespace tlv
