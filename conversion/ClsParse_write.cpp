#include "conversion/ClsParse.h"
#include "conversion/ClsWrite.h"
#include "shared/ModWriteFile.h"

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

}  // namespace tlv
