#pragma once
// SHA-256 for the simulation trace hash; streaming, no allocation.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tovrik::sim {

class Sha256 {
public:
    Sha256();
    void Update(std::span<const std::uint8_t> data);
    std::array<std::uint8_t, 32> Finish();
    // Lower-case hexadecimal digest; the object is finished afterwards.
    std::string FinishHex();

private:
    void ProcessBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace tovrik::sim
