#include "conversion/ClsWaypoint.h"

#include "shared/int16.h"

namespace tlv {
namespace {

// Characters from a 0-based start, shortened to what the text holds.
std::string_view piece(std::string_view text, size_t start, size_t length) {
    if (start >= text.size()) return {};
    return text.substr(start, length);
}

// The number written by the N characters at `at`, or -1 when one of them
// is no digit.
template <size_t N>
int16_t digits_at(const char* at) {
    int16_t value = 0;
    for (size_t i = 0; i < N; ++i) {
        if (at[i] < '0' || at[i] > '9') return -1;
        value = static_cast<int16_t>(value * 10 + (at[i] - '0'));
    }
    return value;
}

}  // namespace

// The text is read by fixed positions; the separators after the degrees and
// the minutes are not examined.  Whole pieces of digits, as nearly every
// coordinate has, are read straight; anything else as a number text.
template <size_t DegreeDigits>
void ClsWaypoint::parse_angle(std::string_view text, char first_hemisphere, Angle& angle) {
    constexpr size_t kMinutes = DegreeDigits + 2, kHundredths = DegreeDigits + 5;
    angle.hemisphere = !text.empty() && text.front() == first_hemisphere ? 1 : 2;
    if (text.size() >= kHundredths + 2) {
        const int16_t degrees = digits_at<DegreeDigits>(text.data() + 1);
        const int16_t minutes = digits_at<Angle::kMinuteDigits>(text.data() + kMinutes);
        const int16_t hundredths = digits_at<2>(text.data() + kHundredths);
        if (degrees >= 0 && minutes >= 0 && hundredths >= 0) {
            angle.degrees = degrees;
            angle.minutes = minutes;
            angle.hundredths = hundredths;
            return;
        }
    }
    angle.degrees = parse_int16(piece(text, 1, DegreeDigits));
    angle.minutes = parse_int16(piece(text, kMinutes, Angle::kMinuteDigits));
    angle.hundredths = parse_int16(piece(text, kHundredths, 2));
}

void ClsWaypoint::strLon(std::string_view strval) { parse_angle<3>(strval, 'E', longitude_); }

void ClsWaypoint::strLat(std::string_view strval) { parse_angle<2>(strval, 'N', latitude_); }

Coordinate ClsWaypoint::to_coordinate(const Angle& angle, char letter) {
    return {std::string(), std::string(1, letter), std::to_string(angle.degrees),
            std::to_string(angle.minutes), std::to_string(angle.hundredths)};
}

Coordinate ClsWaypoint::varLatitude() const { return to_coordinate(latitude_, latitude_letter()); }

Coordinate ClsWaypoint::varLongtitude() const {
    return to_coordinate(longitude_, longitude_letter());
}

}  // namespace tlv
