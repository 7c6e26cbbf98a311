#include "sound/WaveFile.h"

#include "base/ByteIO.h"

#include <algorithm>
#include <fstream>
#include <string_view>
#include <system_error>

namespace tovrik::sound {
namespace {

// The four-character id at the reader's position; empty when the input ends.
std::string ReadId(base::ByteReader& in) {
  uint8_t bytes[4] = {};
  if (!in.Bytes(bytes)) return {};
  return std::string(bytes, bytes + 4);
}

constexpr size_t kChunkHeader = 8;
constexpr size_t kPlainFormatSize = 16;
constexpr size_t kExtensibleFormatSize = 40;
constexpr size_t kSubFormatOffset = 24;  // inside an extensible "fmt " body
constexpr uint16_t kMaxChannels = 8;     // what the converter downstream accepts

bool ReadFormat(std::span<const uint8_t> body, WaveFormat& f, std::string& error) {
  base::ByteReader in(body);
  if (body.size() < kPlainFormatSize || !in.U16(f.formatTag) || !in.U16(f.channels) || !in.U32(f.samplesPerSec) ||
      !in.U32(f.avgBytesPerSec) || !in.U16(f.blockAlign) || !in.U16(f.bitsPerSample)) {
    error = "fmt chunk too short";
    return false;
  }
  if (f.formatTag == kWaveFormatExtensible) {
    if (body.size() < kExtensibleFormatSize || !in.Seek(kSubFormatOffset) || !in.U16(f.formatTag)) {
      error = "extensible fmt chunk too short";
      return false;
    }
  }
  return true;
}

bool CheckFormat(const WaveFormat& f, std::string& error) {
  const bool pcm = f.formatTag == kWaveFormatPcm &&
                   (f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 32);
  const bool ieee = f.formatTag == kWaveFormatIeeeFloat && f.bitsPerSample == 32;
  if (!pcm && !ieee) {
    error = "unsupported sample format " + std::to_string(f.formatTag) + "/" + std::to_string(f.bitsPerSample) + " bits";
    return false;
  }
  if (f.channels == 0 || f.channels > kMaxChannels) {
    error = "unsupported channel count " + std::to_string(f.channels);
    return false;
  }
  if (f.samplesPerSec == 0 || f.samplesPerSec > 384000) {
    error = "implausible sample rate " + std::to_string(f.samplesPerSec);
    return false;
  }
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) {
    error = "block alignment does not match the channels and sample size";
    return false;
  }
  return true;
}

}  // namespace

bool ParseWave(std::span<const uint8_t> image, WaveLayout& layout, std::string& error) {
  layout = {};
  base::ByteReader head(image);
  uint32_t riffSize = 0;
  if (ReadId(head) != "RIFF" || !head.U32(riffSize) || ReadId(head) != "WAVE") {
    error = "not a RIFF WAVE file";
    return false;
  }
  // Writers often get the RIFF size wrong; the file's real size bounds every
  // chunk, the declared size only shortens the walk (never below the header).
  const size_t end = std::max<size_t>(head.Position(), std::min<uint64_t>(image.size(), uint64_t(riffSize) + 8));
  base::ByteReader in(image.first(end));
  in.Seek(head.Position());
  bool haveFormat = false;
  bool haveData = false;
  while (in.Remaining() >= kChunkHeader && !(haveFormat && haveData)) {
    const std::string id = ReadId(in);
    uint32_t size = 0;
    in.U32(size);
    const size_t body = in.Position();
    if (size > in.Remaining()) {
      error = "chunk extends past the end of the file";
      return false;
    }
    if (id == "fmt " && !haveFormat) {
      if (!ReadFormat(image.subspan(body, size), layout.format, error)) return false;
      haveFormat = true;
    } else if (id == "data" && !haveData) {
      layout.dataOffset = body;
      layout.dataSize = size;
      haveData = true;
    }
    // Chunks are padded to even sizes; a last chunk may lack its pad byte.
    if (!in.Skip(std::min<size_t>(size + (size & 1), in.Remaining()))) break;
  }
  if (!haveFormat || !haveData) {
    error = haveFormat ? "no data chunk" : "no fmt chunk";
    return false;
  }
  if (!CheckFormat(layout.format, error)) return false;
  layout.dataSize -= layout.dataSize % layout.format.blockAlign;  // a partial last frame is dropped
  return true;
}

int xWaveFile::Open(const std::filesystem::path& file) {
  Close();
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec) {
    error_ = file.string() + ": " + ec.message();
    return 0;
  }
  if (size > kMaxFileSize) {
    error_ = file.string() + ": too large for a sound effect";
    return 0;
  }
  std::ifstream in(file, std::ios::binary);
  image_.resize(size_t(size));
  if (!in.read(reinterpret_cast<char*>(image_.data()), std::streamsize(image_.size()))) {
    error_ = file.string() + ": cannot be read";
    image_.clear();
    return 0;
  }
  std::string why;
  if (!ParseWave(image_, layout_, why)) {
    error_ = file.string() + ": " + why;
    image_.clear();
    layout_ = {};
    return 0;
  }
  open_ = true;
  error_.clear();
  return 1;
}

void xWaveFile::Close() {
  image_.clear();
  image_.shrink_to_fit();
  layout_ = {};
  position_ = 0;
  open_ = false;
}

std::span<const uint8_t> xWaveFile::Data() const {
  if (!open_) return {};
  return std::span<const uint8_t>(image_).subspan(layout_.dataOffset, layout_.dataSize);
}

size_t xWaveFile::Read(std::span<uint8_t> out) {
  const auto data = Data();
  const size_t n = std::min(out.size(), data.size() - std::min(position_, data.size()));
  std::copy_n(data.begin() + position_, n, out.begin());
  position_ += n;
  return n;
}

}  // namespace tovrik::sound
