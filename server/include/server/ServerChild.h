#pragma once
// A tovrik-server started as a child process, for the robots' soak runs and
// for tests: its first output line names the addresses it listens on, its
// log goes to a file, and it is stopped the way an operator would stop it.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tovrik::server {

struct ListenAddress {
  std::string host;
  int port = 0;
};

class ServerChild {
 public:
  ServerChild() = default;
  ~ServerChild();
  ServerChild(const ServerChild&) = delete;
  ServerChild& operator=(const ServerChild&) = delete;

  // Runs `program` with `args`, its standard error into `logFile`, and waits
  // up to 10 s for the line of addresses. False with the reason in `error`
  // (the log included) when it does not come up.
  bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
             const std::filesystem::path& logFile, std::string& error);
  // SIGTERM, then the exit status; -1 when it had to be killed after 5 s.
  int Stop();
  void Signal(int signal);

  bool Running() const { return pid_ > 0; }
  const ListenAddress& Master() const { return master_; }
  const std::vector<ListenAddress>& Games() const { return games_; }
  // The web shop (port 0 when the server runs none).
  const ListenAddress& WebShop() const { return shop_; }
  std::string Log() const;

 private:
  void ReadAddresses(int fd);

  pid_t pid_ = -1;
  std::filesystem::path logFile_;
  ListenAddress master_;
  std::vector<ListenAddress> games_;
  ListenAddress shop_;
};

}  // namespace tovrik::server
