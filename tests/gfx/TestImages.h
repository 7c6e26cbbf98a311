#pragma once
// Small helpers shared by the gfx tests: deterministic random frames and
// scratch files.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tovrik::gfx::testing {

// A frame with runs of key and non-key pixels of random lengths.
inline std::vector<std::uint16_t> RandomFrame(int width, int height, std::uint16_t key, std::uint32_t seed,
                                              int keyPercent = 40) {
  std::mt19937 random(seed);
  std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width) * height);
  bool transparent = false;
  int left = 0;
  for (auto& p : pixels) {
    if (left-- <= 0) {
      transparent = static_cast<int>(random() % 100) < keyPercent;
      left = static_cast<int>(random() % 12);
    }
    do {
      p = static_cast<std::uint16_t>(random() & 0x7FFF);
    } while (p == key);
    if (transparent) p = key;
  }
  return pixels;
}

inline std::vector<std::uint8_t> RandomFrame8(int width, int height, std::uint8_t key, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
  bool transparent = false;
  int left = 0;
  for (auto& p : pixels) {
    if (left-- <= 0) {
      transparent = random() % 2 == 0;
      left = static_cast<int>(random() % 300);
    }
    do {
      p = static_cast<std::uint8_t>(random());
    } while (p == key);
    if (transparent) p = key;
  }
  return pixels;
}

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("tovrik-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::filesystem::path operator/(const std::string& file) const { return path_ / file; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tovrik::gfx::testing
