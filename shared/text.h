#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

// Small text helpers shared by the whole system.
namespace tlv {

inline constexpr std::string_view kCrLf = "\r\n";

// Leading spaces removed (tabs stay), as the system trims.
inline std::string_view ltrim_spaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// Spaces removed at both ends (tabs stay).
inline std::string_view trim_spaces(std::string_view text) {
    text = ltrim_spaces(text);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The decimal digits of a number, zero-padded to at least `digits`.
inline void append_padded(std::string& out, uint64_t value, size_t digits) {
    const std::string text = std::to_string(value);
    out.append(digits - std::min(digits, text.size()), '0');
    out += text;
}

}  // namespace tlv
