// Chat text comes from other players: the filter must stay inside its
// output buffer and keep the text's length whatever the bytes are.

#include "BadWordFilter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static tovrik::badfilter::BadWordFilter filter = [] {
    tovrik::badfilter::BadWordFilter f;
    std::string error;
    f.LoadText("TOVRIK-BADFILTER 1\n\xeb\xb3\x91\xec\x8b\xa0\nfuck\nab\nb\n", error);
    return f;
  }();
  if (size == 0) return 0;
  size_t outSize = data[0];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  text = text.c_str();  // the library sees zero-terminated text
  std::vector<char> out(outSize + 2, '#');
  filter.Replace(text, out.data() + 1, outSize, '*');
  if (out.front() != '#' || out.back() != '#') std::abort();
  if (outSize && std::string(out.data() + 1).size() > text.size()) std::abort();
  return 0;
}
