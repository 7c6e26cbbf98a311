#include "WaveConvert.h"

#include <algorithm>
#include <climits>

namespace tovrik::sound {
namespace {

SDL_AudioFormat SourceFormat(const WaveFormat& f) {
  if (f.formatTag == kWaveFormatIeeeFloat) return AUDIO_F32LSB;
  switch (f.bitsPerSample) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16LSB;
    default: return AUDIO_S32LSB;
  }
}

}  // namespace

bool ConvertWave(const xWaveFile& wave, const DeviceLayout& device, std::vector<uint8_t>& out, std::string& error) {
  const WaveFormat& f = wave.GetFormat();
  const auto data = wave.Data();
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, SourceFormat(f), uint8_t(f.channels), int(f.samplesPerSec), device.format,
                        uint8_t(device.channels), device.frequency) < 0) {
    error = SDL_GetError();
    return false;
  }
  if (data.size() > size_t(INT_MAX / std::max(cvt.len_mult, 1))) {
    error = "sample data too large to convert";
    return false;
  }
  out.assign(data.size() * size_t(cvt.len_mult), 0);
  std::copy(data.begin(), data.end(), out.begin());
  cvt.buf = out.data();
  cvt.len = int(data.size());
  if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) {
    error = SDL_GetError();
    out.clear();
    return false;
  }
  out.resize(cvt.needed ? size_t(cvt.len_cvt) : data.size());
  return true;
}

}  // namespace tovrik::sound
