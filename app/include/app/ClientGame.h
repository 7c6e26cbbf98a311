#pragma once
// The client's one game (tovrik::game::Game) connected to the rest of the
// client: its moves leave on the game server connection, its turns are
// timed with the event loop's clock, its effects play through the sound
// manager, and its room is the controller's room record with the game room
// screen.

#include "app/Screens.h"
#include "game/GameServices.h"
#include "game/GameSound.h"

#include <string_view>

namespace tovrik::game {
class CGame;
}

namespace tovrik::app {

class CClientGame final : public tovrik::game::IGameSender,
                          public tovrik::game::IGameClock,
                          public tovrik::game::IGameSound,
                          public tovrik::game::IGameRoom {
 public:
  // Attaches itself to `game` for its lifetime. Effects go to `sound`, or
  // to the sound manager when it is null.
  CClientGame(tovrik::game::CGame& game, IGameRoomScreen& room, tovrik::game::IGameSound* sound = nullptr);
  ~CClientGame() override;
  CClientGame(const CClientGame&) = delete;
  CClientGame& operator=(const CClientGame&) = delete;

  // IGameSender: each message to the game server on the main connection.
  void SendStoneClick(const tovrik::protocol::STONECLICK& record) override;
  void SendUseItem(const tovrik::protocol::USEITEM& record) override;
  void SendChangeItem(const tovrik::protocol::CHANGEITEM& record) override;
  void SendTeleportItem(const tovrik::protocol::TELEPORTITEM& record) override;
  void SendNuclearItem(const tovrik::protocol::NUCLEARITEM& record) override;
  void SendStoneHit(const tovrik::protocol::STONEHITINFO& record) override;
  void SendResultStoneHit(const tovrik::protocol::RESULTSTONEHITINFO& head,
                          const tovrik::protocol::DROPSTONEINFO& drops) override;
  void SendTimeOutMyTurn(std::string_view id) override;
  void SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve) override;

  // IGameClock: the event loop's millisecond clock.
  unsigned TimeGetTime() override;

  // IGameSound
  void PlayEffect(int effect) override;
  void StopAllMusic() override;

  // IGameRoom: g_RI and the game room screen.
  int IsPlaying() const override;
  void SetPlaying(int playing) override;
  int RoomNo() const override;
  int IsItemChannel() const override;
  void ClearWait() override;
  void SetResetGameTimer() override { room_.SetResetGameTimer(); }
  void ClearResetGameTimer() override { room_.ClearResetGameTimer(); }
  // Leaves the room: one leave request while none is pending.
  void ExitGame() override;
  void ShowMessageBox(std::string_view text) override;
  void SetButtonState() override { room_.SetButtonState(); }
  void FocusChatInput() override { room_.FocusChat(); }
  void RefreshCharViews(const tovrik::game::CPlayer& local, const tovrik::game::CPlayer& opponent) override;

 private:
  tovrik::game::CGame& game_;
  IGameRoomScreen& room_;
  tovrik::game::IGameSound* sound_;
};

}  // namespace tovrik::app
