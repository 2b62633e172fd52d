#include "shared/int16.h"

#include "shared/failure.h"

namespace tlv {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// Whether the fraction digits round the whole part away from zero (halves to even).
bool rounds_up(std::string_view fraction, bool whole_is_odd) {
    if (fraction.empty() || fraction.front() < '5') return false;
    if (fraction.front() > '5') return true;
    for (char c : fraction.substr(1))
        if (c != '0') return true;
    return whole_is_odd;
}

}  // namespace

int16_t to_int16(int64_t value) {
    if (value < INT16_MIN || value > INT16_MAX) raise(err::kOverflow);
    return static_cast<int16_t>(value);
}

int16_t add16(int16_t value, int64_t step) { return to_int16(int64_t{value} + step); }

int64_t parse_whole_number(std::string_view text, int64_t min, int64_t max) {
    // Most number texts are a few plain digits.
    if (!text.empty() && text.size() <= 9) {
        int64_t plain = 0;
        size_t i = 0;
        for (; i < text.size() && is_digit(text[i]); ++i) plain = plain * 10 + (text[i] - '0');
        if (i == text.size()) {
            if (plain < min || plain > max) raise(err::kOverflow);
            return plain;
        }
    }
    std::string_view rest = trim_blanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    size_t whole_end = 0;
    while (whole_end < rest.size() && is_digit(rest[whole_end])) ++whole_end;
    std::string_view whole = rest.substr(0, whole_end);
    std::string_view fraction;
    if (whole_end < rest.size() && rest[whole_end] == '.') {
        fraction = rest.substr(whole_end + 1);
        for (char c : fraction)
            if (!is_digit(c)) raise(err::kTypeMismatch);
    } else if (whole_end != rest.size()) {
        raise(err::kTypeMismatch);
    }
    if (whole.empty() && fraction.empty()) raise(err::kTypeMismatch);

    while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
    if (whole.size() > 18) raise(err::kOverflow);
    int64_t magnitude = 0;
    for (char c : whole) magnitude = magnitude * 10 + (c - '0');
    if (rounds_up(fraction, magnitude % 2 != 0)) ++magnitude;
    int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max) raise(err::kOverflow);
    return value;
}

}  // namespace tlv
