#include "conversion/ClsWrite.h"

#include <array>
#include <cmath>

#include "conversion/ClsParse.h"
#include "shared/ClsError.h"
#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/text.h"

namespace tlv {
namespace {

constexpr std::string_view kTitle = "Waypoints hddd\xB0mm.mmm' WGS-84\r\n";
constexpr std::string_view kColumns =
    "      \t                                       \tLatitude    \tLongitude   \t Time    "
    "\tSymbol\tAlt\r\n";
constexpr char kTab = '\t';

// A row of N character cells, numbered from 1, each holding one character or nothing.
template <size_t N>
class Cells {
public:
    void put(size_t cell, char c) {
        check(cell);
        chars_[cell - 1] = c;
        used_[cell - 1] = true;
    }
    // Character k (from 1) of the text, or the empty character past its end.
    void put_char_of(size_t cell, std::string_view text, size_t k) {
        check(cell);
        if (k >= 1 && k <= text.size()) {
            put(cell, text[k - 1]);
        } else {
            used_[cell - 1] = false;
        }
    }
    void put_text(size_t first_cell, std::string_view text) {
        for (size_t i = 0; i < text.size(); ++i) put(first_cell + i, text[i]);
    }
    bool empty_at(size_t cell) const { return !used_[cell - 1]; }
    void append_to(std::string& out) const {
        std::array<char, N> line;
        size_t length = 0;
        for (size_t i = 0; i < N; ++i)
            if (used_[i]) line[length++] = chars_[i];
        out.append(line.data(), length);
    }
    std::string text() const {
        std::string out;
        append_to(out);
        return out;
    }

private:
    static void check(size_t cell) {
        if (cell < 1 || cell > N) raise(err::kSubscriptOutOfRange);
    }
    std::array<char, N> chars_{};
    std::array<bool, N> used_{};
};

using WaypointCells = Cells<109>;
using RouteCells = Cells<32>;

// Hundredths of a minute as thousandths: h / 100 * 1000, rounded halves to even.
std::string thousandths(const std::string& hundredths) {
    double scaled = static_cast<double>(parse_int16(hundredths)) / 100.0 * 1000.0;
    return std::to_string(to_int16(static_cast<int64_t>(std::nearbyint(scaled))));
}

// Places a number text right-aligned so that it ends in cell `last`, when its
// length is between 1 and `width`; otherwise the zeros already there stay.
void put_digits(WaypointCells& line, size_t last, size_t width, const std::string& digits) {
    if (digits.empty() || digits.size() > width) return;
    line.put_text(last + 1 - digits.size(), digits);
}

// A coordinate column: the hemisphere letter, then from `first` on a zero
// pattern of `degree_digits` degree digits, "°", 2 minute digits, ".", 3
// digits of thousandths and "'", overwritten by the numbers that fit.
void put_coordinate(WaypointCells& line, size_t letter, size_t first, size_t degree_digits,
                    const Coordinate& coordinate) {
    line.put_char_of(letter, coordinate[1], 1);
    line.put_text(first, std::string(degree_digits, '0') + "\xB0" "00.000'");
    size_t degrees_end = first + degree_digits - 1;
    put_digits(line, degrees_end, degree_digits, coordinate[2]);
    put_digits(line, degrees_end + 3, 2, coordinate[3]);
    put_digits(line, degrees_end + 7, 3, thousandths(coordinate[4]));
}

// The elevation from cell 105 on; cells past 109 are not written, so at
// most five characters are placed.
void put_list_columns(WaypointCells& line, int16_t elevation) {
    std::string e = std::to_string(elevation);
    for (size_t i = 105; i <= e.size() + 105 && i < 110; ++i) line.put_char_of(i, e, i - 104);
    line.put(82, '0');
    for (size_t i = 83; i <= 89; ++i) line.put(i, ' ');
    line.put(90, '0');
    line.put_text(97, " 0 ");
}

}  // namespace

std::string ClsWrite::schrijf(ClsParse& objParse) {
    parse_ = &objParse;
    try {
        text_.clear();
        text_.reserve(4096 + 112 * static_cast<size_t>(objParse.waypoints_.size()));
        text_ += kTitle;
        text_ += kColumns;
        objParse.WaypointsOphalen(*this);
        text_ += kCrLf;
        text_ += kCrLf;
        objParse.RoutesOphalen(*this);
        return std::move(text_);
    } catch (...) {
        report("schrijf", "");
        return {};
    }
}

void ClsWrite::Waypoint(const std::string& name, const std::string& frequency, int16_t elevation,
                        const Coordinate& longitude, const Coordinate& latitude, int32_t kind) {
    WaypointCells line;
    try {
        for (size_t i = 1; i <= name.size(); ++i) line.put(i, codec::to_upper(name[i - 1]));
        for (size_t i = 9; i <= frequency.size() + 9; ++i) line.put_char_of(i, frequency, i - 8);
        for (size_t i = 9; i <= 41; ++i)
            if (line.empty_at(i)) line.put(i, ' ');
        if (kind == kListLine) put_list_columns(line, elevation);
        for (size_t cell : {7, 48, 61, 77, 84, 91, 100}) line.put(cell, kTab);
        put_coordinate(line, 49, 51, 2, latitude);
        put_coordinate(line, 65, 66, 3, longitude);
        line.append_to(text_);
        text_ += kCrLf;
    } catch (...) {
        report("Waypoint", line.text());
    }
}

void ClsWrite::Route(int16_t nummer, const std::string& naam) {
    RouteCells line;
    try {
        line.put_text(1, "Route");
        std::string n = std::to_string(nummer);
        if (n.size() == 1) {
            line.put(7, '0');
            line.put(8, n[0]);
        } else if (n.size() == 2) {
            line.put_text(7, n);
        }
        line.put(9, kTab);
        for (size_t i = 17; i <= naam.size() + 17; ++i) line.put_char_of(i, naam, i - 16);
        line.append_to(text_);
        text_ += kCrLf;
    } catch (...) {
        report("Route", line.text());
    }
}

void ClsWrite::endRoute() { text_ += "<end>\r\n\r\n"; }

void ClsWrite::report(std::string_view plaats, std::string_view waarde) {
    parse_->strFout(ClsError().error("ClsWrite", current_failure_number(), plaats, waarde, false));
}

}  // namespace tlv
