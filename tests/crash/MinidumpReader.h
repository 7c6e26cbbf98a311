#pragma once
// Just enough of a minidump reader to check what the crash handler wrote.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tovrik::crash::test {

struct Location {
  uint32_t size = 0;
  uint32_t rva = 0;
};

class MinidumpReader {
 public:
  bool Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes_.size() < 32 || U32(0) != 0x504D444D) return false;
    const uint32_t count = U32(8), directory = U32(12);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t at = directory + i * 12;
      if (!Fits(at, 12)) return false;
      const Location l{U32(at + 4), U32(at + 8)};
      if (!Fits(l.rva, l.size)) return false;
      streams_[U32(at)] = l;
    }
    return true;
  }
  bool Fits(uint64_t at, uint64_t size) const { return at <= bytes_.size() && size <= bytes_.size() - at; }
  uint16_t U16(size_t at) const { return Fits(at, 2) ? uint16_t(Byte(at) | Byte(at + 1) << 8) : 0; }
  uint32_t U32(size_t at) const { return Fits(at, 4) ? uint32_t(U16(at) | uint32_t(U16(at + 2)) << 16) : 0; }
  uint64_t U64(size_t at) const { return U32(at) | uint64_t(U32(at + 4)) << 32; }
  std::optional<Location> Stream(uint32_t type) const {
    auto it = streams_.find(type);
    if (it == streams_.end()) return std::nullopt;
    return it->second;
  }
  std::string Bytes(Location l) const {
    if (!Fits(l.rva, l.size)) return {};
    return std::string(bytes_.begin() + l.rva, bytes_.begin() + l.rva + l.size);
  }
  // A MINIDUMP_STRING, narrowed (the tests use ASCII paths).
  std::string String(uint32_t rva) const {
    std::string s;
    const uint32_t length = U32(rva);
    for (uint32_t i = 0; i < length / 2; ++i) s.push_back(char(U16(rva + 4 + 2 * i)));
    return s;
  }
  size_t StreamCount() const { return streams_.size(); }

 private:
  uint8_t Byte(size_t at) const { return uint8_t(bytes_[at]); }
  std::vector<char> bytes_;
  std::map<uint32_t, Location> streams_;
};

}  // namespace tovrik::crash::test
