#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// 16-bit counters and values behave as 16-bit signed integers: a result past
// 32767 or below -32768 is failure 6 (overflow), never a wrap-around.
namespace tlv {

int16_t to_int16(int64_t value);  // failure 6 when out of range
int16_t add16(int16_t value, int64_t step);
inline void increment16(int16_t& counter) { counter = add16(counter, 1); }

// Converts a number text into a whole number: blanks (spaces, tabs) around it
// are ignored, an optional sign, decimal digits with an optional fraction,
// rounded to the nearest whole number with halves to even.  Anything else is
// failure 13 (type mismatch); a result outside [min, max] is failure 6.
int64_t parse_whole_number(std::string_view text, int64_t min, int64_t max);
inline int16_t parse_int16(std::string_view text) {
    // Most number texts are one to four plain digits: read in one pass.
    if (!text.empty() && text.size() <= 4) {
        int value = 0;
        size_t i = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10 + (text[i] - '0');
        if (i == text.size()) return static_cast<int16_t>(value);
    }
    return static_cast<int16_t>(parse_whole_number(text, INT16_MIN, INT16_MAX));
}

}  // namespace tlv
