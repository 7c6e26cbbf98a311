#pragma once
// xSystemSoundPlayer: the plain one-sound-at-a-time player used when the
// mixer cannot be opened. Like the system's own sound player it plays a file
// asynchronously, a new sound cuts off the one playing, and a file that
// cannot be played plays nothing at all (never a default beep).

#include <SDL_audio.h>

#include <filesystem>
#include <string>

namespace tovrik::sound {

class xSystemSoundPlayer {
 public:
  xSystemSoundPlayer() = default;
  xSystemSoundPlayer(const xSystemSoundPlayer&) = delete;
  xSystemSoundPlayer& operator=(const xSystemSoundPlayer&) = delete;
  ~xSystemSoundPlayer();

  // Stops what is playing and starts `file`. 1 when it started, 0 when the
  // file or the default device cannot be used (see LastError()).
  int PlayFile(const std::filesystem::path& file);
  void Stop();
  bool IsPlaying() const;
  // The file of the sound playing now, empty when silent.
  std::filesystem::path CurrentFile() const;
  // Gives the device back; the next PlayFile opens it again.
  void Close();

  const std::string& LastError() const { return error_; }

 private:
  bool OpenDevice();

  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec spec_{};
  std::filesystem::path current_;
  std::string error_;
};

}  // namespace tovrik::sound
