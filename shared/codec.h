#pragma once

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

// Upper case by the letters of Windows-1252 (a-z, the accented letters,
// š œ ž ÿ); every other byte is returned unchanged.
char to_upper(char c);

}  // namespace tlv::codec
