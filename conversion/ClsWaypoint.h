#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tlv {

// A coordinate as the writer takes it: index 0 empty, 1 the hemisphere
// letter, 2 degrees, 3 minutes, 4 hundredths of a minute, as decimal texts.
using Coordinate = std::array<std::string, 5>;

// One point block of the exchange file.  Coordinates are kept only in parsed
// form; the texts they came from are not stored.
class ClsWaypoint {
public:
    void strName(std::string_view strval) { name_ = strval; }
    const std::string& strName() const { return name_; }
    void strType(std::string_view strval) { type_ = strval; }
    const std::string& strType() const { return type_; }

    // "E005:07.50": hemisphere, DDD, separator, MM, separator, hh.  A number
    // piece that is empty or no number is failure 13; the hemisphere and the
    // pieces before the bad one keep their new values.
    void strLon(std::string_view strval);
    // "N52:07.05": the same with two degree digits.
    void strLat(std::string_view strval);

    void intElev(int16_t value) { elevation_ = value; }
    int16_t intElev() const { return elevation_; }
    void strFreq(std::string_view strval) { frequency_ = strval; }
    const std::string& strFreq() const { return frequency_; }

    Coordinate varLatitude() const;
    Coordinate varLongtitude() const;

    // The parsed numbers behind varLatitude and varLongtitude, for the writer.
    struct Angle {
        static constexpr size_t kMinuteDigits = 2;  // read and written
        int32_t hemisphere = 0;  // longitude: 1 east, 2 west; latitude: 1 north, 2 south
        int16_t degrees = 0;
        int16_t minutes = 0;
        int16_t hundredths = 0;
    };
    const Angle& latitude() const { return latitude_; }
    const Angle& longitude() const { return longitude_; }
    char latitude_letter() const { return latitude_.hemisphere == 2 ? 'S' : 'N'; }
    char longitude_letter() const { return longitude_.hemisphere == 1 ? 'E' : 'W'; }

private:
    static void parse_angle(std::string_view text, size_t degree_digits, char first_hemisphere,
                            Angle& angle);
    static Coordinate to_coordinate(const Angle& angle, char letter);

    std::string name_;
    std::string type_;
    std::string frequency_;
    Angle longitude_;
    Angle latitude_;
    int16_t elevation_ = 0;
};

}  // namespace tlv
