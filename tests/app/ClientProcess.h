#pragma once
// Runs the client executable as a person's desktop would, headless, and
// collects what it logged.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct ClientRun {
  int exitCode = -1;
  std::string log;
  // The message-box lines of the log, in order.
  std::vector<std::string> messageBoxes;
};

// A private folder for one test: runtime directory (single-instance lock),
// a URL opener that records what it is asked to open, and the log.
class ClientSandbox {
 public:
  ClientSandbox();
  ~ClientSandbox();

  // Environment given to the client on top of the test's own; an empty
  // value removes the variable.
  std::map<std::string, std::string> env;
  // The client program; a copy in the sandbox keeps what it writes beside
  // itself (its settings) out of the build.
  std::filesystem::path program = TOVRIK_RUNTIME_DIR "/tovrik";

  ClientRun Run(const std::vector<std::string>& args);

  // Starts the client without waiting for it; 0 when it could not start.
  pid_t Start(const std::vector<std::string>& args);
  // What the running client has logged so far.
  std::string LogSoFar() const;
  // Waits until the log holds `text` (false after `ms`).
  bool WaitForLog(const std::string& text, int ms) const;
  // Waits for the started client to end.
  ClientRun Finish(pid_t child);

  // The addresses the client handed to the system browser, once at least
  // `expected` have arrived (or a generous wait has passed).
  std::vector<std::string> OpenedUrls(size_t expected) const;

  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};
