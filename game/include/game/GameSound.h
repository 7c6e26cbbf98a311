#pragma once
// The sound effects the game plays, and the small interface through which it
// plays them; the client connects it to its sound manager, tests to a counter.

namespace tovrik::game {

enum SoundEffect : int {
    kSoundGameStart = 0,
    kSoundMyTurn = 1,
    kSoundPick = 2,
    kSoundFlick = 3,
    kSoundHitStone = 4,
    kSoundHitHinge = 5,
    kSoundDrop = 6,
    kSoundItemArmed = 7, // 7 + item kind
    kSoundChange = 11,
    kSoundTeleport = 12,
    kSoundNuclear = 13,
    kSoundWin = 14,
    kSoundLoss = 15,
};

class IGameSound {
public:
    virtual ~IGameSound() = default;
    // Plays one effect once at full volume.
    virtual void PlayEffect(int effect) = 0;
    virtual void StopAllMusic() = 0;
};

} // namespace tovrik::game
