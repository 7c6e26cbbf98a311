#pragma once
// Small RIFF WAVE images written by the tests themselves.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tovrik::sound::test {

struct WaveSpec {
  uint16_t formatTag = 1;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  uint32_t frames = 22050;  // one second
};

inline void PutU16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
inline void PutId(std::vector<uint8_t>& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(id[i]));
}

inline std::vector<uint8_t> FmtBody(const WaveSpec& s) {
  std::vector<uint8_t> b;
  const uint16_t align = uint16_t(s.channels * s.bits / 8);
  PutU16(b, s.formatTag);
  PutU16(b, s.channels);
  PutU32(b, s.rate);
  PutU32(b, s.rate * align);
  PutU16(b, align);
  PutU16(b, s.bits);
  return b;
}

// A sawtooth, so that the samples are not all zero.
inline std::vector<uint8_t> Samples(const WaveSpec& s) {
  std::vector<uint8_t> b;
  const uint32_t count = s.frames * s.channels;
  for (uint32_t i = 0; i < count; ++i) {
    const int v = int(i % 200) * 100 - 10000;
    if (s.bits == 8) {
      b.push_back(uint8_t(128 + v / 256));
      continue;
    }
    b.insert(b.end(), size_t(s.bits / 8 - 2), 0);  // wider samples: the value in the top 16 bits
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
  }
  return b;
}

inline void PutChunk(std::vector<uint8_t>& b, const char* id, const std::vector<uint8_t>& body) {
  PutId(b, id);
  PutU32(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2) b.push_back(0);
}

// The RIFF header around a run of chunks.
inline std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks) {
  std::vector<uint8_t> b;
  PutId(b, "RIFF");
  PutU32(b, uint32_t(chunks.size() + 4));
  PutId(b, "WAVE");
  b.insert(b.end(), chunks.begin(), chunks.end());
  return b;
}

inline std::vector<uint8_t> MakeWave(const WaveSpec& s = {}) {
  std::vector<uint8_t> chunks;
  PutChunk(chunks, "fmt ", FmtBody(s));
  PutChunk(chunks, "data", Samples(s));
  return Riff(chunks);
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace tovrik::sound::test
