#include "sound/Sound.h"

#include "platform/PathResolver.h"
#include "sound/SoundDevice.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <random>

namespace tovrik::sound {

CSound Sound;

namespace {

struct DefaultEffect {
  int no;
  const char* file;
  int copies;
};

// Collisions, hinge bounces and drops can happen several times in one tick.
constexpr DefaultEffect kDefaultEffects[] = {
    {SND_START, ".\\Sound\\start.wav", 1},         {SND_MYTURN, ".\\Sound\\myturn.wav", 1},
    {SND_SELECT, ".\\Sound\\select.wav", 1},       {SND_FIRE, ".\\Sound\\fire.wav", 1},
    {SND_HITSTONE, ".\\Sound\\hitstone.wav", 3},   {SND_HITHINGE, ".\\Sound\\hithinge.wav", 3},
    {SND_DROP, ".\\Sound\\drop.wav", 3},           {SND_POWERUP, ".\\Sound\\powerup.wav", 1},
    {SND_CHANGE, ".\\Sound\\change.wav", 1},       {SND_TELEPORT, ".\\Sound\\teleport.wav", 1},
    {SND_NUCLEAR, ".\\Sound\\nuclear.wav", 1},     {SND_CHANGE_EF, ".\\Sound\\change_ef.wav", 1},
    {SND_TELEPORT_EF, ".\\Sound\\teleport_ef.wav", 1}, {SND_NUCLEAR_EF, ".\\Sound\\nuclear_ef.wav", 1},
    {SND_WIN, ".\\Sound\\win.wav", 1},             {SND_LOSE, ".\\Sound\\lose.wav", 1},
    {SND_INVITE, ".\\Sound\\invite.wav", 1},       {SND_CLICK, ".\\Sound\\click.wav", 1},
    {SND_WHISPER, ".\\Sound\\whisper.wav", 1},     {SND_PCBANG_IN, ".\\Sound\\pcbang_in.wav", 1},
    {SND_PCROOM_GREETING, "", 1},
};

const std::string kNoFile;

}  // namespace

std::string PcRoomSoundFile(std::string_view portalCommonDir, int pcRoomGrade, int randomNumber) {
  const char* name = randomNumber % 2 == 0 ? "PCRoom.wav" : pcRoomGrade == 1 ? "PCRoom_Basic.wav" : "PCRoom_Plus.wav";
  return std::string(portalCommonDir) + "\\Resource\\image\\" + name;
}

CSound::~CSound() { Destroy(); }

void CSound::RegisterDefaultFiles() {
  for (const DefaultEffect& e : kDefaultEffects) SetSndFile(e.no, e.file, e.copies);
  SetMusicFile(0, ".\\Sound\\music01.mid");
  SetMusicFile(1, ".\\Sound\\music02.mid");
}

int CSound::Init(void* window) {
  useDirectSound = xSound::Init(window) == 0 ? 1 : 0;
  RegisterDefaultFiles();
  if (!useDirectSound) return 0;
  for (int no = 0; no < kEffectSlots; ++no)
    if (!effectFiles_[size_t(no)].empty()) CreateBuffer(no);
  return 1;
}

void CSound::CreateBuffer(int no) {
  xSoundBuffer& buffer = buffers_[size_t(no)];
  const auto path = platform::ResolvePath(effectFiles_[size_t(no)]);
  if (buffer.Create(path, copies_[size_t(no)]) != 1)
    std::fprintf(stderr, "sound: effect %d stays silent: %s\n", no, buffer.LastError().c_str());
}

void CSound::SetSndFile(int no, std::string file, int copies) {
  if (!ValidEffect(no)) return;
  effectFiles_[size_t(no)] = std::move(file);
  copies_[size_t(no)] = copies;
}

void CSound::SetMusicFile(int no, std::string file) {
  if (no >= 0 && no < kMusicSlots) musicFiles_[size_t(no)] = std::move(file);
}

int CSound::Play(int no, int loop, int volume) {
  if (effectsOff) return 1;
  if (!ValidEffect(no)) return 0;
  if (useDirectSound) return buffers_[size_t(no)].Play(loop ? 1 : 0, volume, 0, 1) == 1 ? 1 : 0;
  // The plain player knows neither loops nor volume.
  const std::string& file = effectFiles_[size_t(no)];
  return !file.empty() && systemPlayer_.PlayFile(platform::ResolvePath(file)) ? 1 : 0;
}

int CSound::Stop(int no) {
  if (effectsOff) return 1;
  if (!ValidEffect(no) || !buffers_[size_t(no)].HasBuffers()) return 0;
  buffers_[size_t(no)].Stop();
  return 1;
}

void CSound::SetSndFx(int on) {
  if (on == 1) effectsOff = 0;
  if (on == 0) effectsOff = 1;
}

void CSound::SetMusic(int on) {
  if (on == 1) musicOff = 0;
  if (on == 0) {
    musicOff = 1;
    AllMusicStop();
  }
}

void CSound::AllMusicStop() {
  if (useDirectSound && xSound::IsInitDSound) Mix_HaltMusic();
}

void CSound::Destroy() {
  for (xSoundBuffer& buffer : buffers_) buffer.Destroy();
  if (xSound::IsInitDSound) Mix_HaltMusic();
  systemPlayer_.Close();
}

void CSound::PlayPcRoomSound(int pcRoomGrade, std::string_view portalCommonDir) {
  if (pcRoomGrade == 0) return;
  // A generator of its own: the game's simulation must not see its draws.
  std::minstd_rand random(SDL_GetTicks());
  SetSndFile(SND_PCROOM_GREETING, PcRoomSoundFile(portalCommonDir, pcRoomGrade, int(random() & 0x7FFF)), 1);
  if (useDirectSound) CreateBuffer(SND_PCROOM_GREETING);
  Play(SND_PCROOM_GREETING, 0, 100);
}

void CSound::StopPcRoomSound(int pcRoomGrade) {
  if (pcRoomGrade == 1 || pcRoomGrade == 2) Stop(SND_PCROOM_GREETING);
}

const std::string& CSound::GetSndFile(int no) const { return ValidEffect(no) ? effectFiles_[size_t(no)] : kNoFile; }
int CSound::GetSndCopies(int no) const { return ValidEffect(no) ? copies_[size_t(no)] : 0; }
const std::string& CSound::GetMusicFile(int no) const {
  return no >= 0 && no < kMusicSlots ? musicFiles_[size_t(no)] : kNoFile;
}
const xSoundBuffer* CSound::GetBuffer(int no) const { return ValidEffect(no) ? &buffers_[size_t(no)] : nullptr; }

}  // namespace tovrik::sound
