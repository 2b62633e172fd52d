// Fuzzes the error log: an "error.log" whose old content is any bytes gets
// one report, or two in one batch.  The input is tried as it is, and
// stretched to just under and just over the 200,000-byte cap.  Whatever the
// old log held, the report must not crash or hang, and the log must end
// with the new entry; a log at or past the cap is replaced by the entry alone.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_folder.h"
#include "shared/ClsError.h"
#include "shared/platform/port.h"

namespace {

using tlv::fuzzing::make_folder;
using tlv::fuzzing::read_file;
using tlv::fuzzing::write_file;

class StillClock final : public tlv::port::Clock {
public:
    tlv::port::DateTime now() override { return {2026, 12, 7, 9, 5, 7}; }
    void sleep(std::chrono::milliseconds) override {}
};

// The input repeated (or cut) to the given length; blanks when it is empty.
std::string stretched(std::string_view input, size_t length) {
    if (input.empty()) return std::string(length, ' ');
    std::string text;
    text.reserve(length);
    while (text.size() < length) text.append(input.substr(0, length - text.size()));
    return text;
}

// The entry as the log's layout has it, for a report made by the target.
std::string entry(int32_t number, std::string_view plaats) {
    return "\r\nNieuwe Fout[" + std::to_string(number) + "]7-12-2026 09:05:07 app.fuzz\r\n" +
           "Foutmelding:[" + tlv::ClsError::FoutTekst(number, "waarde") + "] in [Fuzz]\r\n" +
           "Opgetreden bij het uitvoeren van " + std::string(plaats) + "\r\n" +
           "Bij het werken met deze waarde:[waarde]\r\n";
}

void check(const std::string& log, const std::string& old, bool batched) {
    write_file(log, old);
    if (batched) {
        tlv::ClsError::Batch batch;
        tlv::ClsError().error("Fuzz", 53, "Eerste", "waarde");
        tlv::ClsError().error("Fuzz", 70, "Tweede", "waarde");
    } else {
        tlv::ClsError().error("Fuzz", 53, "Eerste", "waarde");
    }
    const std::string after = read_file(log);
    const std::string last = batched ? entry(70, "Tweede") : entry(53, "Eerste");
    if (!after.ends_with(last)) __builtin_trap();
    if (old.size() >= tlv::ClsError::kLogCap && !batched && after != last) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static StillClock clock;
    static tlv::port::Application application{make_folder(), "fuzz", {}};
    static const bool installed = [] {
        tlv::port::install({.clock = &clock, .application = &application});
        return true;
    }();
    (void)installed;

    const std::string log = tlv::port::join_path(application.folder, "error.log");
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nudge = size % 97;
    const bool batched = size % 2 == 1;
    check(log, std::string(input), batched);
    check(log, stretched(input, tlv::ClsError::kLogCap - 1 - nudge), batched);
    check(log, stretched(input, tlv::ClsError::kLogCap + nudge), !batched);
    return 0;
}
