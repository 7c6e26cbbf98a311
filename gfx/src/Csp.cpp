#include "gfx/Csp.h"

#include <algorithm>
#include <cstddef>

namespace tovrik::gfx {

namespace {

struct Run {
  int skip;
  int length;
  int start;  // x of the first opaque pixel
};

// Splits one row into alternating key / non-key runs until the row is used up.
template <class Pixel>
bool CollectRuns(const Pixel* row, int width, Pixel key, int maxSpan, std::vector<Run>& runs) {
  runs.clear();
  int x = 0;
  while (x < width) {
    int skip = 0;
    while (x < width && row[x] == key && skip < maxSpan) ++x, ++skip;
    const int start = x;
    int length = 0;
    // A skip cut short by maxSpan is followed by an empty run.
    if (skip == maxSpan && x < width && row[x] == key) {
      runs.push_back({skip, 0, start});
    } else {
      while (x < width && row[x] != key && length < maxSpan) ++x, ++length;
      runs.push_back({skip, length, start});
    }
    if (static_cast<int>(runs.size()) > kMaxRunsPerRow) return false;
  }
  return true;
}

std::uint32_t RowEntry16(std::span<const std::uint16_t> data, int y) {
  return static_cast<std::uint32_t>(data[2 * static_cast<std::size_t>(y)]) |
         static_cast<std::uint32_t>(data[2 * static_cast<std::size_t>(y) + 1]) << 16;
}

std::uint32_t RowEntry8(std::span<const std::uint8_t> data, int y) {
  const std::size_t at = 4 * static_cast<std::size_t>(y);
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
         static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

// Walks one 16-bit row record at `pos`; calls emit(x, pixels, length) per run.
// Returns the position after the record, or SIZE_MAX when it does not fit.
template <class Emit>
std::size_t WalkRow16(std::span<const std::uint16_t> data, std::size_t pos, int width, Emit&& emit) {
  if (pos >= data.size()) return SIZE_MAX;
  const int count = data[pos++];
  int x = 0;
  for (int i = 0; i < count; ++i) {
    if (data.size() - pos < 2) return SIZE_MAX;
    const int skip = data[pos];
    const int length = data[pos + 1];
    pos += 2;
    if (data.size() - pos < static_cast<std::size_t>(length)) return SIZE_MAX;
    x += skip;
    if (x + length > width) return SIZE_MAX;
    emit(x, data.data() + pos, length);
    pos += static_cast<std::size_t>(length);
    x += length;
  }
  return pos;
}

template <class Emit>
std::size_t WalkRow8(std::span<const std::uint8_t> data, std::size_t pos, int width, Emit&& emit) {
  if (data.size() < 2 || pos > data.size() - 2) return SIZE_MAX;
  const int count = static_cast<std::int16_t>(data[pos] | data[pos + 1] << 8);
  pos += 2;
  if (count < 0) return SIZE_MAX;
  int x = 0;
  for (int i = 0; i < count; ++i) {
    if (data.size() - pos < 2) return SIZE_MAX;
    const int skip = data[pos];
    const int length = data[pos + 1];
    pos += 2;
    if (data.size() - pos < static_cast<std::size_t>(length)) return SIZE_MAX;
    x += skip;
    if (x + length > width) return SIZE_MAX;
    emit(x, data.data() + pos, length);
    pos += static_cast<std::size_t>(length);
    x += length;
  }
  return pos;
}

bool ValidSize(int width, int height) { return width > 0 && height > 0; }

}  // namespace

int EncodeSpr0(std::span<const std::uint16_t> pixels, int width, int height, std::vector<std::uint16_t>& out,
               std::uint16_t key) {
  out.clear();
  if (!ValidSize(width, height) || pixels.size() < static_cast<std::size_t>(width) * height) return 0;
  std::vector<std::uint16_t> work(2 * static_cast<std::size_t>(height));
  std::vector<Run> runs;
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
    if (!CollectRuns<std::uint16_t>(row, width, key, 0xFFFF, runs)) return 0;
    const auto p = static_cast<std::uint32_t>(work.size());
    work[2 * static_cast<std::size_t>(y)] = static_cast<std::uint16_t>(p);
    work[2 * static_cast<std::size_t>(y) + 1] = static_cast<std::uint16_t>(p >> 16);
    work.push_back(static_cast<std::uint16_t>(runs.size()));
    for (const Run& run : runs) {
      work.push_back(static_cast<std::uint16_t>(run.skip));
      work.push_back(static_cast<std::uint16_t>(run.length));
      work.insert(work.end(), row + run.start, row + run.start + run.length);
    }
  }
  if (work.size() * 2 > 0x7FFFFFFF) return 0;
  out = std::move(work);
  return static_cast<int>(out.size() * 2);
}

bool DecodeSpr0(std::span<std::uint16_t> dst, int width, int height, std::span<const std::uint16_t> src,
                std::uint16_t key) {
  if (!ValidSize(width, height) || dst.size() < static_cast<std::size_t>(width) * height) return false;
  std::fill(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(width) * height, key);
  std::size_t pos = 2 * static_cast<std::size_t>(height);
  for (int y = 0; y < height; ++y) {
    std::uint16_t* row = dst.data() + static_cast<std::size_t>(y) * width;
    pos = WalkRow16(src, pos, width, [row](int x, const std::uint16_t* p, int n) {
      std::copy(p, p + n, row + x);
    });
    if (pos == SIZE_MAX) {
      std::fill(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(width) * height, key);
      return false;
    }
  }
  return true;
}

int EncodeSpr8(std::span<const std::uint8_t> pixels, int width, int height, std::vector<std::uint8_t>& out,
               std::uint8_t key) {
  out.clear();
  if (!ValidSize(width, height) || pixels.size() < static_cast<std::size_t>(width) * height) return 0;
  std::vector<std::uint8_t> work(4 * static_cast<std::size_t>(height));
  std::vector<Run> runs;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
    if (!CollectRuns<std::uint8_t>(row, width, key, 255, runs) || runs.size() > 0x7FFF) return 0;
    const auto p = static_cast<std::uint32_t>(work.size());
    for (int i = 0; i < 4; ++i) work[4 * static_cast<std::size_t>(y) + i] = static_cast<std::uint8_t>(p >> (8 * i));
    work.push_back(static_cast<std::uint8_t>(runs.size()));
    work.push_back(static_cast<std::uint8_t>(runs.size() >> 8));
    for (const Run& run : runs) {
      work.push_back(static_cast<std::uint8_t>(run.skip));
      work.push_back(static_cast<std::uint8_t>(run.length));
      work.insert(work.end(), row + run.start, row + run.start + run.length);
    }
  }
  if (work.size() > 0x7FFFFFFF) return 0;
  out = std::move(work);
  return static_cast<int>(out.size());
}

bool DecodeSpr8(std::span<std::uint8_t> dst, int width, int height, std::span<const std::uint8_t> src,
                std::uint8_t key) {
  if (!ValidSize(width, height) || dst.size() < static_cast<std::size_t>(width) * height) return false;
  std::fill(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(width) * height, key);
  std::size_t pos = 4 * static_cast<std::size_t>(height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = dst.data() + static_cast<std::size_t>(y) * width;
    pos = WalkRow8(src, pos, width, [row](int x, const std::uint8_t* p, int n) { std::copy(p, p + n, row + x); });
    if (pos == SIZE_MAX) {
      std::fill(dst.begin(), dst.begin() + static_cast<std::ptrdiff_t>(width) * height, key);
      return false;
    }
  }
  return true;
}

bool CspIsDrawable16(std::span<const std::uint16_t> data, int width, int height) {
  if (!ValidSize(width, height) || data.size() < 2 * static_cast<std::size_t>(height)) return false;
  for (int y = 0; y < height; ++y) {
    if (WalkRow16(data, RowEntry16(data, y), width, [](int, const std::uint16_t*, int) {}) == SIZE_MAX) return false;
  }
  return true;
}

bool CspIsDrawable8(std::span<const std::uint8_t> data, int width, int height) {
  if (!ValidSize(width, height) || data.size() < 4 * static_cast<std::size_t>(height)) return false;
  for (int y = 0; y < height; ++y) {
    if (WalkRow8(data, RowEntry8(data, y), width, [](int, const std::uint8_t*, int) {}) == SIZE_MAX) return false;
  }
  return true;
}

}  // namespace tovrik::gfx
