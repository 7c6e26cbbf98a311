#pragma once
// The plain system message box. With a display it is SDL's own message box;
// without one (SDL's dummy video driver, or no display at all) the box is
// written to the log and answered by the automation hook, so that headless
// runs and tests go through the same paths as a person at the screen.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::platform {

// Button sets (the low four bits of a box type).
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x02;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_RETRYCANCEL = 0x05;
inline constexpr unsigned MB_TYPEMASK = 0x0F;

// Icons (bits 4..7).
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows a modal box with the given caption, text (UTF-8) and box type and
// returns the button chosen. Never fails: a box that cannot be shown on the
// screen is logged and answered like a headless one.
int ShowMessageBox(std::string_view caption, std::string_view text, unsigned type);

// Ends a box that is open on the screen, and every later one, as if its
// escape button were chosen: the program is about to end. Safe to call from
// a signal handler.
void InterruptMessageBoxes();

// Tests stand in for the box on the screen: `box` runs where SDL's box would
// (in the box's own child process) and returns the button chosen. Empty
// restores SDL's box.
using OnScreenMessageBox = std::function<int(std::string_view caption, std::string_view text, unsigned type)>;
void SetOnScreenMessageBoxForTests(OnScreenMessageBox box);

// True when boxes go to the log instead of the screen.
bool MessageBoxesAreHeadless();

// Automation hook for headless runs. An answer is taken from the queue
// first, then the default answer; with neither, the box's escape button
// answers (Cancel, No, or OK for a lone OK) so that an unattended run never
// takes the action a box offers. The environment variable
// TOVRIK_MESSAGEBOX_ANSWERS ("yes,no,ok" or numbers) fills the queue at the
// first box, for runs of the program itself.
void SetMessageBoxDefaultAnswer(int answer);  // 0 removes the default
void QueueMessageBoxAnswers(std::initializer_list<int> answers);
void ResetMessageBoxAutomation();  // empties the queue, the default and the record; ends an interruption

// For a box the program draws itself (its skinned message dialog), which
// must answer automation and leave the same record as the plain box:
// - the automated answer waiting for it (the queue, then the default), none
//   when a person is to answer; an answer the box does not offer becomes
//   its escape button, as for the plain box;
// - the button that Escape chooses (OK for a lone OK, No for Yes/No, else
//   Cancel);
// - whether boxes were interrupted (the box ends as escaped);
// - the record of a box that was answered (the log line and the kept list).
std::optional<int> TakeAutomatedMessageBoxAnswer(unsigned type);
int MessageBoxEscapeAnswer(unsigned type);
bool MessageBoxesInterrupted();
void RecordMessageBoxAnswer(std::string_view caption, std::string_view text, unsigned type, int answer);

// The boxes shown through the log in this process, oldest first: the last
// kLoggedMessageBoxesKept of them, so that a long headless run that keeps
// showing boxes does not keep every one forever.
inline constexpr std::size_t kLoggedMessageBoxesKept = 256;
struct LoggedMessageBox {
  std::string caption;
  std::string text;
  unsigned type = 0;
  int answer = 0;
};
const std::vector<LoggedMessageBox>& LoggedMessageBoxes();
// How many boxes went through the log since the last reset, also those no
// longer kept.
std::size_t LoggedMessageBoxCount();

// The line a headless box writes to the log, so callers reading the log of
// another process can look for it: control characters, quotes and
// backslashes are written as C escapes.
std::string MessageBoxLogLine(std::string_view caption, std::string_view text, unsigned type, int answer);

}  // namespace tovrik::platform
