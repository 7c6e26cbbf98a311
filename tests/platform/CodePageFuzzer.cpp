// Any bytes, read as a fixed code page 949 field or as UTF-8 written into
// one, convert without reading or writing past the field.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrik::base;
  const std::vector<char> field(data, data + size);  // exact size: ASan sees any overread
  const std::string utf8 = Cp949FieldToUtf8(std::span<const char>(field));
  std::vector<char> out(size % 23);
  const std::size_t written = Utf8ToCp949Field(utf8, out);
  if (!out.empty() && (written >= out.size() || out[written] != 0)) __builtin_trap();
  Utf8ToCp949Field(std::string_view(field.data(), field.size()), out);
  return 0;
}
