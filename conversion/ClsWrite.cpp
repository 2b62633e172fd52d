#include "conversion/ClsWrite.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>

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

// The cells of a waypoint line (numbered from 1, 109 in all) and of a route
// header line (32 in all).  Later steps overwrite earlier ones, so a long
// name or frequency text loses characters to the fixed columns.
namespace cell {
constexpr size_t kWaypointLine = 109;
constexpr size_t kFrequency = 9;      // frequency text from here ...
constexpr size_t kBlankFillEnd = 41;  // ... blanks fill the empty cells up to here
constexpr size_t kTabs[] = {7, 48, 61, 77, 84, 91, 100};
constexpr size_t kLatitudeLetter = 49;  // N/S, then from 51: 00°00.000'
constexpr size_t kLatitude = 51;
constexpr size_t kLongitudeLetter = 65;  // E/W, then from 66: 000°00.000'
constexpr size_t kLongitude = 66;
constexpr size_t kTime = 82;        // list lines only: "0", 7 blanks (83-89), ...
constexpr size_t kSymbol = 90;      // ... "0", ...
constexpr size_t kUnnamed = 97;     // ... " 0 " (97-99), ...
constexpr size_t kElevation = 105;  // ... and the elevation in 105-109

// The fixed texts of a list line's time, symbol and unnamed columns, by
// their first cell; the tabs in kTabs overwrite what lies under them.
struct Piece {
    size_t first;
    std::string_view text;
};
constexpr Piece kListPieces[] = {
    {kTime, "0"}, {kTime + 1, "       "}, {kSymbol, "0"}, {kUnnamed, " 0 "}};

constexpr size_t kRouteLine = 32;
constexpr size_t kRouteNumber = 7;  // "Route" in 1-5, two digits in 7-8
constexpr size_t kRouteTab = 9;
constexpr size_t kRouteName = 17;
}  // namespace cell

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
    // As many characters as fit; failure 9 after them when the text runs past the row.
    void put_text(size_t first_cell, std::string_view text) {
        check(first_cell);
        const size_t fit = std::min(text.size(), N + 1 - first_cell);
        for (size_t i = 0; i < fit; ++i) {
            chars_[first_cell - 1 + i] = text[i];
            used_[first_cell - 1 + i] = true;
        }
        if (fit < text.size()) raise(err::kSubscriptOutOfRange);
    }
    bool empty_at(size_t cell) const { return !used_[cell - 1]; }
    void append_to(std::string& out) const {
        std::array<char, N> line;
        size_t length = 0;
        size_t i = 0;
        for (; i + 8 <= N; i += 8) {  // eight cells at a time where all are used
            uint64_t used;
            std::memcpy(&used, used_.data() + i, 8);
            if (used == 0x0101010101010101) {
                std::memcpy(line.data() + length, chars_.data() + i, 8);
                length += 8;
                continue;
            }
            for (size_t j = i; j < i + 8; ++j) {
                line[length] = chars_[j];
                length += used_[j];
            }
        }
        for (; i < N; ++i) {
            line[length] = chars_[i];
            length += used_[i];
        }
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

using WaypointCells = Cells<cell::kWaypointLine>;
using RouteCells = Cells<cell::kRouteLine>;

// A coordinate's pieces given as texts: [1] the hemisphere letter, [2] the
// degrees, [3] the minutes, [4] the hundredths of a minute.
struct TextPieces {
    const Coordinate& coordinate;
    std::string_view degrees() const { return coordinate[2]; }
    std::string_view minutes() const { return coordinate[3]; }
    // Hundredths of a minute as thousandths: h / 100 * 1000, rounded halves
    // to even, is exactly h * 10 for every 16-bit h.
    std::string thousandths() const {
        return std::to_string(to_int16(int32_t{parse_int16(coordinate[4])} * 10));
    }
};

// The decimal text of a number, in a buffer of its own.
class Decimal {
public:
    explicit Decimal(int32_t value)
        : end_(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr) {}
    std::string_view text() const { return {digits_, static_cast<size_t>(end_ - digits_)}; }
    operator std::string_view() const { return text(); }

private:
    char digits_[12];
    char* end_;
};

// The same pieces from a waypoint's parsed numbers, made without the heap.
// Thousandths that leave 16 bits fail here, before the line is begun.
struct NumberPieces {
    NumberPieces(const ClsWaypoint::Angle& angle, char hemisphere)
        : letter(hemisphere),
          degree_number(angle.degrees),
          minute_number(angle.minutes),
          thousandth_number(to_int16(int32_t{angle.hundredths} * 10)) {}
    Decimal degrees() const { return Decimal(degree_number); }
    Decimal minutes() const { return Decimal(minute_number); }
    Decimal thousandths() const { return Decimal(thousandth_number); }

    char letter;
    int16_t degree_number, minute_number, thousandth_number;
};

std::string_view letter_of(const TextPieces& pieces) { return pieces.coordinate[1]; }
std::string_view letter_of(const NumberPieces& pieces) { return {&pieces.letter, 1}; }

// A coordinate's zero pattern for 3 degree digits; latitude drops the first.
constexpr std::string_view kZeros =
    "000\xB0"
    "00.000'";

// Places a number text right-aligned so that it ends in cell `last`, when its
// length is between 1 and `width`; otherwise the zeros already there stay.
void put_digits(WaypointCells& line, size_t last, size_t width, std::string_view digits) {
    if (digits.empty() || digits.size() > width) return;
    line.put_text(last + 1 - digits.size(), digits);
}

// A coordinate column: the hemisphere letter, then from `first` on a zero
// pattern of 2 (latitude) or 3 (longitude) degree digits, "°", 2 minute
// digits, ".", 3 digits of thousandths and "'", overwritten by the numbers
// that fit.
template <typename Pieces>
void put_coordinate(WaypointCells& line, size_t letter, size_t first, size_t degree_digits,
                    const Pieces& pieces) {
    line.put_char_of(letter, letter_of(pieces), 1);
    line.put_text(first, kZeros.substr(3 - degree_digits));
    size_t degrees_end = first + degree_digits - 1;
    put_digits(line, degrees_end, degree_digits, pieces.degrees());
    put_digits(line, degrees_end + 3, ClsWaypoint::Angle::kMinuteDigits, pieces.minutes());
    put_digits(line, degrees_end + 7, 3, pieces.thousandths());
}

// The elevation from its cell on; cells past the line's end are not
// written, so at most five characters are placed.
void put_list_columns(WaypointCells& line, int16_t elevation) {
    const Decimal decimal(elevation);
    const std::string_view e = decimal.text();
    for (size_t i = cell::kElevation; i <= e.size() + cell::kElevation && i <= cell::kWaypointLine;
         ++i)
        line.put_char_of(i, e, i - cell::kElevation + 1);
    for (const cell::Piece& piece : cell::kListPieces) line.put_text(piece.first, piece.text);
}

// The cells between the longitude's tab and the elevation as the steps above
// leave them, empty cells dropped: the direct path copies them whole.
struct FixedColumns {
    std::array<char, cell::kElevation> text{};
    size_t size = 0;
    std::string_view view() const { return {text.data(), size}; }
};
constexpr FixedColumns fixed_columns(bool list) {
    constexpr size_t kFirst = cell::kTabs[3] + 1;
    std::array<char, cell::kElevation> chars{};
    std::array<bool, cell::kElevation> used{};
    if (list) {
        for (const cell::Piece& piece : cell::kListPieces) {
            for (size_t i = 0; i < piece.text.size(); ++i) {
                chars[piece.first + i] = piece.text[i];
                used[piece.first + i] = true;
            }
        }
    }
    for (size_t tab : cell::kTabs) {
        chars[tab] = kTab;
        used[tab] = true;
    }
    FixedColumns columns;
    for (size_t c = kFirst; c < cell::kElevation; ++c)
        if (used[c]) columns.text[columns.size++] = chars[c];
    return columns;
}
constexpr FixedColumns kListColumns = fixed_columns(true);
constexpr FixedColumns kMemberColumns = fixed_columns(false);

// The usual waypoint line, composed straight into the text: a name of at
// most 47 characters and a frequency of at most 32 reach no fixed column but
// the tab in cell 7, so the cells come out as below, the same as row by row.
constexpr size_t kPlainName = cell::kTabs[1] - 1;
constexpr size_t kPlainFrequency = cell::kBlankFillEnd - cell::kFrequency;

// "000" to "999": the zero-padded digits of every number below 1000.
constexpr auto kThreeDigits = [] {
    std::array<char, 3000> digits{};
    for (size_t n = 0; n < 1000; ++n) {
        digits[3 * n] = static_cast<char>('0' + n / 100);
        digits[3 * n + 1] = static_cast<char>('0' + n / 10 % 10);
        digits[3 * n + 2] = static_cast<char>('0' + n % 10);
    }
    return digits;
}();

// Places a number so that it ends before `end`, over the zeros there: a
// number of 0 to `Width` digits as its zero-padded digits, written straight;
// any other number as its decimal text when that fits (see put_digits).
template <size_t Width>
void place_number(char* end, int16_t number) {
    constexpr int16_t kLimit = Width == 2 ? 100 : 1000;
    static_assert(Width == 2 || Width == 3);
    if (number >= 0 && number < kLimit) {
        std::memcpy(end - Width, kThreeDigits.data() + 3 * static_cast<size_t>(number) + 3 - Width,
                    Width);
        return;
    }
    const Decimal decimal(number);
    if (decimal.text().size() <= Width)
        std::memcpy(end - decimal.text().size(), decimal.text().data(), decimal.text().size());
}

// Hemisphere letter, the empty cell after it, then the zero pattern with the
// numbers that fit (see put_coordinate).
template <size_t DegreeDigits>
char* append_coordinate(char* at, const NumberPieces& pieces) {
    constexpr std::string_view zeros = kZeros.substr(3 - DegreeDigits);
    *at++ = pieces.letter;
    std::memcpy(at, zeros.data(), zeros.size());
    place_number<DegreeDigits>(at + DegreeDigits, pieces.degree_number);
    place_number<ClsWaypoint::Angle::kMinuteDigits>(at + DegreeDigits + 3, pieces.minute_number);
    place_number<3>(at + DegreeDigits + 7, pieces.thousandth_number);
    return at + zeros.size();
}

void append_plain_line(std::string& out, std::string_view name, std::string_view frequency,
                       int16_t elevation, const NumberPieces& longitude,
                       const NumberPieces& latitude, bool list) {
    std::array<char, cell::kWaypointLine + 2> line;
    char* at = line.data();
    auto upper = [&](size_t from, size_t to) {  // name characters [from, to), 0-based
        for (size_t i = from; i < std::min(to, name.size()); ++i) *at++ = codec::to_upper(name[i]);
    };
    upper(0, cell::kTabs[0] - 1);  // cells 1-6
    *at++ = kTab;
    upper(cell::kTabs[0], cell::kFrequency - 1);  // cell 8
    char* const fill = at;  // cells 9-41: the frequency, a blank, the name or blanks
    std::memset(fill, ' ', kPlainFrequency + 1);
    upper(cell::kFrequency - 1, cell::kBlankFillEnd);
    std::memcpy(fill, frequency.data(), frequency.size());
    fill[frequency.size()] = ' ';
    at = fill + kPlainFrequency + 1;
    upper(cell::kBlankFillEnd, kPlainName);  // cells 42-47
    *at++ = kTab;
    at = append_coordinate<2>(at, latitude);
    *at++ = kTab;
    at = append_coordinate<3>(at, longitude);
    *at++ = kTab;
    const std::string_view columns = (list ? kListColumns : kMemberColumns).view();
    std::memcpy(at, columns.data(), columns.size());
    at += columns.size();
    if (list) {
        const Decimal decimal(elevation);
        const std::string_view e = decimal.text();
        const size_t shown = std::min<size_t>(e.size(), cell::kWaypointLine + 1 - cell::kElevation);
        std::memcpy(at, e.data(), shown);
        at += shown;
    }
    *at++ = '\r';
    *at++ = '\n';
    out.append(line.data(), static_cast<size_t>(at - line.data()));
}

}  // namespace

std::string ClsWrite::schrijf(ClsParse& objParse) {
    parse_ = &objParse;
    try {
        text_.clear();
        // Room for every line at once, route members included: a text of
        // hundreds of megabytes must not be copied while it grows.
        size_t lines = static_cast<size_t>(objParse.waypoints_.size());
        for (const auto& route : objParse.routes_) lines += route->colWaypoints().size() + 2;
        text_.reserve(4096 + 112 * lines);
        text_ += kTitle;
        text_ += kColumns;
        objParse.WaypointsOphalen(*this);
        text_ += kCrLf;
        text_ += kCrLf;
        objParse.RoutesOphalen(*this);
        return std::move(text_);
    } catch (...) {
        report(__func__, "");
        return {};
    }
}

void ClsWrite::Waypoint(const std::string& name, const std::string& frequency, int16_t elevation,
                        const Coordinate& longitude, const Coordinate& latitude, int32_t kind) {
    waypoint_line(name, frequency, elevation, TextPieces{longitude}, TextPieces{latitude}, kind);
}

void ClsWrite::Waypoint(const ClsWaypoint& waypoint, int32_t kind) {
    const NumberPieces longitude(waypoint.longitude(), waypoint.longitude_letter());
    const NumberPieces latitude(waypoint.latitude(), waypoint.latitude_letter());
    if (waypoint.strName().size() <= kPlainName && waypoint.strFreq().size() <= kPlainFrequency)
        return append_plain_line(text_, waypoint.strName(), waypoint.strFreq(), waypoint.intElev(),
                                 longitude, latitude, kind == kListLine);
    waypoint_line(waypoint.strName(), waypoint.strFreq(), waypoint.intElev(), longitude, latitude,
                  kind);
}

bool ClsWrite::writes_line(const ClsWaypoint& waypoint) {
    auto thousandths_fit = [](const ClsWaypoint::Angle& angle) {
        const int32_t thousandths = int32_t{angle.hundredths} * 10;
        return thousandths >= INT16_MIN && thousandths <= INT16_MAX;
    };
    return waypoint.strName().size() <= cell::kWaypointLine &&
           waypoint.strFreq().size() + cell::kFrequency <= cell::kWaypointLine &&
           thousandths_fit(waypoint.latitude()) && thousandths_fit(waypoint.longitude());
}

std::array<std::string, 3> ClsWrite::waypoint_lines(const ClsWaypoint& waypoint, int32_t kind) {
    ClsWrite texts, numbers, direct;
    texts.Waypoint(waypoint.strName(), waypoint.strFreq(), waypoint.intElev(),
                   waypoint.varLongtitude(), waypoint.varLatitude(), kind);
    try {
        numbers.waypoint_line(waypoint.strName(), waypoint.strFreq(), waypoint.intElev(),
                              NumberPieces(waypoint.longitude(), waypoint.longitude_letter()),
                              NumberPieces(waypoint.latitude(), waypoint.latitude_letter()), kind);
        direct.Waypoint(waypoint, kind);
    } catch (...) {  // thousandths past 16 bits: no line by the numbers either
    }
    return {texts.text_, numbers.text_, direct.text_};
}

template <typename Pieces>
void ClsWrite::waypoint_line(std::string_view name, std::string_view frequency, int16_t elevation,
                             const Pieces& longitude, const Pieces& latitude, int32_t kind) {
    WaypointCells line;
    try {
        for (size_t i = 1; i <= name.size(); ++i) line.put(i, codec::to_upper(name[i - 1]));
        for (size_t i = cell::kFrequency; i <= frequency.size() + cell::kFrequency; ++i)
            line.put_char_of(i, frequency, i - cell::kFrequency + 1);
        for (size_t i = cell::kFrequency; i <= cell::kBlankFillEnd; ++i)
            if (line.empty_at(i)) line.put(i, ' ');
        if (kind == kListLine) put_list_columns(line, elevation);
        for (size_t tab : cell::kTabs) line.put(tab, kTab);
        put_coordinate(line, cell::kLatitudeLetter, cell::kLatitude, 2, latitude);
        put_coordinate(line, cell::kLongitudeLetter, cell::kLongitude, 3, longitude);
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
        if (n.size() == 1) n = "0" + n;
        if (n.size() == 2) line.put_text(cell::kRouteNumber, n);
        line.put(cell::kRouteTab, kTab);
        for (size_t i = cell::kRouteName; i <= naam.size() + cell::kRouteName; ++i)
            line.put_char_of(i, naam, i - cell::kRouteName + 1);
        line.append_to(text_);
        text_ += kCrLf;
    } catch (...) {
        report(__func__, line.text());
    }
}

void ClsWrite::endRoute() { text_ += "<end>\r\n\r\n"; }

// The message goes to the conversion's error text when there is one: a
// writer used on its own only logs.
void ClsWrite::report(std::string_view plaats, std::string_view waarde) {
    std::string message =
        ClsError().error("ClsWrite", current_failure_number(), plaats, waarde, false);
    if (parse_) parse_->strFout(message);
}

}  // namespace tlv
