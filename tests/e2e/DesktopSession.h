#pragma once
// What an end-to-end run needs around the real programs: an X display of
// its own (Xvfb), helper processes started and always ended, the driver's
// end of the client's automation channel, and screenshots of the display.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovrik::e2e {

// A child process that is ended (SIGTERM, then SIGKILL) when the object goes.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `argv` with its standard output and error going to `logFile`.
  bool Start(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
             const std::vector<std::string>& extraEnvironment = {});
  bool Running();
  // Ends the process and returns its exit status (-1 when killed or never started).
  int Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = 0;
  int status_ = -1;
};

// An X server of its own for the test, on a display number it picks itself.
class VirtualDisplay {
 public:
  VirtualDisplay(const std::filesystem::path& folder, int width = 1024, int height = 768);
  ~VirtualDisplay();
  bool Running() const { return display_.has_value(); }
  std::string Name() const { return display_ ? ":" + std::to_string(*display_) : std::string(); }
  const std::string& Error() const { return error_; }
  // The whole screen as a PNG file (xwd, then netpbm); false with Error() set.
  bool Screenshot(const std::filesystem::path& png);

 private:
  ChildProcess server_;
  std::optional<int> display_;
  std::string error_;
};

// The driver's end of the automation channel: a listening Unix socket the
// client connects to; commands are sent one line at a time and each answer
// is waited for.
class AutomationDriver {
 public:
  explicit AutomationDriver(const std::filesystem::path& socketPath);
  ~AutomationDriver();
  const std::filesystem::path& SocketPath() const { return path_; }
  bool WaitForClient(std::chrono::milliseconds limit);
  // The answer line ("ok", "error ..."), or "no answer" after `limit`.
  std::string Command(const std::string& line, std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  std::filesystem::path path_;
  int listener_ = -1;
  int peer_ = -1;
  std::string pending_;
};

// Reads the width and height of a BMP file; nullopt when it is not one.
std::optional<std::pair<int, int>> BmpSize(const std::filesystem::path& file);

}  // namespace tovrik::e2e
