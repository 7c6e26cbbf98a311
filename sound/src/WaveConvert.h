#pragma once
// Turns a wave file's samples into a device's sample layout.

#include "sound/WaveFile.h"

#include <SDL_audio.h>

#include <string>
#include <vector>

namespace tovrik::sound {

struct DeviceLayout {
  int frequency = 0;
  SDL_AudioFormat format = 0;
  int channels = 0;
};

// The samples of `wave` (open) in the device's layout; false with a reason
// when SDL cannot convert between the two.
bool ConvertWave(const xWaveFile& wave, const DeviceLayout& device, std::vector<uint8_t>& out, std::string& error);

}  // namespace tovrik::sound
