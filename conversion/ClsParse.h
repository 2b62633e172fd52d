#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/ClsRoutes.h"
#include "conversion/ClsWaypoint.h"
#include "conversion/task_files.h"
#include "shared/platform/large_pages.h"

namespace tlv {

class ClsWrite;
class Failure;

// The point blocks read so far, by their number in the file.  A block that
// failed leaves its number unused, so later numbers do not shift.  The list
// keeps the waypoints in storage of its own, a few large blocks; a route
// member shares that storage and keeps it alive.
class WaypointList {
public:
    void clear();
    // Room for so many waypoints in one block, made ready at once.
    void reserve(size_t count);
    // A fresh waypoint in the list's storage; it counts once it is put.
    ClsWaypoint* make();
    void put(int16_t number, ClsWaypoint* waypoint);
    // The waypoint under a key text, exactly as a keyed lookup of the decimal
    // text of the number sees it: "7" finds point 7, "07", "+7" or "7 " nothing.
    std::shared_ptr<ClsWaypoint> find(std::string_view key) const;
    int16_t size() const { return count_; }
    // In file order.
    template <typename Visit>
    void for_each(Visit&& visit) const {
        for (const ClsWaypoint* waypoint : by_number_)
            if (waypoint) visit(*waypoint);
    }

private:
    using Block = std::vector<ClsWaypoint, port::LargePageAllocator<ClsWaypoint>>;
    using Blocks = std::vector<Block>;  // none ever grows past its room
    std::shared_ptr<Blocks> storage_;
    std::vector<ClsWaypoint*> by_number_;  // index = number - 1
    int16_t count_ = 0;
};

// Converts a StrePla exchange file into a GARtrip text file.  Errors never
// reach the caller: each is reported to the error log and its message is
// collected in strFout.
class ClsParse {
public:
    // Raised once per block, before it is parsed, with the block count as decimal text.
    using ProgressHandler = std::function<void(std::string& aantRegels)>;
    void set_progress_handler(ProgressHandler handler) { progress_ = std::move(handler); }

    // Converts; true when the text file was written (with or without error
    // lines), false when it was left as it was because the exchange file
    // could not be read, the scan stopped, or the write failed.  Nothing
    // escapes: the lists cannot hold more than 32767 entries, since the
    // 16-bit block counters name them.
    bool Parsen(const std::string& strPad, const std::string& strGARtrip);

    // Files written beside the text file by the same conversion, from the same
    // waypoints and routes: a SeeYou CUP and a GPX file (an empty path: none).
    // Written only when the text file was; a failure is reported to the error
    // log and leaves the old file, the text file and strFout as they are.
    struct ExtraOutputs {
        std::string cup, gpx;
    };
    void set_extra_outputs(ExtraOutputs outputs) { extra_ = std::move(outputs); }
    // The extra outputs of the last conversion that could not be written.
    const std::vector<std::string>& unwritten_outputs() const { return unwritten_; }

    void strFout(std::string_view val);  // appends val and CR LF
    const std::string& strFout() const { return fout_; }
    int16_t intAantWaypoints() const { return aant_waypoints_; }
    int16_t intAantRoutes() const { return aant_routes_; }

    // The same conversion on a working text in memory (items each followed by
    // CR LF), without touching the exchange or the text file: returns the
    // composed text, or nothing when a failure ended the scan (then no text
    // file would be written).  Counts, errors and progress as for Parsen.
    std::optional<std::string> convert_working_text(std::string_view werktekst);

    // The working text of an exchange file's bytes: every list-input item
    // followed by CR LF.  The second form makes it in the bytes' own buffer.
    static std::string working_text(std::string_view bytes);
    static std::string working_text(std::string&& bytes);

    // The largest exchange file read: far above any real export (a few
    // megabytes), low enough that time and memory stay bounded.
    static constexpr uint64_t kMostExchangeBytes = uint64_t{64} << 20;

private:
    friend class ClsWrite;
    struct Scan;
    enum class Cut { kBlock, kCutOff };

    void begin_conversion();
    void end_conversion();
    // Reports under "ClsParse": the failure being handled (inside a catch
    // block), or the given one.
    void report(std::string_view plaats, std::string_view waarde);
    void report(const Failure& failure, std::string_view plaats, std::string_view waarde);

    // Reading.
    // Whether the text file was written.
    bool watGaanWeDoen(const std::string& strPad, const std::string& strGARtrip);
    // The working text; empty when the file is missing, nothing when reading failed.
    std::optional<std::string> ReadFile(const std::string& strPad);
    std::optional<std::string> Wachten();
    bool scan_blocks(std::string_view text);
    std::string_view BeginEindpunt(Scan& scan, Cut& cut);
    std::string_view tekstWaarde(std::string_view text, std::string_view key);
    std::string_view tekstWaarde(std::string_view text, std::string_view key, size_t at);
    [[gnu::cold]] void no_line_end(std::string_view text, std::string_view key);
    void nieuweWaypoint(std::string_view block);
    void NieuweRoute(std::string_view block);

    // Writing.
    // Composes into the given buffer (the working text, no longer needed) and writes.
    bool Schrijf(const std::string& strGARtrip, std::string buffer = {});
    void WaypointsOphalen(ClsWrite& writer);
    void RoutesOphalen(ClsWrite& writer);
    void write_extra_outputs(const std::string& strPad, const std::string& strGARtrip);
    task_files::Task extra_task() const;

    ProgressHandler progress_;
    ExtraOutputs extra_;
    std::vector<std::string> unwritten_;
    std::string fout_;
    int16_t aant_waypoints_ = 0;
    int16_t aant_routes_ = 0;

    // Working state of one conversion.
    WaypointList waypoints_;
    std::vector<std::shared_ptr<ClsRoutes>> routes_;
    size_t scan_position_ = 0;  // 0-based
    int16_t point_counter_ = 0;
    int16_t route_counter_ = 0;
    int16_t retries_ = 0;
    std::string exchange_path_;
};

}  // namespace tlv
