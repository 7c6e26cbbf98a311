#include "sound/WaveFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Any byte string must be either refused or described by a layout that lies
// inside it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tovrik::sound::WaveLayout layout;
  std::string error;
  if (tovrik::sound::ParseWave({data, size}, layout, error) &&
      (layout.dataOffset > size || layout.dataSize > size - layout.dataOffset))
    __builtin_trap();
  return 0;
}
