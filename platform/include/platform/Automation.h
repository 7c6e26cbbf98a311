#pragma once
// Driving the user interface from tests and end-to-end runs: input at page
// coordinates goes through the same routing as a person's, modal boxes are
// answered through their buttons' commands, and the composed frame can be
// saved for a look. Programs driven from outside take the same actions as
// text commands through AutomationChannel.h.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/EventLoop.h"

namespace tovrik::platform {

class Automation {
 public:
  explicit Automation(EventLoop& loop);
  ~Automation();
  Automation(const Automation&) = delete;
  Automation& operator=(const Automation&) = delete;

  void MoveMouse(Point p) { loop_.InjectMouseMove(p); }
  // Moves there, presses and releases.
  void Click(Point p, MouseButton button = MouseButton::Left);
  void DoubleClick(Point p);
  void Drag(Point from, Point to);
  void Wheel(Point p, int delta) { loop_.InjectMouseWheel(p, delta); }
  // Presses and releases one key.
  void PressKey(WParam virtualKey);
  // Types text as committed input, one character at a time.
  void TypeText(std::string_view utf8);
  // Types one syllable through the input method: each step of the
  // composition, then the commit.
  void ComposeAndCommit(std::initializer_list<std::string_view> steps, std::string_view committed);

  // Sends WM_COMMAND with `commandId` (IDOK, IDCANCEL, a button's id) to the
  // top modal window, as its button would. False when no modal run is active.
  bool AnswerTopModal(int commandId);
  // Queues an answer for a modal window still to come: once a modal run is
  // active and `ready` holds (at once without it), the modal window gets
  // WM_COMMAND `commandId` from inside its run. Answers are used in order.
  void AnswerModalWhen(int commandId, std::function<bool()> ready = {});
  std::size_t PendingAnswers() const { return answers_.size(); }

  // Runs the loop until `condition` holds (true) or `timeoutMs` passed on
  // the loop's clock (false).
  bool WaitUntil(const std::function<bool()>& condition, std::uint32_t timeoutMs);
  // Runs loop iterations until nothing is left to do right now.
  void Settle(int maxIterations = 100);

  // Writes the composed frame as a BMP file (repainting first if needed).
  bool SaveFrame(const std::filesystem::path& file);

 private:
  struct Answer {
    int commandId;
    std::function<bool()> ready;
  };
  void OnModalIteration(Window& modal);

  EventLoop& loop_;
  std::deque<Answer> answers_;
};

}  // namespace tovrik::platform
