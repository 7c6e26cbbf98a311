#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tovrik::protocol {

// A number stored as its little-endian bytes. Records built from these (and
// from byte arrays) have alignment 1 and no padding, so their layout is the
// wire layout on every host, a field may sit at any odd offset, and a record
// can be pointed at inside a received frame without copying.
template <typename T>
class LittleEndian {
    static_assert(std::is_integral_v<T> || std::is_same_v<T, float>);

public:
    using value_type = T;

    constexpr LittleEndian() = default;
    constexpr LittleEndian(T value) { Store(value); }  // NOLINT: behaves like the number

    constexpr operator T() const { return Load(); }  // NOLINT
    constexpr T get() const { return Load(); }

    constexpr LittleEndian& operator=(T value)
    {
        Store(value);
        return *this;
    }
    constexpr LittleEndian& operator+=(T delta)
    {
        Store(static_cast<T>(Load() + delta));
        return *this;
    }
    constexpr LittleEndian& operator-=(T delta)
    {
        Store(static_cast<T>(Load() - delta));
        return *this;
    }

private:
    using Bits = std::make_unsigned_t<std::conditional_t<std::is_same_v<T, float>, std::uint32_t, T>>;

    constexpr void Store(T value)
    {
        Bits bits = std::bit_cast<Bits>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bytes_[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    constexpr T Load() const
    {
        Bits bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bits = static_cast<Bits>(bits | static_cast<Bits>(static_cast<Bits>(bytes_[i]) << (8 * i)));
        }
        return std::bit_cast<T>(bits);
    }

    std::uint8_t bytes_[sizeof(T)]{};
};

using le_int16 = LittleEndian<std::int16_t>;
using le_uint16 = LittleEndian<std::uint16_t>;
using le_int32 = LittleEndian<std::int32_t>;
using le_uint32 = LittleEndian<std::uint32_t>;
using le_float = LittleEndian<float>;

static_assert(sizeof(le_int16) == 2 && alignof(le_int16) == 1);
static_assert(sizeof(le_int32) == 4 && alignof(le_int32) == 1);
static_assert(sizeof(le_float) == 4 && alignof(le_float) == 1);
static_assert(std::is_trivially_copyable_v<le_int32>);
static_assert(std::is_standard_layout_v<le_int32>);

// Explicit readers and writers for the variable parts of a payload.
template <typename T>
inline T LoadLE(const std::uint8_t* bytes)
{
    LittleEndian<T> value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

template <typename T>
inline void StoreLE(std::uint8_t* bytes, T value)
{
    const LittleEndian<T> wire = value;
    std::memcpy(bytes, &wire, sizeof wire);
}

}  // namespace tovrik::protocol
