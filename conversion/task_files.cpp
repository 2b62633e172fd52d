#include "conversion/task_files.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <utility>

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

// "DDMM.mmmN" or "DDDMM.mmmE": the exchange's hundredths of a minute and a 0.
std::string cup_angle(int64_t position, size_t degree_digits, char positive, char negative) {
    const auto size = static_cast<uint64_t>(std::llabs(position));
    std::string angle;
    append_padded(angle, size / kPerDegree, degree_digits);
    append_padded(angle, size % kPerDegree / kPerMinute, 2);
    angle += '.';
    append_padded(angle, size % kPerMinute, 2);
    angle += '0';
    angle += position < 0 ? negative : positive;
    return angle;
}

// Decimal degrees to seven places (a centimetre), rounded in integers: a
// hundredth of a minute is 1/6000 degree, which no binary fraction holds.
std::string decimal_degrees(int64_t position) {
    constexpr uint64_t kPlaces = 10'000'000;
    const auto size =
        (static_cast<uint64_t>(std::llabs(position)) * kPlaces + kPerDegree / 2) / kPerDegree;
    std::string degrees = position < 0 && size != 0 ? "-" : "";
    degrees += std::to_string(size / kPlaces);
    degrees += '.';
    append_padded(degrees, size % kPlaces, 7);
    return degrees;
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
std::string gpx_point(std::string_view tag, std::string_view indent, const ClsWaypoint& waypoint) {
    const Position position = *position_of(waypoint);
    const std::string inner = std::string(indent) + "  ";
    std::string out;
    out.append(indent).append("<").append(tag);
    out.append(" lat=\"" + decimal_degrees(position.latitude) + "\" lon=\"" +
               decimal_degrees(position.longitude) + "\">\n");
    out.append(inner + "<ele>" + std::to_string(waypoint.intElev()) + "</ele>\n");
    out.append(inner + "<name>" + xml_text(waypoint.strName()) + "</name>\n");
    gpx_element(out, inner, "cmt", waypoint.strFreq());
    gpx_element(out, inner, "type", waypoint.strType());
    out.append(indent).append("</").append(tag).append(">\n");
    return out;
}

// A waypoint's text, composed once however often the routes name it.
template <typename Compose>
class Fragments {
public:
    explicit Fragments(Compose compose) : compose_(std::move(compose)) {}
    const std::string& of(const ClsWaypoint* waypoint) {
        auto [at, added] = made_.try_emplace(waypoint);
        if (added) at->second = compose_(*waypoint);
        return at->second;
    }

private:
    Compose compose_;
    std::unordered_map<const ClsWaypoint*, std::string> made_;
};

// The text that `write` puts piece by piece, in a string allocated once: a
// first run counts the bytes.  A task of millions of route members must not
// be copied while its text grows.
template <typename Write>
std::string composed(const Write& write) {
    size_t size = 0;
    write([&](std::string_view piece) { size += piece.size(); });
    std::string text;
    text.reserve(size);
    write([&](std::string_view piece) { text.append(piece); });
    return text;
}

// Whether the text holds the word, letters compared in upper case.
bool contains_word(std::string_view type, std::string_view word) {
    return !std::ranges::search(type, word, {}, codec::to_upper, codec::to_upper).empty();
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
    Fragments lines([](const ClsWaypoint& waypoint) {
        return cup_line(waypoint, *position_of(waypoint)).append(kCrLf);
    });
    Fragments names([](const ClsWaypoint& waypoint) { return quoted(waypoint.strName()); });
    return composed([&](auto&& put) {
        put(kCupHeader), put(kCrLf);
        for (const ClsWaypoint* waypoint : task.waypoints) put(lines.of(waypoint));
        put(kCupTasks), put(kCrLf);
        for (const Route& route : task.routes) {
            put(quoted(route.name));
            // Takeoff and landing are the route's first and last member: a flight computer
            // leaves both out of the task, whose points are then the route's own.
            if (!route.members.empty()) put(","), put(names.of(route.members.front()));
            for (const ClsWaypoint* member : route.members) put(","), put(names.of(member));
            if (!route.members.empty()) put(","), put(names.of(route.members.back()));
            put(kCrLf);
        }
    });
}

std::string gpx_text(const Task& task) {
    Fragments wpts([](const ClsWaypoint& waypoint) { return gpx_point("wpt", "  ", waypoint); });
    Fragments rtepts(
        [](const ClsWaypoint& waypoint) { return gpx_point("rtept", "    ", waypoint); });
    return composed([&](auto&& put) {
        put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<gpx version=\"1.1\" creator=\"tolvane\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
            "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n");
        for (const ClsWaypoint* waypoint : task.waypoints) put(wpts.of(waypoint));
        for (const Route& route : task.routes) {
            put("  <rte>\n");
            if (!route.name.empty()) put("    <name>"), put(xml_text(route.name)), put("</name>\n");
            for (const ClsWaypoint* member : route.members) put(rtepts.of(member));
            put("  </rte>\n");
        }
        put("</gpx>\n");
    });
}

}  // namespace tlv::task_files
