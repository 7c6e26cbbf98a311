#pragma once
// The volume and pan law of the effects, in hundredths of a decibel like the
// settings have always been expressed, and its conversion to linear gains.

#include <cstdint>
#include <span>

namespace tovrik::sound {

inline constexpr long kSilenceHundredthsDb = -10000;  // this or lower is silence

// Attenuation of an effect played at `volume` (0..100) with the master volume
// `masterVolume` (0..100): volume × master − 10000, so 100 at full master is
// 0 dB, 50 is −50 dB and 0 or below is silent.
long VolumeToAttenuation(int volume, long masterVolume);

// Pan in hundredths of a decibel: positive attenuates the left side,
// negative the right, ±10000 silences that side.
long PanToHundredthsDb(int pan);

// Linear amplitude of an attenuation: 10^(dB / 20), exactly 0 for silence.
float AttenuationToGain(long hundredthsDb);

struct StereoGain {
  float left = 1.0f;
  float right = 1.0f;
};
StereoGain CombineVolumeAndPan(long attenuation, long pan);

// Scales interleaved 16-bit stereo frames in place, rounding and saturating.
void ApplyStereoGain(std::span<int16_t> frames, StereoGain gain);

}  // namespace tovrik::sound
