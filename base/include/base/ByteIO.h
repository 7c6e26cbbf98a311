#pragma once
// The one little-endian reader and writer of every file format (sprite,
// bitmap, blend-table and wave files...). Every read is bounds-checked: a
// file that ends early turns into a failed read, never a read past the
// buffer, and the reader remembers that it failed.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::base {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return bytes_.size() - pos_; }
  std::span<const std::uint8_t> Rest() const { return bytes_.subspan(pos_); }

  bool Skip(std::size_t n) {
    if (n > Remaining()) return Fail();
    pos_ += n;
    return true;
  }
  bool Seek(std::size_t pos) {
    if (pos > bytes_.size()) return Fail();
    pos_ = pos;
    return true;
  }
  bool Bytes(std::span<std::uint8_t> out) {
    if (out.size() > Remaining()) return Fail();
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + pos_, out.size());
    pos_ += out.size();
    return true;
  }
  bool U8(std::uint8_t& v) {
    if (Remaining() < 1) return Fail();
    v = bytes_[pos_++];
    return true;
  }
  bool U16(std::uint16_t& v) {
    if (Remaining() < 2) return Fail();
    v = static_cast<std::uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool I16(std::int16_t& v) {
    std::uint16_t u = 0;
    if (!U16(u)) return false;
    v = static_cast<std::int16_t>(u);
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (Remaining() < 4) return Fail();
    v = static_cast<std::uint32_t>(bytes_[pos_]) | static_cast<std::uint32_t>(bytes_[pos_ + 1]) << 8 |
        static_cast<std::uint32_t>(bytes_[pos_ + 2]) << 16 | static_cast<std::uint32_t>(bytes_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  // A fixed-size, zero-padded text field; the text ends at the first zero.
  bool Name(std::size_t fieldSize, std::string& out) {
    if (fieldSize > Remaining()) return Fail();
    const auto* start = reinterpret_cast<const char*>(bytes_.data() + pos_);
    out.assign(start, strnlen(start, fieldSize));
    pos_ += fieldSize;
    return true;
  }
  bool Failed() const { return failed_; }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

class ByteWriter {
 public:
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v));
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
  void Bytes(std::span<const std::uint8_t> b) {
    if (b.empty()) return;
    const std::size_t at = out_.size();
    out_.resize(at + b.size());
    std::memcpy(out_.data() + at, b.data(), b.size());
  }
  void Name(std::string_view text, std::size_t fieldSize) {
    const std::size_t n = text.size() < fieldSize ? text.size() : fieldSize;
    out_.insert(out_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    Zeros(fieldSize - n);
  }
  const std::vector<std::uint8_t>& Data() const { return out_; }

 private:
  std::vector<std::uint8_t> out_;
};

// Whole-file helpers; both report failure instead of throwing.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out);
bool WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace tovrik::base
