#pragma once
// One running copy of the program per user. The first copy holds an
// exclusive lock on a file named after the guard in the user's runtime
// directory for as long as it lives (the kernel drops the lock when the
// process ends, however it ends), and listens on a Unix-domain socket beside
// it. A later copy finds the lock taken and asks the first, through that
// socket, to bring its window to the front.

#include <filesystem>
#include <string>
#include <string_view>

namespace tovrik::platform {

// $XDG_RUNTIME_DIR, or a private folder under the temporary directory when
// the session has none.
std::filesystem::path UserRuntimeDirectory();

class SingleInstance {
 public:
  enum class State {
    kNotTried,
    kFirst,           // we hold the lock
    kAlreadyRunning,  // another process holds it
    kUnavailable,     // the lock file cannot be used; the program runs unguarded
  };

  explicit SingleInstance(std::string_view name, std::filesystem::path directory = UserRuntimeDirectory());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock; the first holder also starts listening for requests.
  State Acquire();
  State state() const { return state_; }

  // Asks the holder of the lock to come to the front. False when nobody
  // listens.
  bool AskFirstInstanceToFront() const;

  // For the holder: true when one or more requests to come to the front
  // arrived since the last call. Never blocks.
  bool TakeRaiseRequest();

  // The listening socket, for an event loop that waits on it (-1 if none).
  int RaiseRequestFd() const { return listenFd_; }

  // Drops the lock and stops listening (also done by the destructor).
  void Release();

  const std::filesystem::path& lockPath() const { return lockPath_; }
  const std::filesystem::path& socketPath() const { return socketPath_; }

 private:
  bool StartListening();

  std::filesystem::path lockPath_;
  std::filesystem::path socketPath_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  State state_ = State::kNotTried;
};

}  // namespace tovrik::platform
