#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text inside the system is Windows-1252, one byte per character.  These are
// the only conversions, used at the edges: file-system paths and the terminal
// on POSIX, QString in the GUI.
namespace tlv::codec {

std::string to_utf8(std::string_view cp1252);

// Empty optional when the text is not valid UTF-8 or holds a character that
// Windows-1252 cannot represent.
std::optional<std::string> from_utf8(std::string_view utf8);

namespace detail {
constexpr char upper_of(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
    switch (byte) {
        case 0x9A:
            return '\x8A';  // š
        case 0x9C:
            return '\x8C';  // œ
        case 0x9E:
            return '\x8E';  // ž
        case 0xFF:
            return '\x9F';  // ÿ
        default:
            return static_cast<char>(byte);
    }
}
// Looked up, not computed: every name character of a conversion passes here.
inline constexpr std::array<char, 256> kUpper = [] {
    std::array<char, 256> table{};
    for (size_t byte = 0; byte < table.size(); ++byte)
        table[byte] = upper_of(static_cast<unsigned char>(byte));
    return table;
}();
}  // namespace detail

// Upper case by the letters of Windows-1252 (a-z, the accented letters,
// š œ ž ÿ); every other byte is returned unchanged.
inline char to_upper(char c) { return detail::kUpper[static_cast<unsigned char>(c)]; }

}  // namespace tlv::codec
