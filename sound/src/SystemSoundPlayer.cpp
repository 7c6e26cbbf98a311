#include "sound/SystemSoundPlayer.h"

#include "WaveConvert.h"
#include "sound/WaveFile.h"

#include <SDL.h>

#include <vector>

namespace tovrik::sound {

xSystemSoundPlayer::~xSystemSoundPlayer() { Close(); }

bool xSystemSoundPlayer::OpenDevice() {
  if (device_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error_ = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (!device_) {
    error_ = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void xSystemSoundPlayer::Close() {
  if (!device_) return;
  SDL_CloseAudioDevice(device_);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device_ = 0;
  current_.clear();
}

void xSystemSoundPlayer::Stop() {
  if (device_) SDL_ClearQueuedAudio(device_);
  current_.clear();
}

int xSystemSoundPlayer::PlayFile(const std::filesystem::path& file) {
  Stop();
  if (!OpenDevice()) return 0;
  xWaveFile wave;
  if (!wave.Open(file)) {
    error_ = wave.LastError();
    return 0;
  }
  std::vector<uint8_t> samples;
  if (!ConvertWave(wave, {spec_.freq, spec_.format, spec_.channels}, samples, error_)) return 0;
  if (samples.empty() || SDL_QueueAudio(device_, samples.data(), Uint32(samples.size())) != 0) {
    if (!samples.empty()) error_ = SDL_GetError();
    return 0;
  }
  current_ = file;
  return 1;
}

bool xSystemSoundPlayer::IsPlaying() const { return device_ && SDL_GetQueuedAudioSize(device_) > 0; }

std::filesystem::path xSystemSoundPlayer::CurrentFile() const { return IsPlaying() ? current_ : std::filesystem::path(); }

}  // namespace tovrik::sound
