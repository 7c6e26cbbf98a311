#include "sound/SoundDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace tovrik::sound {
namespace {

constexpr int kFrequency = 44100;
constexpr int kChunkSamples = 1024;  // about 23 ms: short enough for hit sounds

// Written by the UI thread, read by the mixer's thread while it mixes.
struct ChannelGain {
  std::atomic<float> left{1.0f};
  std::atomic<float> right{1.0f};
};

struct ChannelTable {
  std::vector<std::unique_ptr<ChannelGain>> gains;  // stable addresses: the mixer holds them
  std::vector<bool> used;
};

ChannelTable& Channels() {
  static ChannelTable table;
  return table;
}

xSoundDevice g_device;

void ApplyChannelGain(int, void* stream, int len, void* udata) {
  const auto* gain = static_cast<const ChannelGain*>(udata);
  const StereoGain g{gain->left.load(std::memory_order_relaxed), gain->right.load(std::memory_order_relaxed)};
  ApplyStereoGain(std::span(static_cast<int16_t*>(stream), size_t(len) / sizeof(int16_t)), g);
}

// Finds `count` free channels in a row, growing the mixer when there are none.
int FindOrGrowRun(ChannelTable& t, int count) {
  int run = 0;
  for (int i = 0; i < int(t.used.size()); ++i) {
    run = t.used[size_t(i)] ? 0 : run + 1;
    if (run == count) return i - count + 1;
  }
  const int first = int(t.used.size()) - run;  // a free tail is extended
  const int total = first + count;
  if (Mix_AllocateChannels(total) != total) return -1;
  // Keep the mixer's own "any free channel" choice off our channels.
  Mix_ReserveChannels(total);
  while (int(t.used.size()) < total) {
    const int channel = int(t.used.size());
    t.used.push_back(false);
    t.gains.push_back(std::make_unique<ChannelGain>());
    if (!Mix_RegisterEffect(channel, ApplyChannelGain, nullptr, t.gains.back().get()))
      std::fprintf(stderr, "sound: channel %d keeps full volume: %s\n", channel, Mix_GetError());
  }
  return first;
}

}  // namespace

int xSound::Init(void*) {
  if (IsInitDSound) return 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "sound: no audio subsystem: %s\n", SDL_GetError());
    return -1;
  }
  // The mixer converts to whatever the device wants; we always mix 16-bit
  // stereo so that the gain stage handles one layout only.
  const char* device = deviceName_.empty() ? nullptr : deviceName_.c_str();
  if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, 2, kChunkSamples, device, 0) != 0) {
    std::fprintf(stderr, "sound: mixer cannot be opened: %s\n", Mix_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return -1;
  }
  Mix_AllocateChannels(0);
  g_device = {kFrequency, AUDIO_S16SYS, 2};
  Channels() = {};
  ++generation_;
  IsInitDSound = 1;
  return 0;
}

void xSound::Close() {
  if (!IsInitDSound) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_CloseAudio();  // unregisters the gain effects before their storage goes
  Channels() = {};
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  IsInitDSound = 0;
  ++generation_;
}

const xSoundDevice* xSound::GetDS() { return IsInitDSound ? &g_device : nullptr; }

void xSound::SetMasterVolume(long v) { m_lMasterVolume = std::clamp(v, 0L, 100L); }

int xSound::ReserveChannels(int count) {
  if (!IsInitDSound || count <= 0) return -1;
  ChannelTable& t = Channels();
  const int first = FindOrGrowRun(t, count);
  if (first < 0) return -1;
  for (int c = first; c < first + count; ++c) {
    t.used[size_t(c)] = true;
    SetChannelGain(c, {});
  }
  return first;
}

void xSound::ReleaseChannels(int first, int count) {
  if (!IsInitDSound) return;
  ChannelTable& t = Channels();
  for (int c = std::max(first, 0); c < first + count && c < int(t.used.size()); ++c) {
    Mix_HaltChannel(c);
    t.used[size_t(c)] = false;
  }
}

void xSound::SetChannelGain(int channel, StereoGain gain) {
  ChannelTable& t = Channels();
  if (channel < 0 || channel >= int(t.gains.size())) return;
  t.gains[size_t(channel)]->left.store(gain.left, std::memory_order_relaxed);
  t.gains[size_t(channel)]->right.store(gain.right, std::memory_order_relaxed);
}

StereoGain xSound::GetChannelGain(int channel) {
  ChannelTable& t = Channels();
  if (channel < 0 || channel >= int(t.gains.size())) return {0.0f, 0.0f};
  return {t.gains[size_t(channel)]->left.load(), t.gains[size_t(channel)]->right.load()};
}

}  // namespace tovrik::sound
