#pragma once
// CSound: the client's sound effects by number, and the switches for effects
// and music. With the mixer each effect owns its copies' channels; without it
// effects go one at a time through xSystemSoundPlayer.

#include "sound/SoundBuffer.h"
#include "sound/SystemSoundPlayer.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace tovrik::sound {

enum SND_ENUM {
  SND_START = 0,
  SND_MYTURN = 1,
  SND_SELECT = 2,
  SND_FIRE = 3,
  SND_HITSTONE = 4,
  SND_HITHINGE = 5,
  SND_DROP = 6,
  SND_POWERUP = 7,
  SND_CHANGE = 8,
  SND_TELEPORT = 9,
  SND_NUCLEAR = 10,
  SND_CHANGE_EF = 11,
  SND_TELEPORT_EF = 12,
  SND_NUCLEAR_EF = 13,
  SND_WIN = 14,
  SND_LOSE = 15,
  SND_INVITE = 16,
  SND_CLICK = 17,
  SND_WHISPER = 18,
  SND_PCBANG_IN = 19,
  SND_PCROOM_GREETING = 20,
};

inline constexpr int kEffectSlots = 50;
inline constexpr int kMusicSlots = 10;

// The PC-room greeting for a `pcRoomGrade` of 1 or 2: the plain greeting when
// `randomNumber` is even, else the one of the grade.
std::string PcRoomSoundFile(std::string_view portalCommonDir, int pcRoomGrade, int randomNumber);

class CSound {
 public:
  CSound() = default;
  CSound(const CSound&) = delete;
  CSound& operator=(const CSound&) = delete;
  virtual ~CSound();

  // Opens the mixer and loads every registered effect: 1; 0 when the mixer
  // cannot be opened and effects fall back to one at a time.
  int Init(void* window);
  void SetSndFile(int no, std::string file, int copies);
  void SetMusicFile(int no, std::string file);

  // 1 when the effect started (and at once when effects are off); 0 for a
  // bad number or an effect that cannot sound. The game plays with loop 0
  // and volume 100.
  int Play(int no, int loop = 0, int volume = 100);
  // 1 when stopped (and at once when effects are off); 0 for a bad number or
  // an effect that has no buffers.
  int Stop(int no);

  void SetSndFx(int on);
  void SetMusic(int on);
  void AllMusicStop();
  void Destroy();

  // The PC-room greeting of the local user; nothing for grade 0. The caller
  // passes the user's grade and the portal's common folder.
  void PlayPcRoomSound(int pcRoomGrade, std::string_view portalCommonDir);
  void StopPcRoomSound(int pcRoomGrade);

  bool UsesMixer() const { return useDirectSound != 0; }
  bool EffectsOff() const { return effectsOff != 0; }
  bool MusicOff() const { return musicOff != 0; }
  const std::string& GetSndFile(int no) const;
  int GetSndCopies(int no) const;
  const std::string& GetMusicFile(int no) const;
  const xSoundBuffer* GetBuffer(int no) const;
  const xSystemSoundPlayer& FallbackPlayer() const { return systemPlayer_; }

 private:
  static bool ValidEffect(int no) { return no >= 0 && no < kEffectSlots; }
  void RegisterDefaultFiles();
  void CreateBuffer(int no);

  int useDirectSound = 0;  // the mixer is open
  int effectsOff = 0;
  int musicOff = 0;
  std::array<xSoundBuffer, kEffectSlots> buffers_;
  std::array<std::string, kEffectSlots> effectFiles_;
  std::array<int, kEffectSlots> copies_{};
  std::array<std::string, kMusicSlots> musicFiles_;
  xSystemSoundPlayer systemPlayer_;
};

extern CSound Sound;

}  // namespace tovrik::sound
