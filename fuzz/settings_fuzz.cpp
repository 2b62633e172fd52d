// Fuzzes the settings reader: any bytes as "tolvane.kvr", read, written back,
// read again.  Values without a comma or line end must survive the round trip
// unchanged; the others (the file stores them without quotes) must settle
// after one round.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_folder.h"
#include "shared/ClsInstellingen.h"
#include "shared/platform/port.h"

namespace {

using tlv::fuzzing::make_folder;
using tlv::fuzzing::read_file;
using tlv::fuzzing::write_file;

// Message boxes answer at once; the clock stands still.
class QuietPlatform final : public tlv::port::MessageBoxes, public tlv::port::Clock {
public:
    tlv::port::Answer show(std::string_view, std::string_view, tlv::port::BoxStyle) override {
        return tlv::port::Answer::Ok;
    }
    tlv::port::DateTime now() override { return {2026, 12, 6, 9, 5, 7}; }
    void sleep(std::chrono::milliseconds) override {}
};

bool storable(std::string_view text) { return text.find_first_of(",\r\n") == text.npos; }

// Whether every value can be written and read back as it is.
bool all_storable(const tlv::ClsInstellingen& settings) {
    for (const std::string* text : {&settings.strStreplaFile, &settings.strGartripFile,
                                    &settings.strGartripProgram, &settings.strStreplaProgram})
        if (!storable(*text)) return false;
    for (const tlv::LoggerRow& row : settings.instloggers())
        for (const std::string& field : row)
            if (!storable(field)) return false;
    return true;
}

// Reads the settings file into a new object and writes it back; returns the bytes written.
std::string round_trip(const std::string& kvr, bool* exact = nullptr) {
    tlv::ClsInstellingen settings;
    if (exact) *exact = all_storable(settings);
    settings.Wegschrijven();
    return read_file(kvr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QuietPlatform platform;
    static tlv::port::Application application{make_folder(), "settings_fuzz", {}};
    static const bool installed = [] {
        tlv::port::install(
            {.message_boxes = &platform, .clock = &platform, .application = &application});
        return true;
    }();
    (void)installed;

    const std::string kvr = tlv::port::join_path(application.folder, "tolvane.kvr");
    std::filesystem::remove(tlv::port::join_path(application.folder, "error.log"));
    write_file(kvr, {reinterpret_cast<const char*>(data), size});

    bool exact = false;
    const std::string first = round_trip(kvr, &exact);
    const std::string second = round_trip(kvr);
    if (exact && second != first) __builtin_trap();
    if (round_trip(kvr) != second) __builtin_trap();
    return 0;
}
