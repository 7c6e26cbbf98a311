#pragma once
// What the client tells an end-to-end driver about itself through the
// automation channel, so that the driver waits for states instead of
// sleeping, and finds the stones it drags where the board draws them.

namespace tovrik::platform {
class AutomationChannel;
class Window;
}  // namespace tovrik::platform

namespace tovrik::app {

class CClientDlg;

// The control id of the room's game view.
inline constexpr int kGameViewControlId = 12345;

// Which screens are the client's own (the rest are stood in for).
struct OwnScreens {
  bool channel = false;
  bool lobby = false;
  bool room = false;
};

// Adds the client's questions, all answered as "key=value" words:
//   screens channel=0|1 lobby=0|1 room=0|1           1: the screen is its own
//   where   where=W wait=0|1                        (g_Where, g_Wait)
//   room    room=N users=N playing=0|1 master=0|1 ready=R0,R1 opponent=ID
//   game    phase=P myturn=0|1 waiting=0|1 aiming=0|1 moving=0|1 result=K
//           showing=0|1 side=S
//   chat TEXT...  seen=0|1: whether one of the last chat lines shown holds TEXT
//   stones  own=I:X,Y;... other=I:X,Y;...  the stones on the board by
//           index (0 is the king), at the page points where the game view
//           draws them (an empty list as "-")
void AddClientQuestions(platform::AutomationChannel& channel, const CClientDlg& mainWindow, OwnScreens own);

}  // namespace tovrik::app
