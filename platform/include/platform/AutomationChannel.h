#pragma once
// Remote control for end-to-end runs. When the environment variable
// TOVRIK_AUTOMATION names a Unix stream socket that a driver listens on, the
// program connects to it at start and carries out the driver's commands, one
// per line (UTF-8, words separated by spaces, coordinates in page pixels):
//
//   move X Y              the pointer moves there
//   click X Y             left press and release there (rclick: right button)
//   dblclick X Y          two clicks
//   drag X1 Y1 X2 Y2      press at the first point, move, release at the second
//   wheel X Y DELTA       the wheel turned by DELTA (120 a notch) there
//   key NAME              one key pressed and released: a virtual-key number
//                         or RETURN, ESCAPE, TAB, BACK, SPACE, DELETE, HOME,
//                         END, LEFT, RIGHT, UP, DOWN, PRIOR, NEXT, F1
//   type TEXT             the rest of the line typed as committed input
//   compose TEXT STEP...  STEP... shown as a composition, then TEXT committed
//   save PATH             the composed frame written as a BMP file
//   ask QUESTION WORD...  what the program says about itself: "ok ANSWER"
//                         (see below), or "error <why>"
//   ping                  nothing; the answer shows the program is listening
//
// Questions let a driver wait for states and find things on the page instead
// of sleeping and guessing. The channel answers one itself:
//
//   ask window ID         the page rectangle of the top-most visible window
//                         with that control id among those that take input
//                         (inside the top modal window while one runs):
//                         "ok X Y WIDTH HEIGHT ENABLED"
//   ask modal             how many modal runs are nested and the page
//                         rectangle of the top one: "ok depth=N x=X y=Y
//                         width=W height=H" ("ok depth=0" without one)
//
// and the program adds its own (AddQuestion).
//
// Every line is answered with one line: "ok" or "error <why>". Input is
// answered as soon as it was read, before it is carried out, because input
// may open a modal box whose loop goes on reading commands (the driver
// answers the box through the next ones). "save" is answered once the file
// is written. The channel is off unless the variable is set; if the driver
// cannot be reached the program says so once and runs without it.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Automation.h"
#include "platform/Window.h"

namespace tovrik::platform {

struct AutomationCommand {
  enum class Kind { Move, Click, RightClick, DoubleClick, Drag, Wheel, Key, Type, Compose, Save, Ask, Ping };
  Kind kind = Kind::Ping;
  std::vector<int> numbers;         // coordinates, the wheel delta or the key
  std::string text;                 // typed or committed text, the file path or the question
  std::vector<std::string> steps;   // composition steps, or the question's words
};

struct ParsedAutomationCommand {
  std::optional<AutomationCommand> command;
  std::string error;  // why the line is not a command, when command is empty
};

ParsedAutomationCommand ParseAutomationCommand(std::string_view line);

class AutomationChannel final : public Window {
 public:
  // Answers a question from its words: true with the answer text, or false
  // with the reason in `answer`.
  using Question = std::function<bool(const std::vector<std::string>& words, std::string& answer)>;

  static constexpr const char* kEnvironmentVariable = "TOVRIK_AUTOMATION";
  // The longest line taken; a longer one is answered with an error and dropped.
  static constexpr std::size_t kMaxLineBytes = 4096;

  // Connects to the driver's socket; null (with the reason in `error`) when
  // it cannot. `host` is the window the channel's hidden window lives in.
  static std::unique_ptr<AutomationChannel> Connect(EventLoop& loop, Window& host, const std::string& socketPath,
                                                    std::string* error);
  // Connect to the socket named by TOVRIK_AUTOMATION; null when the variable
  // is not set or the driver cannot be reached (logged once).
  static std::unique_ptr<AutomationChannel> FromEnvironment(EventLoop& loop, Window& host);

  ~AutomationChannel() override;
  bool Connected() const { return fd_ >= 0; }
  // Adds (or replaces) a question the driver may ask by `name`.
  void AddQuestion(std::string name, Question question);

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;

 private:
  AutomationChannel(EventLoop& loop, int fd);
  void ReadCommands();
  void PostRunNext();
  void RunNextLine();
  void RunLine(std::string_view line);
  void Run(const AutomationCommand& command);
  std::string Answer(const AutomationCommand& command);
  std::string AnswerWindow(const std::vector<std::string>& words) const;
  std::string AnswerModal(const std::vector<std::string>& words) const;
  void Reply(std::string_view line);
  void Flush();
  void Close();

  EventLoop& loop_;
  Automation automation_;
  int fd_ = -1;
  std::string input_;
  std::string output_;  // replies the socket did not take yet
  bool droppingLongLine_ = false;
  bool runPosted_ = false;
  std::map<std::string, Question, std::less<>> questions_;
};

}  // namespace tovrik::platform
