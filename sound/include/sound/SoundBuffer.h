#pragma once
// xSoundBuffer: one sound effect loaded once and played on its own run of
// mixer channels, one channel per copy, so that the same effect can sound
// several times at once (three stones colliding in one tick).

#include "sound/SoundLevels.h"

#include <filesystem>
#include <string>
#include <vector>

struct Mix_Chunk;

namespace tovrik::sound {

class xSoundBuffer {
 public:
  xSoundBuffer() = default;
  xSoundBuffer(const xSoundBuffer&) = delete;
  xSoundBuffer& operator=(const xSoundBuffer&) = delete;
  virtual ~xSoundBuffer();

  // Loads `file` for `copies` simultaneous plays. 1 on success, −1 without an
  // open device, 0 when the file cannot be read or played (see LastError()).
  // Whatever was loaded before is released first.
  virtual int Create(const std::filesystem::path& file, int copies);
  void Destroy();

  bool HasBuffers() const;
  int GetCopies() const { return int(channels_.size()); }

  // The first copy that is not playing, or −1 when all are busy.
  int GetFreeBuffer() const;
  bool IsPlaying(int copy) const;

  // −1 without a device or buffers; 0 when every copy is busy and `force` is
  // 0; otherwise plays (restarting the first copy when all were busy) and
  // returns 1.
  int Play(int loop, int volume, int pan, int force);
  // Stops every playing copy; the next play starts from the beginning.
  void Stop();

  void SetVolume(int copy, int volume);
  void SetPanning(int copy, int pan);
  // The copy's current attenuation and pan, in hundredths of a decibel.
  long GetVolume(int copy) const;
  long GetPan(int copy) const;
  // The linear gain the mixer applies to the copy's channel.
  StereoGain GetGain(int copy) const;

  int LastPlayedCopy() const { return lastPlayed_; }
  const std::string& LastError() const { return error_; }

 private:
  struct Copy {
    int channel = -1;
    long attenuation = 0;
    long pan = 0;
  };
  bool ValidCopy(int copy) const { return copy >= 0 && copy < int(channels_.size()); }
  void PushGain(const Copy& c) const;

  std::vector<Copy> channels_;
  std::vector<uint8_t> samples_;  // the chunk points into this; freed after it
  Mix_Chunk* chunk_ = nullptr;
  unsigned generation_ = 0;
  int lastPlayed_ = -1;
  std::string error_;
};

}  // namespace tovrik::sound
