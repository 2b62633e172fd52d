#include <functional>
#include <initializer_list>

#include "conversion/ClsParse.h"
#include "conversion/ClsWrite.h"
#include "shared/ClsError.h"
#include "shared/ModWriteFile.h"
#include "shared/failure.h"

namespace tlv {

bool ClsParse::Schrijf(const std::string& strGARtrip, std::string buffer) {
    try {
        std::string text = ClsWrite(std::move(buffer)).schrijf(*this);
        std::string message = SchrijfBestand(strGARtrip, text);
        if (message.empty()) return true;
        strFout(message);
    } catch (...) {
        report(__func__, "");
    }
    return false;
}

void ClsParse::WaypointsOphalen(ClsWrite& writer) {
    try {
        waypoints_.for_each(
            [&](const ClsWaypoint& waypoint) { writer.Waypoint(waypoint, ClsWrite::kListLine); });
    } catch (...) {
        report(__func__, "");
    }
}

void ClsParse::RoutesOphalen(ClsWrite& writer) {
    try {
        // Wider than the 16-bit header number: the step after route 32767
        // must not cost that route its members.
        int32_t nummer = 1;
        for (const auto& route : routes_) {
            writer.Route(static_cast<int16_t>(nummer), route->strName());
            ++nummer;
            for (const auto& member : route->colWaypoints())
                writer.Waypoint(*member, ClsWrite::kMemberLine);
            writer.endRoute();
        }
    } catch (...) {
        report(__func__, "");
    }
}

namespace {

// Writes one extra output, refusing a path that another output of the
// conversion already has (the exchange file, the text file, the other extra
// output).  False when the file was not written; the failure is reported.
bool write_extra(const std::string& path, std::initializer_list<std::string_view> taken,
                 const std::function<std::string()>& compose) {
    try {
        for (std::string_view other : taken)
            if (path == other)
                raise(err::kPathFileAccess, "Path of another file of the conversion");
        return SchrijfBestand(path, compose()).empty();
    } catch (...) {
        ClsError().error("ClsParse", current_failure_number(), "Schrijf", path, false);
        return false;
    }
}

}  // namespace

void ClsParse::write_extra_outputs(const std::string& strPad, const std::string& strGARtrip) {
    if (extra_.cup.empty() && extra_.gpx.empty()) return;
    const task_files::Task task = extra_task();
    if (!extra_.cup.empty() &&
        !write_extra(extra_.cup, {strPad, strGARtrip}, [&] { return task_files::cup_text(task); }))
        unwritten_.push_back(extra_.cup);
    if (!extra_.gpx.empty() && !write_extra(extra_.gpx, {strPad, strGARtrip, extra_.cup},
                                            [&] { return task_files::gpx_text(task); }))
        unwritten_.push_back(extra_.gpx);
}

// The waypoints and members whose lines the text file holds.  One off the globe
// is left out of the extra outputs and reported once.
task_files::Task ClsParse::extra_task() const {
    task_files::Task task;
    auto usable = [](const ClsWaypoint& waypoint) {
        return ClsWrite::writes_line(waypoint) && task_files::position_of(waypoint);
    };
    waypoints_.for_each([&](const ClsWaypoint& waypoint) {
        if (usable(waypoint)) {
            task.waypoints.push_back(&waypoint);
        } else if (ClsWrite::writes_line(waypoint)) {
            ClsError().error("ClsParse", Failure(err::kInvalidArgument, "Position off the globe"),
                             "Schrijf", "CUP en GPX zonder " + waypoint.strName(), false);
        }
    });
    for (const auto& route : routes_) {
        task_files::Route& extra = task.routes.emplace_back();
        extra.name = route->strName();
        for (const auto& member : route->colWaypoints())
            if (usable(*member)) extra.members.push_back(member.get());
    }
    return task;
}

}  // namespace tlv
