#pragma once
// A tovrik-server of the robots' own: started as a child process on free
// loopback ports, with a fresh database and configuration in a temporary
// folder that goes away with it.

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tovrik::robot {

// tovrik-server beside the running program.
std::filesystem::path DefaultServerPath();

class CLocalServer {
public:
    CLocalServer() = default;
    ~CLocalServer();
    CLocalServer(const CLocalServer&) = delete;
    CLocalServer& operator=(const CLocalServer&) = delete;

    // Starts one master and one game server; false with the reason in
    // `error` when it does not come up.
    bool Start(const std::filesystem::path& serverPath, const std::string& configText, std::string& error);
    // SIGTERM, then the exit status (-1 when it had to be killed).
    int Stop();

    bool Running() const { return pid_ > 0; }
    const std::string& MasterHost() const { return masterHost_; }
    int MasterPort() const { return masterPort_; }
    const std::filesystem::path& Directory() const { return dir_; }
    std::filesystem::path Database() const { return dir_ / "server.db"; }
    std::string Log() const;

private:
    std::filesystem::path dir_;
    pid_t pid_ = -1;
    std::string masterHost_;
    int masterPort_ = 0;
};

} // namespace tovrik::robot
