#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tlv {

// The error reporter: turns a failure number into its Dutch message, shows it
// in a box when asked, adds an entry to "error.log" in the deliverable's
// folder and returns the message.  Create one per report; it keeps no state.
// Call it from a catch block: it reads the technical description of the
// failure being handled itself.
class ClsError {
public:
    std::string error(std::string_view naam, int32_t nummer, std::string_view plaats = {},
                      std::string_view variabelewaarde = {}, bool blnMelding = false);

    // The message table text of a number, the value composed in; "" without a row.
    static std::string FoutTekst(int32_t nummer, std::string_view waarde);

    static constexpr uint64_t kLogCap = 200000;
    static constexpr std::string_view kLogName = "error.log";

private:
    // The part of the log that survives the rewrite, and whether the file
    // already holds exactly that text (then `text` may be left empty).
    struct OudeLog {
        std::string text;
        bool unchanged = false;
    };
    static OudeLog LeesOudeLog(const std::string& path);
    static void SchrijfLog(const std::string& path, const OudeLog& old_log,
                           const std::string& entry);
};

}  // namespace tlv
