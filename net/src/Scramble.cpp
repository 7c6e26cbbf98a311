#include "Scramble.h"

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace tovrik::net {

namespace {

constexpr std::uint8_t kCheckMask = 0x5F;

#if defined(__SSE2__) && defined(__x86_64__)
constexpr std::size_t kLane = 16;

std::uint64_t HorizontalSum(__m128i sums)
{
    const __m128i high = _mm_unpackhi_epi64(sums, sums);
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_add_epi64(sums, high)));
}
#endif

}  // namespace

std::uint32_t ScrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask)
{
    std::uint64_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__) && defined(__x86_64__)
    const __m128i vAdd = _mm_set1_epi8(static_cast<char>(add));
    const __m128i vMask = _mm_set1_epi8(static_cast<char>(mask));
    const __m128i vCheck = _mm_set1_epi8(static_cast<char>(kCheckMask));
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; i + kLane <= count; i += kLane) {
        __m128i* p = reinterpret_cast<__m128i*>(data + i);
        __m128i v = _mm_loadu_si128(p);
        // The byte-wise sum of absolute differences against zero adds up the
        // masked bytes of each half without overflow.
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(v, vCheck), zero));
        v = _mm_xor_si128(_mm_add_epi8(v, vAdd), vMask);
        _mm_storeu_si128(p, v);
    }
    sum = HorizontalSum(sums);
#endif
    for (; i < count; ++i) {
        const unsigned char b = data[i];
        sum += b & kCheckMask;
        data[i] = static_cast<unsigned char>(static_cast<unsigned char>(b + add) ^ mask);
    }
    return static_cast<std::uint32_t>(sum);
}

std::uint32_t UnscrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask)
{
    std::uint64_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__) && defined(__x86_64__)
    const __m128i vAdd = _mm_set1_epi8(static_cast<char>(add));
    const __m128i vMask = _mm_set1_epi8(static_cast<char>(mask));
    const __m128i vCheck = _mm_set1_epi8(static_cast<char>(kCheckMask));
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; i + kLane <= count; i += kLane) {
        __m128i* p = reinterpret_cast<__m128i*>(data + i);
        __m128i v = _mm_sub_epi8(_mm_xor_si128(_mm_loadu_si128(p), vMask), vAdd);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(v, vCheck), zero));
        _mm_storeu_si128(p, v);
    }
    sum = HorizontalSum(sums);
#endif
    for (; i < count; ++i) {
        const auto b = static_cast<unsigned char>(static_cast<unsigned char>(data[i] ^ mask) - add);
        sum += b & kCheckMask;
        data[i] = b;
    }
    return static_cast<std::uint32_t>(sum);
}

}  // namespace tovrik::net
