#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/ClsWaypoint.h"

// The task as a SeeYou CUP file (flight computers) and as a GPX 1.1 file (GPS
// programs), composed from the parsed waypoints and routes.  Both are UTF-8.
namespace tlv::task_files {

struct Route {
    std::string_view name;
    std::vector<const ClsWaypoint*> members;  // in route order
};

// What the files hold: the waypoints and route members that the GARtrip text
// holds, in its order.
struct Task {
    std::vector<const ClsWaypoint*> waypoints;
    std::vector<Route> routes;
};

// A position in hundredths of a minute of arc, north and east positive, worked
// out from the degrees, minutes and hundredths exactly as given (a minute
// count of 75 is a degree and 15 minutes).  Nothing when it lies off the
// globe: a latitude past 90 degrees or a longitude past 180.  The meridian of
// 180 degrees is given as west, as GPX asks.
struct Position {
    int64_t latitude, longitude;
};
std::optional<Position> position_of(const ClsWaypoint& waypoint);

// The CUP text: its header line, a line per waypoint, "-----Related Tasks-----"
// and a task line per route; CR LF line ends.
std::string cup_text(const Task& task);

// The GPX 1.1 document: a wpt per waypoint and an rte per route.
std::string gpx_text(const Task& task);

// The CUP style of a StrePla point type: 5 for an airfield or airport, 3 for an
// outlanding field, 1 (a waypoint) for anything else.
int cup_style(std::string_view type);

}  // namespace tlv::task_files
