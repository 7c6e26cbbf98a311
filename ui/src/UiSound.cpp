#include "ui/UiSound.h"

#include "platform/PathResolver.h"
#include "sound/Sound.h"
#include "sound/SystemSoundPlayer.h"

namespace tovrik::ui {
namespace {

class SoundManagerSound final : public IUiSound {
 public:
  void PlayEffect(int effectId, int volume) override { sound::Sound.Play(effectId, 0, volume); }
  void PlayFile(std::string_view path) override {
    if (!path.empty()) player_.PlayFile(platform::ResolvePath(path));
  }

 private:
  sound::xSystemSoundPlayer player_;
};

IUiSound* g_override = nullptr;

}  // namespace

IUiSound& UiSound() {
  static SoundManagerSound real;
  return g_override ? *g_override : real;
}

void SetUiSound(IUiSound* sound) { g_override = sound; }

}  // namespace tovrik::ui
