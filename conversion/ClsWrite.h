#pragma once

#include <cstdint>
#include <string>

#include "conversion/ClsWaypoint.h"

namespace tlv {

class ClsParse;

// Composes the GARtrip text file in memory.  Each line is built in a row of
// character cells numbered from 1 (109 for a waypoint line, 32 for a route
// header); an empty cell adds nothing, and writing past the last cell is
// failure 9, which costs that line only.
class ClsWrite {
public:
    static constexpr int32_t kListLine = 2;
    static constexpr int32_t kMemberLine = 1;

    // The whole text; empty when a failure escaped the composing.
    std::string schrijf(ClsParse& objParse);
    void Route(int16_t nummer, const std::string& naam);
    void endRoute();
    void Waypoint(const std::string& name, const std::string& frequency, int16_t elevation,
                  const Coordinate& longitude, const Coordinate& latitude, int32_t kind);

private:
    void report(std::string_view plaats, std::string_view waarde);

    ClsParse* parse_ = nullptr;
    std::string text_;
};

}  // namespace tlv
