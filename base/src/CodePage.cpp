#include "base/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tovrik::base {
namespace {

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kCp949Replacement = "?";

// One conversion descriptor per direction, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // `skip` tells how many input bytes a bad sequence at `p` takes.
  template <typename Skip>
  std::string Convert(std::string_view input, std::string_view replacement, Skip skip) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      out.assign(input.size(), replacement.front());
      return out;
    }
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = ::iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, outPtr);
      if (result != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ (not convertible) or EINVAL (cut short at the end).
      const std::size_t n = std::min(inLeft, std::max<std::size_t>(1, skip(std::string_view(in, inLeft))));
      in += n;
      inLeft -= n;
      out.append(replacement);
      ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::size_t SkipCp949(std::string_view rest) {
  // A lead byte whose trail is not valid: drop the lead alone so that an
  // ASCII trail byte survives.
  (void)rest;
  return 1;
}

std::size_t SkipUtf8(std::string_view rest) {
  const std::size_t length = Utf8CharLength(rest, 0);
  // Never swallow bytes that are not continuation bytes.
  std::size_t n = 1;
  while (n < length && n < rest.size() && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80) ++n;
  return n;
}

Converter& ToUtf8() {
  static thread_local Converter converter("UTF-8", "CP949");
  return converter;
}

Converter& ToCp949() {
  static thread_local Converter converter("CP949", "UTF-8");
  return converter;
}

}  // namespace

std::size_t Utf8CharLength(std::string_view utf8, std::size_t at) {
  if (at >= utf8.size()) return 0;
  const auto lead = static_cast<unsigned char>(utf8[at]);
  const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return std::min(n, utf8.size() - at);
}

std::string Cp949ToUtf8(std::string_view cp949) { return ToUtf8().Convert(cp949, kUtf8Replacement, SkipCp949); }

std::string Cp949FieldToUtf8(std::span<const char> field) {
  if (field.empty()) return {};  // memchr must not see an empty span's null pointer
  const auto* end = static_cast<const char*>(std::memchr(field.data(), 0, field.size()));
  return Cp949ToUtf8(std::string_view(field.data(), end ? static_cast<std::size_t>(end - field.data()) : field.size()));
}

std::string Cp949FieldToUtf8(std::span<const std::uint8_t> field) {
  return Cp949FieldToUtf8(std::span<const char>(reinterpret_cast<const char*>(field.data()), field.size()));
}

std::string Utf8ToCp949(std::string_view utf8) { return ToCp949().Convert(utf8, kCp949Replacement, SkipUtf8); }

std::size_t Utf8ToCp949Field(std::string_view utf8, std::span<char> field) {
  if (field.empty()) return 0;
  const std::string text = Utf8ToCp949(utf8);
  const std::size_t room = field.size() - 1;
  std::size_t length = 0;
  // Whole characters only: a lead byte without its trail would swallow the
  // terminator when read back.
  while (length < text.size()) {
    const std::size_t step = IsCp949LeadByte(static_cast<std::uint8_t>(text[length])) && length + 1 < text.size() ? 2 : 1;
    if (length + step > room) break;
    length += step;
  }
  std::copy_n(text.data(), length, field.data());
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(length), field.end(), '\0');
  return length;
}

std::vector<std::uint16_t> Cp949Characters(std::string_view cp949) {
  std::vector<std::uint16_t> characters;
  for (std::size_t i = 0; i < cp949.size(); ++i) {
    const auto lead = static_cast<std::uint8_t>(cp949[i]);
    if (IsCp949LeadByte(lead) && i + 1 < cp949.size()) {
      characters.push_back(static_cast<std::uint16_t>(lead | (static_cast<std::uint8_t>(cp949[i + 1]) << 8)));
      ++i;
    } else {
      characters.push_back(lead);
    }
  }
  return characters;
}

}  // namespace tovrik::base
