#include "shared/codec.h"

#include <array>
#include <cstdint>

namespace tlv::codec {
namespace {

// Unicode code points of the bytes 0x80..0x9F.  The five bytes that
// Windows-1252 leaves undefined map to the C1 control of the same value, as
// the Windows converters do, so every byte has a form and the round trip holds.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

std::optional<char> byte_of(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
        return static_cast<char>(code_point);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == code_point) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[pos]; advances pos.  Empty on a malformed sequence.
std::optional<char32_t> decode_one(std::string_view text, size_t& pos) {
    auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;  // 0: no lead byte
    if (extra == 0 || lead > 0xF4 || pos + extra > text.size()) return std::nullopt;
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        auto next = static_cast<unsigned char>(text[pos++]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    return cp;
}

}  // namespace

std::string to_utf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (char c : cp1252) append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> from_utf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        std::optional<char32_t> cp = decode_one(utf8, pos);
        if (!cp) return std::nullopt;
        std::optional<char> byte = byte_of(*cp);
        if (!byte) return std::nullopt;
        out += *byte;
    }
    return out;
}

}  // namespace tlv::codec
