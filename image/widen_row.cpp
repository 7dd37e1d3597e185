#include "widen_row.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define VELMORA_WIDEN_SSSE3 1
#endif

namespace {

#if VELMORA_WIDEN_SSSE3
// Sixteen pixels at a time: three 16-byte loads hold exactly 48 bytes, so nothing past the
// row is read; each group of four pixels (12 bytes) is spread into 16 with a zero fourth byte.
__attribute__((target("ssse3"))) void WidenSsse3(const std::uint8_t *src, std::uint8_t *dst,
                                                 int count)
{
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = 0;
    for (; x + 16 <= count; x += 16, src += 48, dst += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 32));
        const __m128i p0 = _mm_shuffle_epi8(a, spread);                         // bytes 0..11
        const __m128i p1 = _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread); // 12..23
        const __m128i p2 = _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread);  // 24..35
        const __m128i p3 = _mm_shuffle_epi8(_mm_srli_si128(c, 4), spread);      // 36..47
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), p0);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 16), p1);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 32), p2);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 48), p3);
    }
    WidenBgrRowPlain(src, dst, count - x);
}
#endif

using Widen = void (*)(const std::uint8_t *, std::uint8_t *, int);

Widen Choose()
{
#if VELMORA_WIDEN_SSSE3
    __builtin_cpu_init(); // may run before the runtime's own start-up code has
    if (__builtin_cpu_supports("ssse3"))
        return WidenSsse3;
#endif
    return WidenBgrRowPlain;
}

// Chosen once, on first use; safe from any thread.
Widen Chosen()
{
    static const Widen chosen = Choose();
    return chosen;
}

} // namespace

void WidenBgrRowPlain(const std::uint8_t *src, std::uint8_t *dst, int count)
{
    for (int x = 0; x < count; ++x, src += 3, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = 0;
    }
}

void WidenBgrRow(const std::uint8_t *src, std::uint8_t *dst, int count)
{
    Chosen()(src, dst, count);
}

bool WidenBgrRowIsVector()
{
    return Chosen() != WidenBgrRowPlain;
}
