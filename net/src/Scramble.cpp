#include "Scramble.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define TOVRIK_SCRAMBLE_X86 1
#endif

namespace tovrik::net {

namespace {

constexpr std::uint8_t kCheckMask = 0x5F;

// Each pass handles the bytes it can in whole vectors and leaves the rest to
// the next, narrower one; the byte loops finish.
struct Pass {
    unsigned char* data;
    std::size_t count;
    std::size_t done = 0;
    std::uint64_t sum = 0;
};

void ScrambleTail(Pass& p, std::uint8_t add, std::uint8_t mask, std::size_t end)
{
    for (; p.done < end; ++p.done) {
        const unsigned char b = p.data[p.done];
        p.sum += b & kCheckMask;
        p.data[p.done] = static_cast<unsigned char>(static_cast<unsigned char>(b + add) ^ mask);
    }
}

void UnscrambleTail(Pass& p, std::uint8_t add, std::uint8_t mask, std::size_t end)
{
    for (; p.done < end; ++p.done) {
        const auto b = static_cast<unsigned char>(static_cast<unsigned char>(p.data[p.done] ^ mask) - add);
        p.sum += b & kCheckMask;
        p.data[p.done] = b;
    }
}

#if defined(TOVRIK_SCRAMBLE_X86)

// The sum of absolute differences against zero adds up the masked bytes of
// each 8-byte group without overflow.

void ScrambleSse2(Pass& p, std::uint8_t add, std::uint8_t mask)
{
    const __m128i vAdd = _mm_set1_epi8(static_cast<char>(add));
    const __m128i vMask = _mm_set1_epi8(static_cast<char>(mask));
    const __m128i vCheck = _mm_set1_epi8(static_cast<char>(kCheckMask));
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; p.done + 16 <= p.count; p.done += 16) {
        auto* at = reinterpret_cast<__m128i*>(p.data + p.done);
        const __m128i v = _mm_loadu_si128(at);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(v, vCheck), zero));
        _mm_storeu_si128(at, _mm_xor_si128(_mm_add_epi8(v, vAdd), vMask));
    }
    p.sum += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
             static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

void UnscrambleSse2(Pass& p, std::uint8_t add, std::uint8_t mask)
{
    const __m128i vAdd = _mm_set1_epi8(static_cast<char>(add));
    const __m128i vMask = _mm_set1_epi8(static_cast<char>(mask));
    const __m128i vCheck = _mm_set1_epi8(static_cast<char>(kCheckMask));
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; p.done + 16 <= p.count; p.done += 16) {
        auto* at = reinterpret_cast<__m128i*>(p.data + p.done);
        const __m128i v = _mm_sub_epi8(_mm_xor_si128(_mm_loadu_si128(at), vMask), vAdd);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(v, vCheck), zero));
        _mm_storeu_si128(at, v);
    }
    p.sum += static_cast<std::uint64_t>(_mm_cvtsi128_si64(sums)) +
             static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

__attribute__((target("avx2"))) std::uint64_t Sum256(__m256i sums)
{
    const __m128i half = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(half)) +
           static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(half, half)));
}

__attribute__((target("avx2"))) void ScrambleAvx2(Pass& p, std::uint8_t add, std::uint8_t mask)
{
    const __m256i vAdd = _mm256_set1_epi8(static_cast<char>(add));
    const __m256i vMask = _mm256_set1_epi8(static_cast<char>(mask));
    const __m256i vCheck = _mm256_set1_epi8(static_cast<char>(kCheckMask));
    const __m256i zero = _mm256_setzero_si256();
    __m256i sums = zero;
    for (; p.done + 32 <= p.count; p.done += 32) {
        auto* at = reinterpret_cast<__m256i*>(p.data + p.done);
        const __m256i v = _mm256_loadu_si256(at);
        sums = _mm256_add_epi64(sums, _mm256_sad_epu8(_mm256_and_si256(v, vCheck), zero));
        _mm256_storeu_si256(at, _mm256_xor_si256(_mm256_add_epi8(v, vAdd), vMask));
    }
    p.sum += Sum256(sums);
}

__attribute__((target("avx2"))) void UnscrambleAvx2(Pass& p, std::uint8_t add, std::uint8_t mask)
{
    const __m256i vAdd = _mm256_set1_epi8(static_cast<char>(add));
    const __m256i vMask = _mm256_set1_epi8(static_cast<char>(mask));
    const __m256i vCheck = _mm256_set1_epi8(static_cast<char>(kCheckMask));
    const __m256i zero = _mm256_setzero_si256();
    __m256i sums = zero;
    for (; p.done + 32 <= p.count; p.done += 32) {
        auto* at = reinterpret_cast<__m256i*>(p.data + p.done);
        const __m256i v = _mm256_sub_epi8(_mm256_xor_si256(_mm256_loadu_si256(at), vMask), vAdd);
        sums = _mm256_add_epi64(sums, _mm256_sad_epu8(_mm256_and_si256(v, vCheck), zero));
        _mm256_storeu_si256(at, v);
    }
    p.sum += Sum256(sums);
}

// Bytes before the first 32-byte boundary: wide stores that straddle cache
// lines cost more than the few bytes done one by one.
std::size_t HeadToAlignment(const Pass& p)
{
    const auto misalign = reinterpret_cast<std::uintptr_t>(p.data) % 32;
    const std::size_t head = misalign == 0 ? 0 : 32 - misalign;
    return head < p.count ? head : p.count;
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

}  // namespace

std::uint32_t ScrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask)
{
    Pass p{data, count};
#if defined(TOVRIK_SCRAMBLE_X86)
    if (HasAvx2()) {
        ScrambleTail(p, add, mask, HeadToAlignment(p));
        ScrambleAvx2(p, add, mask);
    }
    ScrambleSse2(p, add, mask);
#endif
    ScrambleTail(p, add, mask, count);
    return static_cast<std::uint32_t>(p.sum);
}

std::uint32_t UnscrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask)
{
    Pass p{data, count};
#if defined(TOVRIK_SCRAMBLE_X86)
    if (HasAvx2()) {
        UnscrambleTail(p, add, mask, HeadToAlignment(p));
        UnscrambleAvx2(p, add, mask);
    }
    UnscrambleSse2(p, add, mask);
#endif
    UnscrambleTail(p, add, mask, count);
    return static_cast<std::uint32_t>(p.sum);
}

}  // namespace tovrik::net
