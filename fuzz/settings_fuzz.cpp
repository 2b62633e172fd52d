// Fuzzes the settings reader: any bytes as "tolvane.kvr", read, written back,
// read again.  Values without a comma or line end must survive the round trip
// unchanged; the others (the file stores them without quotes) must settle
// after one round.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "shared/ClsInstellingen.h"
#include "shared/platform/port.h"

namespace {

// Message boxes answer at once; the clock stands still.
class QuietPlatform final : public tlv::port::MessageBoxes, public tlv::port::Clock {
public:
    tlv::port::Answer show(std::string_view, std::string_view, tlv::port::BoxStyle) override {
        return tlv::port::Answer::Ok;
    }
    tlv::port::DateTime now() override { return {2026, 12, 6, 9, 5, 7}; }
    void sleep(std::chrono::milliseconds) override {}
};

std::string& fuzz_folder() {
    static std::string folder;
    return folder;
}

// A folder of its own for the run, removed when the fuzzer exits.
std::string make_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) __builtin_trap();
    fuzz_folder() = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(fuzz_folder(), ignored);
    });
    return pattern;
}

void write_file(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
    write_file(kvr, data, size);

    bool exact = false;
    const std::string first = round_trip(kvr, &exact);
    const std::string second = round_trip(kvr);
    if (exact && second != first) __builtin_trap();
    if (round_trip(kvr) != second) __builtin_trap();
    return 0;
}
