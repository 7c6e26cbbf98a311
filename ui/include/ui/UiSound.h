#pragma once
// The two ways the skinned controls make a sound: a numbered effect through
// the sound manager (sprite buttons' hover sound) and a sound file played
// asynchronously, never replaced by a default beep (bitmap buttons' click
// sound). Both go through one seam so that tests can listen in.

#include <string>
#include <string_view>

namespace tovrik::ui {

class IUiSound {
 public:
  virtual ~IUiSound() = default;
  virtual void PlayEffect(int effectId, int volume) = 0;
  virtual void PlayFile(std::string_view path) = 0;
};

// The sounds in use: the sound manager and the plain file player unless a
// test installed its own.
IUiSound& UiSound();
// Installs `sound` (not owned; null restores the real one).
void SetUiSound(IUiSound* sound);

}  // namespace tovrik::ui
