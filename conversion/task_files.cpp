#include "conversion/task_files.h"

#include <cstdlib>

#include "shared/codec.h"
#include "shared/text.h"

namespace tlv::task_files {
namespace {

constexpr int64_t kPerMinute = 100;  // positions count hundredths of a minute
constexpr int64_t kPerDegree = 60 * kPerMinute;
constexpr std::string_view kCupHeader =
    "name,code,country,lat,lon,elev,style,rwdir,rwlen,freq,desc";
constexpr std::string_view kCupTasks = "-----Related Tasks-----";

// South and west, as the text file's letters say, are negative.
int64_t signed_hundredths(const ClsWaypoint::Angle& angle, char letter) {
    const int64_t value =
        (int64_t{angle.degrees} * 60 + angle.minutes) * kPerMinute + angle.hundredths;
    return letter == 'S' || letter == 'W' ? -value : value;
}

// Digits of a non-negative number, zero-padded to `width`.
std::string padded(int64_t number, size_t width) {
    std::string digits = std::to_string(number);
    return digits.size() < width ? std::string(width - digits.size(), '0') + digits : digits;
}

// "DDMM.mmmN" or "DDDMM.mmmE": the exchange's hundredths of a minute and a 0.
std::string cup_angle(int64_t position, size_t degree_digits, char positive, char negative) {
    const int64_t size = std::llabs(position);
    return padded(size / kPerDegree, degree_digits) + padded(size % kPerDegree / kPerMinute, 2) +
           "." + padded(size % kPerMinute, 2) + "0" + (position < 0 ? negative : positive);
}

// Decimal degrees to seven places (a centimetre), rounded in integers: a
// hundredth of a minute is 1/6000 degree, which no binary fraction holds.
std::string decimal_degrees(int64_t position) {
    constexpr int64_t kPlaces = 10'000'000;
    const int64_t size = (std::llabs(position) * kPlaces + kPerDegree / 2) / kPerDegree;
    return (position < 0 && size != 0 ? "-" : "") + std::to_string(size / kPlaces) + "." +
           padded(size % kPlaces, 7);
}

// A CSV field in double quotes, a quote inside written twice.
std::string quoted(std::string_view text) {
    std::string field = "\"";
    for (char c : codec::to_utf8(text)) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

// A field in quotes only when it needs them; nothing when empty.
std::string plain_or_quoted(std::string_view text) {
    if (text.find_first_of(",\"") != std::string_view::npos) return quoted(text);
    return codec::to_utf8(text);
}

std::string optional_quoted(std::string_view text) { return text.empty() ? "" : quoted(text); }

std::string cup_line(const ClsWaypoint& waypoint, const Position& position) {
    return quoted(waypoint.strName()) + "," + plain_or_quoted(waypoint.strName()) + ",," +
           cup_angle(position.latitude, 2, 'N', 'S') + "," +
           cup_angle(position.longitude, 3, 'E', 'W') + "," + std::to_string(waypoint.intElev()) +
           ".0m," + std::to_string(cup_style(waypoint.strType())) + ",,," +
           optional_quoted(waypoint.strFreq()) + "," + optional_quoted(waypoint.strType());
}

// Takeoff and landing are the route's first and last member: a flight computer
// leaves both out of the task, whose points are then the route's own.
std::string cup_task_line(const Route& route) {
    std::string line = quoted(route.name);
    if (route.members.empty()) return line;
    line += "," + quoted(route.members.front()->strName());
    for (const ClsWaypoint* member : route.members) line += "," + quoted(member->strName());
    return line + "," + quoted(route.members.back()->strName());
}

// Text for XML content: UTF-8 with & < > escaped; a control character, which
// XML 1.0 cannot carry, becomes U+FFFD.
std::string xml_text(std::string_view text) {
    std::string out;
    for (char c : codec::to_utf8(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\t':
                out += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\xEF\xBF\xBD";
                } else {
                    out += c;
                }
        }
    }
    return out;
}

void gpx_element(std::string& out, std::string_view indent, std::string_view tag,
                 std::string_view text) {
    if (text.empty()) return;
    out.append(indent).append("<").append(tag).append(">");
    out.append(xml_text(text)).append("</").append(tag).append(">\n");
}

// A wpt or rtept: position, elevation, name, the frequency as comment, the point type.
void gpx_point(std::string& out, std::string_view tag, std::string_view indent,
               const ClsWaypoint& waypoint) {
    const Position position = *position_of(waypoint);
    const std::string inner = std::string(indent) + "  ";
    out.append(indent).append("<").append(tag);
    out.append(" lat=\"" + decimal_degrees(position.latitude) + "\" lon=\"" +
               decimal_degrees(position.longitude) + "\">\n");
    out.append(inner + "<ele>" + std::to_string(waypoint.intElev()) + "</ele>\n");
    out.append(inner + "<name>" + xml_text(waypoint.strName()) + "</name>\n");
    gpx_element(out, inner, "cmt", waypoint.strFreq());
    gpx_element(out, inner, "type", waypoint.strType());
    out.append(indent).append("</").append(tag).append(">\n");
}

bool contains_word(std::string_view type, std::string_view word) {
    std::string lower;
    for (char c : type) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower.find(word) != std::string::npos;
}

}  // namespace

std::optional<Position> position_of(const ClsWaypoint& waypoint) {
    Position position{signed_hundredths(waypoint.latitude(), waypoint.latitude_letter()),
                      signed_hundredths(waypoint.longitude(), waypoint.longitude_letter())};
    if (std::llabs(position.latitude) > 90 * kPerDegree) return std::nullopt;
    if (std::llabs(position.longitude) > 180 * kPerDegree) return std::nullopt;
    if (position.longitude == 180 * kPerDegree) position.longitude = -position.longitude;
    return position;
}

int cup_style(std::string_view type) {
    if (contains_word(type, "airfield") || contains_word(type, "airport")) return 5;
    if (contains_word(type, "outlanding")) return 3;
    return 1;
}

std::string cup_text(const Task& task) {
    std::string text;
    text.append(kCupHeader).append(kCrLf);
    for (const ClsWaypoint* waypoint : task.waypoints)
        text.append(cup_line(*waypoint, *position_of(*waypoint))).append(kCrLf);
    text.append(kCupTasks).append(kCrLf);
    for (const Route& route : task.routes) text.append(cup_task_line(route)).append(kCrLf);
    return text;
}

std::string gpx_text(const Task& task) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"tolvane\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
        "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";
    for (const ClsWaypoint* waypoint : task.waypoints) gpx_point(text, "wpt", "  ", *waypoint);
    for (const Route& route : task.routes) {
        text += "  <rte>\n";
        gpx_element(text, "    ", "name", route.name);
        for (const ClsWaypoint* member : route.members) gpx_point(text, "rtept", "    ", *member);
        text += "  </rte>\n";
    }
    return text + "</gpx>\n";
}

}  // namespace tlv::task_files
