#include "base/ByteIO.h"

#include <cstdio>
#include <memory>

namespace tovrik::base {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
  out.clear();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::uint8_t chunk[65536];
  for (;;) {
    const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
    out.insert(out.end(), chunk, chunk + n);
    if (n < sizeof chunk) break;
  }
  return std::ferror(file.get()) == 0;
}

bool WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fclose(file.release()) == 0;
}

}  // namespace tovrik::base
