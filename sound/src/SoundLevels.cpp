#include "sound/SoundLevels.h"

#include <algorithm>
#include <cmath>

namespace tovrik::sound {

long VolumeToAttenuation(int volume, long masterVolume) {
  if (volume <= 0) return kSilenceHundredthsDb;
  volume = std::min(volume, 100);
  masterVolume = std::clamp(masterVolume, 0L, 100L);
  return volume * masterVolume - 10000;
}

long PanToHundredthsDb(int pan) { return long(std::clamp(pan, -100, 100)) * 100; }

float AttenuationToGain(long hundredthsDb) {
  if (hundredthsDb <= kSilenceHundredthsDb) return 0.0f;
  if (hundredthsDb >= 0) return 1.0f;
  return float(std::pow(10.0, double(hundredthsDb) / 2000.0));
}

StereoGain CombineVolumeAndPan(long attenuation, long pan) {
  const long left = pan > 0 ? attenuation - pan : attenuation;
  const long right = pan < 0 ? attenuation + pan : attenuation;
  return {AttenuationToGain(left), AttenuationToGain(right)};
}

void ApplyStereoGain(std::span<int16_t> frames, StereoGain gain) {
  if (gain.left == 1.0f && gain.right == 1.0f) return;
  for (size_t i = 0; i < frames.size(); ++i) {
    const float g = (i % 2 == 0) ? gain.left : gain.right;
    const float scaled = std::nearbyint(float(frames[i]) * g);
    frames[i] = int16_t(std::clamp(scaled, -32768.0f, 32767.0f));
  }
}

}  // namespace tovrik::sound
