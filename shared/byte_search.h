#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Searches for bytes that are usually a few positions away, inline: the
// reading of an exchange file makes hundreds of thousands of them, and a
// library call costs more than such a search itself.  Sixteen bytes at a
// time where the processor has SSE2, byte by byte elsewhere.
namespace tlv::bytes {

#if defined(__SSE2__)
// One bit per byte of the sixteen at `at` that is one of Cs.
template <char... Cs>
[[gnu::always_inline]] inline unsigned matches(const char* at) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(Cs)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// The first position at or after `pos` holding one of Cs; the text's size
// when there is none.
template <char... Cs>
[[gnu::always_inline]] inline size_t find_any(std::string_view text, size_t pos) {
    const char* data = text.data();
    const size_t size = text.size();
#if defined(__SSE2__)
    for (; pos + 16 <= size; pos += 16) {
        if (const unsigned flags = matches<Cs...>(data + pos))
            return pos + static_cast<size_t>(std::countr_zero(flags));
    }
#endif
    for (; pos < size; ++pos)
        if (((data[pos] == Cs) || ...)) return pos;
    return size;
}

// The first CR LF at or after `pos`; npos when there is none.
inline size_t find_crlf(std::string_view text, size_t pos) {
    for (;; ++pos) {
        pos = find_any<'\r'>(text, pos);
        if (pos + 1 >= text.size()) return std::string_view::npos;
        if (text[pos + 1] == '\n') return pos;
    }
}

// How often the byte occurs.
template <char C>
size_t count(std::string_view text) {
    const char* data = text.data();
    size_t pos = 0, found = 0;
#if defined(__SSE2__)
    // Per byte lane, up to 255 hits are counted before they are summed.
    const __m128i wanted = _mm_set1_epi8(C);
    while (pos + 16 <= text.size()) {
        __m128i lanes = _mm_setzero_si128();
        for (int round = 0; round < 255 && pos + 16 <= text.size(); ++round, pos += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(chunk, wanted));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        found += static_cast<size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
    }
#endif
    for (; pos < text.size(); ++pos) found += data[pos] == C;
    return found;
}

}  // namespace tlv::bytes
