#pragma once
// What the game view reads from and hands to the client around it: whether
// the game room is the screen on show, the room's caption and waiting state,
// the local user's PC-room and event values, and the two places a click goes
// besides the game (the caption bar and the room's chat input). The client
// implements it over its controller state; tests over plain values.

#include <string>

namespace tovrik::gameview {

struct RoomCaption {
  int roomNo = 0;
  std::string title;  // UTF-8
  bool superRoom = false;
};

// Who waits for whom before a game: the status line under the idle board.
struct WaitingState {
  bool owner = false;      // the local player opened the room
  int userCount = 0;       // players in the room
  bool otherReady = false; // the owner's guest pressed READY
  bool selfReady = false;  // the guest pressed READY
};

struct EventState {
  bool peakTimeEvent = false;  // the peak-time event runs
  bool peakTimeLabel = false;  // and its label shows
  int eventCount = 0;          // tenths of the event bar
  int eventValue1 = 0;
  int eventValue2 = 0;
};

class IGameViewHost {
 public:
  virtual ~IGameViewHost() = default;
  virtual bool IsGameRoomShown() const = 0;
  virtual RoomCaption Caption() const = 0;
  virtual WaitingState Waiting() const = 0;
  // The local user record's PC-room byte (19 and 20 earn a badge).
  virtual int LocalPcRoom() const = 0;
  virtual EventState Events() const = 0;
  // A press in the view's top rows moves the main window instead.
  virtual void OnCaptionBarPress(int x, int y) = 0;
  virtual void FocusChatInput() = 0;
};

}  // namespace tovrik::gameview
