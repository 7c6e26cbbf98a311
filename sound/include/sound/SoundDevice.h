#pragma once
// xSound: the effect device, SDL2_mixer opened once for the whole program.
// Every effect copy is one mixer channel; xSound hands out runs of channels
// and applies each channel's volume and pan as a floating-point gain, because
// the mixer's own 0..128 volume cannot express attenuations like −50 dB.

#include "sound/SoundLevels.h"

#include <string>

namespace tovrik::sound {

// What the mixer was opened with; effects are converted to this once.
struct xSoundDevice {
  int frequency = 0;
  uint16_t format = 0;  // SDL audio format, always signed 16-bit native order
  int channels = 0;     // always 2
};

class xSound {
 public:
  // Opens the mixer on the chosen output device. 0 on success; −1 when the
  // audio subsystem, the device or the mixer cannot be opened (the caller
  // then falls back to one-at-a-time playback).
  static int Init(void* window);
  // Closes the mixer. Buffers created before stop working (they notice
  // through Generation()).
  static void Close();

  static const xSoundDevice* GetDS();
  static long GetMasterVolume() { return m_lMasterVolume; }
  static void SetMasterVolume(long v);

  // Output device for the next Init; empty means the system's default.
  static void SetDeviceName(std::string name) { deviceName_ = std::move(name); }

  // A contiguous run of `count` channels for one effect's copies, or −1.
  static int ReserveChannels(int count);
  static void ReleaseChannels(int first, int count);
  static void SetChannelGain(int channel, StereoGain gain);
  static StereoGain GetChannelGain(int channel);

  // Changes at every Init, so that channel numbers of an earlier device are
  // never used on a new one.
  static unsigned Generation() { return generation_; }

  static inline int IsInitDSound = 0;

 private:
  static inline long m_lMasterVolume = 100;
  static inline std::string deviceName_;
  static inline unsigned generation_ = 0;
};

}  // namespace tovrik::sound
