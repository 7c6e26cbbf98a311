#include "protocol/Cp949.h"

#include <iconv.h>

#include <cerrno>

namespace tovrik::protocol {
namespace {

std::string Convert(std::string_view input, const char* to, const char* from, bool utf8Input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string output(input.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      const std::size_t used = output.size() - outLeft;
      output.resize(output.size() * 2);
      out = output.data() + used;
      outLeft = output.size() - used;
      continue;
    }
    if (errno == EILSEQ && outLeft > 0) {
      // One character without a form here: mark it and skip its bytes.
      *out++ = '?';
      --outLeft;
      ++in;
      --inLeft;
      while (utf8Input && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
        ++in;
        --inLeft;
      }
      continue;
    }
    break;  // a truncated last character: drop it
  }
  output.resize(output.size() - outLeft);
  iconv_close(cd);
  return output;
}

}  // namespace

std::string Utf8ToCp949(std::string_view utf8) { return Convert(utf8, "CP949", "UTF-8", true); }

std::string Cp949ToUtf8(std::string_view cp949) { return Convert(cp949, "UTF-8", "CP949", false); }

}  // namespace tovrik::protocol
