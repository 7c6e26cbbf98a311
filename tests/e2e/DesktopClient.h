#pragma once
// One real client on the test's X display: its own home, runtime folder and
// copy of the program, its end of the automation channel, and the questions
// and input a driver sends it. Every method answers with what went wrong
// (empty when all went well), so that a run's steps can say why they failed.

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "DesktopSession.h"

namespace tovrik::e2e {

// The "key=value" words of an answer.
using Answer = std::map<std::string, std::string>;

struct PageRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool enabled = false;
  int CentreX() const { return x + width / 2; }
  int CentreY() const { return y + height / 2; }
};

class DesktopClient {
 public:
  // `folder` is the client's own; `display` the X display it shows on.
  DesktopClient(std::string name, std::filesystem::path folder, std::string display);
  ~DesktopClient();

  const std::string& Name() const { return name_; }
  // Starts the program against the master server and waits until it listens
  // on the automation channel.
  std::string Start(const std::string& host, int port, const std::string& cookie);
  // Ends the program (a termination signal, as closing its window) and
  // returns its exit status.
  int Stop(std::chrono::milliseconds grace = std::chrono::seconds(10));
  bool Running() { return process_.Running(); }
  pid_t Pid() const { return process_.Pid(); }
  std::string Log() const;

  // Sends one command; empty when it was answered "ok".
  std::string Do(const std::string& command, std::chrono::milliseconds limit = std::chrono::seconds(10));
  // Asks a question; the answer's words, or nullopt with the reason in `error`.
  std::optional<Answer> Ask(const std::string& question, std::string* error = nullptr);
  // Asks until `done` holds for the answer; on time-out, what was last
  // answered, with `what` (the state waited for).
  std::string WaitFor(const std::string& question, const std::function<bool(const Answer&)>& done,
                      std::chrono::milliseconds limit, const std::string& what);
  // Asks until the answer's `key` has `value`.
  std::string WaitForValue(const std::string& question, const std::string& key, const std::string& value,
                           std::chrono::milliseconds limit);
  // Where the visible control `id` is on the page, waited for up to `limit`.
  std::optional<PageRect> Control(int id, std::string* error = nullptr,
                                  std::chrono::milliseconds limit = std::chrono::seconds(5));
  // A click in the middle of the visible, enabled control `id`.
  std::string ClickControl(int id, std::chrono::milliseconds limit = std::chrono::seconds(5));

 private:
  std::string name_;
  std::filesystem::path folder_;
  std::string display_;
  AutomationDriver driver_;
  ChildProcess process_;
};

}  // namespace tovrik::e2e
