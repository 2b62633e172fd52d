#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "conversion/ClsParse.h"
#include "shared/byte_search.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/text.h"

namespace tlv {
namespace {

constexpr size_t kAbsent = std::string_view::npos;
constexpr std::string_view kMemberKey = "waypoint = ";

// The next occurrence of a keyword or a brace at or after a position that
// only moves forward.  The text does not change, so a found position stays
// valid until the position passes it and an absent one stays absent: every
// search resumes where the last one stopped and the whole scan is linear.
template <size_t (*Search)(std::string_view text, size_t from)>
class NextFinder {
public:
    explicit NextFinder(std::string_view text) : text_(text) {}

    size_t at(size_t from) {
        if (searched_ && (found_ == kAbsent || found_ >= from)) return found_;
        found_ = from >= text_.size() ? kAbsent : Search(text_, from);
        searched_ = true;
        return found_;
    }

private:
    std::string_view text_;
    size_t found_ = kAbsent;
    bool searched_ = false;
};

template <char C>
size_t find_byte(std::string_view text, size_t from) {
    const size_t at = bytes::find_any<C>(text, from);
    return at == text.size() ? kAbsent : at;
}
// A keyword is usually a few bytes ahead: its first letter is looked for inline.
template <char First>
size_t find_word(std::string_view text, size_t from, std::string_view word) {
    for (size_t at = find_byte<First>(text, from); at != kAbsent;
         at = find_byte<First>(text, at + 1))
        if (text.substr(at, word.size()) == word) return at;
    return kAbsent;
}
size_t find_point(std::string_view text, size_t from) {
    return find_word<'p'>(text, from, "point");
}
size_t find_route(std::string_view text, size_t from) {
    return find_word<'r'>(text, from, "route");
}

// A 0-based position as the reports write it: 1-based, 0 when absent.
std::string position_text(size_t position) {
    return std::to_string(position == kAbsent ? 0 : position + 1);
}

}  // namespace

struct ClsParse::Scan {
    explicit Scan(std::string_view working)
        : text(working), point(working), route(working), open(working), close(working) {}

    std::string_view text;
    NextFinder<find_point> point;
    NextFinder<find_route> route;
    NextFinder<find_byte<'{'>> open;
    NextFinder<find_byte<'}'>> close;
};

// Returns false when a failure ended the scan: the text file is then not written.
bool ClsParse::scan_blocks(std::string_view text) {
    Scan scan(text);
    // Room at once for the blocks: at most one per "{"; the 16-bit counter
    // ends the scan after 32767.  Should more come, they get room as they come.
    waypoints_.reserve(std::min<size_t>(bytes::count<'{'>(text), INT16_MAX));
    uint64_t blocks = 0;
    size_t point = kAbsent;
    size_t route = kAbsent;
    try {
        for (;;) {
            point = scan.point.at(scan_position_);
            route = scan.route.at(scan_position_);
            if (point == kAbsent && route == kAbsent) return true;
            ++blocks;
            if (progress_) {
                std::string aant_regels = std::to_string(blocks);
                progress_(aant_regels);
            }
            scan_position_ += 3;
            const bool is_route = route < point;  // an absent keyword is at kAbsent, past all
            Cut cut = Cut::kBlock;
            std::string_view block = BeginEindpunt(scan, cut);
            if (cut == Cut::kCutOff) return true;  // write what was read before it
            if (is_route) {
                NieuweRoute(block);
            } else {
                nieuweWaypoint(block);
            }
        }
    } catch (...) {
        report("watGaanWeDoen", "Waypoint op positie:" + position_text(point) +
                                    "Route op positie:" + position_text(route));
        return false;
    }
}

// The text between the next "{" and the next "}" (both searched from the
// scan position).  Without a "{" ahead the block is empty and the scan
// position stays, so the scan creeps past the keyword 3 characters at a time;
// without any "}" ahead the file was cut off and the scan ends.
std::string_view ClsParse::BeginEindpunt(Scan& scan, Cut& cut) {
    size_t open = scan.open.at(scan_position_);
    if (open == kAbsent) {
        cut = Cut::kBlock;
        return {};
    }
    size_t start = open + 1;
    size_t close = scan.close.at(scan_position_);
    if (close != kAbsent && close >= start) {
        scan_position_ = close + 1;
        cut = Cut::kBlock;
        return scan.text.substr(start, close - start);
    }
    report(Failure(err::kInvalidArgument), "BeginEindpunt",
           "tussen:" + position_text(start) + " en:" + position_text(close));
    cut = close == kAbsent ? Cut::kCutOff : Cut::kBlock;
    return {};
}

// The value behind the key at a known position, up to the next CR LF.  Inline:
// a conversion reads six values per point block.
[[gnu::always_inline]] inline std::string_view ClsParse::tekstWaarde(std::string_view text,
                                                                     std::string_view key,
                                                                     size_t at) {
    if (at == kAbsent) return {};
    size_t start = at + key.size();
    size_t end = bytes::find_crlf(text, start);
    if (end != kAbsent) return text.substr(start, end - start);
    no_line_end(text, key);
    return {};
}

// The same behind the key's first occurrence.  An absent key gives the empty
// value; the caller's rules decide whether that fails.
std::string_view ClsParse::tekstWaarde(std::string_view text, std::string_view key) {
    return tekstWaarde(text, key, text.find(key));
}

void ClsParse::no_line_end(std::string_view text, std::string_view key) {
    std::string waarde = "Bij het zoeken naar:";
    waarde += key;
    waarde += " in de tekst:";
    waarde += text;
    report(Failure(err::kInvalidArgument), "tekstWaarde", waarde);
}

namespace {

// The keys of a point block, in the order they are read.
enum PointKey : size_t { kName, kType, kLon, kLat, kElev, kFrequency, kPointKeys };
constexpr std::array<std::string_view, kPointKeys> kPointKeyTexts = {
    "name = ", "type = ", "lon = ", "lat = ", "elev = ", "frequency = "};

// The key that ends in the " = " around position `equals`, when there is one.
// No key's word ends another's, so the letter before " = " leaves one
// candidate (two for "e"), compared as a whole.
std::optional<PointKey> key_ending_at(std::string_view block, size_t equals) {
    if (equals < 2 || equals + 1 >= block.size() || block[equals - 1] != ' ' ||
        block[equals + 1] != ' ')
        return std::nullopt;
    const std::string_view before = block.substr(0, equals - 1);
    auto ends_with_word = [&](PointKey key) -> std::optional<PointKey> {
        const std::string_view text = kPointKeyTexts[key];
        if (!before.ends_with(text.substr(0, text.size() - 3))) return std::nullopt;
        return key;
    };
    switch (before.back()) {
        case 'e':
            return ends_with_word(kName) ? kName : ends_with_word(kType);
        case 'n':
            return ends_with_word(kLon);
        case 't':
            return ends_with_word(kLat);
        case 'v':
            return ends_with_word(kElev);
        case 'y':
            return ends_with_word(kFrequency);
        default:
            return std::nullopt;
    }
}

// The first position of each key in a block, found in one pass: every key is
// a word and " = ", so looking at each "=" once, in order, finds each key's
// first occurrence exactly as a search from the block's start would.
std::array<size_t, kPointKeys> first_keys(std::string_view block) {
    std::array<size_t, kPointKeys> first;
    first.fill(kAbsent);
    for (size_t equals = bytes::find_any<'='>(block, 0); equals < block.size();
         equals = bytes::find_any<'='>(block, equals + 1)) {
        const std::optional<PointKey> key = key_ending_at(block, equals);
        if (key && first[*key] == kAbsent) first[*key] = equals + 2 - kPointKeyTexts[*key].size();
    }
    return first;
}

// A quoted value without its first and last character; nothing when it is
// shorter than 2 (failure 5 for the caller).
std::optional<std::string_view> unquoted(std::string_view value) {
    if (value.size() < 2) return std::nullopt;
    return value.substr(1, value.size() - 2);
}

}  // namespace

// The name is checked before anything is thrown: a file full of empty blocks
// must not cost an exception per block.
void ClsParse::nieuweWaypoint(std::string_view block) {
    // An overflow of the counter is no fault of this block: it ends the scan.
    increment16(point_counter_);
    ClsWaypoint* waypoint = waypoints_.make();
    auto fail = [&](const Failure& failure) {
        report(failure, "nieuweWaypoint", "Bij het lezen van Waypoint" + waypoint->strName());
    };
    const std::array<size_t, kPointKeys> first = first_keys(block);
    auto value = [&](PointKey key) { return tekstWaarde(block, kPointKeyTexts[key], first[key]); };
    std::optional<std::string_view> name = unquoted(value(kName));
    if (!name) return fail(Failure(err::kInvalidArgument));
    try {
        waypoint->strName(*name);
        waypoint->strType(value(kType));
        waypoint->strLon(value(kLon));
        waypoint->strLat(value(kLat));
        waypoint->intElev(parse_int16(value(kElev)));
        waypoint->strFreq(value(kFrequency));
        waypoints_.put(point_counter_, waypoint);
    } catch (const Failure& failure) {
        fail(failure);
    } catch (...) {
        report(__func__, "Bij het lezen van Waypoint" + waypoint->strName());
    }
}

// Unlike a point block's, a failing route block only costs that route, also
// when the route counter overflows.
void ClsParse::NieuweRoute(std::string_view block) {
    auto route = std::make_shared<ClsRoutes>();
    auto fail = [&](const Failure& failure) {
        report(failure, "NieuweRoute", "Bij het lezen van route" + route->strName());
    };
    if (route_counter_ == INT16_MAX) return fail(Failure(err::kOverflow));
    ++route_counter_;
    std::optional<std::string_view> name = unquoted(tekstWaarde(block, "name = "));
    if (!name) return fail(Failure(err::kInvalidArgument));
    route->strName(*name);
    try {
        size_t line_start = block.find(kMemberKey);
        if (line_start == kAbsent) raise(err::kInvalidArgument);
        // One line at a time, each up to and including its CR LF; a last line
        // without a line end is not read.
        for (;;) {
            size_t line_end = bytes::find_crlf(block, line_start);
            if (line_end == kAbsent) break;
            std::string_view line = block.substr(line_start, line_end + 2 - line_start);
            if (line.find(kMemberKey) != kAbsent) {
                std::shared_ptr<ClsWaypoint> member =
                    waypoints_.find(trim_spaces(tekstWaarde(line, kMemberKey)));
                if (!member) raise(err::kInvalidArgument);
                route->objWaypoint(std::move(member));
            }
            line_start = line_end + 2;
        }
        routes_.push_back(std::move(route));
    } catch (const Failure& failure) {
        fail(failure);
    } catch (...) {
        report(__func__, "Bij het lezen van route" + route->strName());
    }
}

}  // namespace tlv
