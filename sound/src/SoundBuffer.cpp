#include "sound/SoundBuffer.h"

#include "WaveConvert.h"
#include "sound/SoundDevice.h"
#include "sound/WaveFile.h"

#include <SDL_mixer.h>

namespace tovrik::sound {

xSoundBuffer::~xSoundBuffer() { Destroy(); }

bool xSoundBuffer::HasBuffers() const {
  return chunk_ != nullptr && xSound::IsInitDSound && generation_ == xSound::Generation();
}

int xSoundBuffer::Create(const std::filesystem::path& file, int copies) {
  Destroy();
  const xSoundDevice* device = xSound::GetDS();
  if (!device) {
    error_ = "no sound device";
    return -1;
  }
  if (copies < 1) {
    error_ = "an effect needs at least one copy";
    return 0;
  }
  xWaveFile wave;  // only needed until the samples are converted
  if (!wave.Open(file)) {
    error_ = wave.LastError();
    return 0;
  }
  if (wave.GetSize() == 0) {
    error_ = file.string() + ": no samples";
    return 0;
  }
  if (!ConvertWave(wave, {device->frequency, device->format, device->channels}, samples_, error_)) {
    error_ = file.string() + ": " + error_;
    return 0;
  }
  chunk_ = Mix_QuickLoad_RAW(samples_.data(), Uint32(samples_.size()));
  const int first = chunk_ ? xSound::ReserveChannels(copies) : -1;
  if (first < 0) {
    error_ = file.string() + ": " + Mix_GetError();
    Destroy();
    return 0;
  }
  generation_ = xSound::Generation();
  channels_.resize(size_t(copies));
  for (int i = 0; i < copies; ++i) channels_[size_t(i)].channel = first + i;
  error_.clear();
  return 1;
}

void xSoundBuffer::Destroy() {
  const bool live = HasBuffers();
  if (live && !channels_.empty()) xSound::ReleaseChannels(channels_.front().channel, int(channels_.size()));
  if (chunk_) Mix_FreeChunk(chunk_);  // also halts any channel still playing it
  chunk_ = nullptr;
  samples_.clear();
  samples_.shrink_to_fit();
  channels_.clear();
  lastPlayed_ = -1;
}

bool xSoundBuffer::IsPlaying(int copy) const {
  return HasBuffers() && ValidCopy(copy) && Mix_Playing(channels_[size_t(copy)].channel) != 0;
}

int xSoundBuffer::GetFreeBuffer() const {
  if (!HasBuffers()) return -1;
  for (int i = 0; i < GetCopies(); ++i)
    if (!IsPlaying(i)) return i;
  return -1;
}

int xSoundBuffer::Play(int loop, int volume, int pan, int force) {
  if (!HasBuffers()) return -1;
  int copy = GetFreeBuffer();
  if (copy < 0) {
    if (!force) return 0;
    copy = 0;
    Mix_HaltChannel(channels_.front().channel);  // restarts from the beginning below
  }
  SetVolume(copy, volume);
  SetPanning(copy, pan);
  if (Mix_PlayChannel(channels_[size_t(copy)].channel, chunk_, loop ? -1 : 0) < 0) {
    error_ = Mix_GetError();
    return 0;
  }
  lastPlayed_ = copy;
  return 1;
}

void xSoundBuffer::Stop() {
  if (!HasBuffers()) return;
  for (const Copy& c : channels_) Mix_HaltChannel(c.channel);
}

void xSoundBuffer::SetVolume(int copy, int volume) {
  if (!ValidCopy(copy)) return;
  Copy& c = channels_[size_t(copy)];
  c.attenuation = VolumeToAttenuation(volume, xSound::GetMasterVolume());
  PushGain(c);
}

void xSoundBuffer::SetPanning(int copy, int pan) {
  if (!ValidCopy(copy)) return;
  Copy& c = channels_[size_t(copy)];
  c.pan = PanToHundredthsDb(pan);
  PushGain(c);
}

long xSoundBuffer::GetVolume(int copy) const { return ValidCopy(copy) ? channels_[size_t(copy)].attenuation : 0; }
long xSoundBuffer::GetPan(int copy) const { return ValidCopy(copy) ? channels_[size_t(copy)].pan : 0; }

StereoGain xSoundBuffer::GetGain(int copy) const {
  return HasBuffers() && ValidCopy(copy) ? xSound::GetChannelGain(channels_[size_t(copy)].channel) : StereoGain{0, 0};
}

void xSoundBuffer::PushGain(const Copy& c) const {
  if (HasBuffers()) xSound::SetChannelGain(c.channel, CombineVolumeAndPan(c.attenuation, c.pan));
}

}  // namespace tovrik::sound
