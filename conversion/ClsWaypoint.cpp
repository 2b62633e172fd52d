#include "conversion/ClsWaypoint.h"

#include "shared/int16.h"

namespace tlv {
namespace {

// Characters from a 0-based start, shortened to what the text holds.
std::string_view piece(std::string_view text, size_t start, size_t length) {
    if (start >= text.size()) return {};
    return text.substr(start, length);
}

}  // namespace

// The text is read by fixed positions; the separators after the degrees and
// the minutes are not examined.
void ClsWaypoint::parse_angle(std::string_view text, size_t degree_digits, char first_hemisphere,
                              Angle& angle) {
    angle.hemisphere = !text.empty() && text.front() == first_hemisphere ? 1 : 2;
    angle.degrees = parse_int16(piece(text, 1, degree_digits));
    angle.minutes = parse_int16(piece(text, degree_digits + 2, Angle::kMinuteDigits));
    angle.hundredths = parse_int16(piece(text, degree_digits + 5, 2));
}

void ClsWaypoint::strLon(std::string_view strval) { parse_angle(strval, 3, 'E', longitude_); }

void ClsWaypoint::strLat(std::string_view strval) { parse_angle(strval, 2, 'N', latitude_); }

Coordinate ClsWaypoint::to_coordinate(const Angle& angle, char letter) {
    return {std::string(), std::string(1, letter), std::to_string(angle.degrees),
            std::to_string(angle.minutes), std::to_string(angle.hundredths)};
}

Coordinate ClsWaypoint::varLatitude() const { return to_coordinate(latitude_, latitude_letter()); }

Coordinate ClsWaypoint::varLongtitude() const {
    return to_coordinate(longitude_, longitude_letter());
}

}  // namespace tlv
