#pragma once

#include <array>
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
    // Composes into the buffer given (its text is dropped, its room kept).
    explicit ClsWrite(std::string buffer = {}) : text_(std::move(buffer)) {}

    static constexpr int32_t kListLine = 2;
    static constexpr int32_t kMemberLine = 1;

    // The whole text; empty when a failure escaped the composing.
    std::string schrijf(ClsParse& objParse);
    void Route(int16_t nummer, const std::string& naam);
    void endRoute();
    void Waypoint(const std::string& name, const std::string& frequency, int16_t elevation,
                  const Coordinate& longitude, const Coordinate& latitude, int32_t kind);
    // The same line from the waypoint's parsed numbers, without making their texts.
    void Waypoint(const ClsWaypoint& waypoint, int32_t kind);
    // The waypoint's line (empty when it fails) by each way of composing it:
    // the cells from its texts, the cells from its numbers, and the direct path
    // that the usual line takes.  They agree; the tests and the conversion fuzz
    // target check that they do.
    // Whether the waypoint's line is written: a name of at most 109 characters,
    // a frequency that ends inside the line, hundredths of a minute that stay
    // within 16 bits as thousandths.
    static bool writes_line(const ClsWaypoint& waypoint);
    static std::array<std::string, 3> waypoint_lines(const ClsWaypoint& waypoint, int32_t kind);
    const std::string& text() const { return text_; }  // composed so far

private:
    template <typename Pieces>
    void waypoint_line(std::string_view name, std::string_view frequency, int16_t elevation,
                       const Pieces& longitude, const Pieces& latitude, int32_t kind);
    void report(std::string_view plaats, std::string_view waarde);

    ClsParse* parse_ = nullptr;
    std::string text_;
};

}  // namespace tlv
