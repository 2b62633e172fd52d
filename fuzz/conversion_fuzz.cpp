// Feeds arbitrary bytes through the exchange reader and the text writer, in
// memory, and checks that the writer's ways of composing a waypoint line agree and that the
// waypoint's CUP and GPX texts hold together.  Reports still go
// through the error reporter; the file system it sees holds no files and drops every write, so no
// input touches the disk.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/ClsParse.h"
#include "conversion/ClsWrite.h"
#include "conversion/task_files.h"
#include "shared/failure.h"
#include "shared/platform/port.h"

namespace {

class NoDisk final : public tlv::port::FileSystem, public tlv::port::Clock {
public:
    bool is_plain_file(std::string_view) override { return false; }
    tlv::port::Presence examine(std::string_view) override { return tlv::port::Presence::Missing; }
    std::optional<uint64_t> file_size(std::string_view) override { return std::nullopt; }
    std::optional<tlv::port::DateTime> last_modified(std::string_view) override {
        return std::nullopt;
    }
    std::string read_all(std::string_view, uint64_t) override {
        tlv::raise(tlv::err::kFileNotFound);
    }
    void replace(std::string_view, std::string_view) override {}
    void append(std::string_view, std::string_view) override {}
    tlv::port::DateTime now() override { return {2026, 1, 1, 12, 0, 0}; }
    void sleep(std::chrono::milliseconds) override {}
};

NoDisk no_disk;
tlv::port::Application application{"/nonexistent", "fuzz", {}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool installed = [] {
        tlv::port::install({.clock = &no_disk, .files = &no_disk, .application = &application});
        return true;
    }();
    (void)installed;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tlv::ClsParse parse;
    uint64_t progress = 0;
    parse.set_progress_handler([&](std::string&) { ++progress; });
    // The working text made in the bytes' own buffer is the one made beside them.
    const std::string working = tlv::ClsParse::working_text(bytes);
    if (tlv::ClsParse::working_text(std::string(bytes)) != working) std::abort();
    auto composed = parse.convert_working_text(working);
    // Counts never go negative, and a written text always starts with its title.
    if (parse.intAantWaypoints() < 0 || parse.intAantRoutes() < 0) std::abort();
    if (composed && !composed->starts_with("Waypoints hddd\xB0mm.mmm' WGS-84\r\n")) std::abort();
    if (progress < static_cast<uint64_t>(parse.intAantWaypoints() + parse.intAantRoutes()))
        std::abort();
    // The input's first lines as a waypoint's name, frequency, longitude and latitude: the
    // writer's three ways of composing its line give the same line.
    std::string_view field[4];
    for (std::string_view& piece : field) {
        const size_t end = std::min(bytes.find('\n'), bytes.size());
        piece = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    tlv::ClsWaypoint waypoint;
    waypoint.strName(field[0]);
    waypoint.strFreq(field[1]);
    try {
        waypoint.strLon(field[2]);
        waypoint.strLat(field[3]);
    } catch (...) {
        return 0;
    }
    waypoint.intElev(static_cast<int16_t>(size * 37));
    for (int32_t kind : {tlv::ClsWrite::kListLine, tlv::ClsWrite::kMemberLine}) {
        const auto lines = tlv::ClsWrite::waypoint_lines(waypoint, kind);
        if (lines[0] != lines[1] || lines[1] != lines[2]) std::abort();
        if (tlv::ClsWrite::writes_line(waypoint) == lines[0].empty()) std::abort();
    }
    // The same waypoint in the CUP and GPX files: no character that XML 1.0 cannot carry, and
    // (its texts without a CR, as a conversion's always are) one CUP line for it, one for its task.
    if (!tlv::task_files::position_of(waypoint)) return 0;
    const tlv::task_files::Task task{{&waypoint}, {{"R", {&waypoint}}}};
    const std::string gpx = tlv::task_files::gpx_text(task);
    if (std::any_of(gpx.begin(), gpx.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t';
        }))
        std::abort();
    if (field[0].find('\r') != std::string_view::npos ||
        field[1].find('\r') != std::string_view::npos)
        return 0;
    const std::string cup = tlv::task_files::cup_text(task);
    size_t line_ends = 0;
    for (size_t at = cup.find("\r\n"); at != std::string::npos; at = cup.find("\r\n", at + 2))
        ++line_ends;
    if (line_ends != 4) std::abort();
    return 0;
}
