#pragma once
// A tovrik-server of the robots' own: started as a child process on free
// loopback ports, with a fresh database and configuration in a temporary
// folder that goes away with it.

#include <filesystem>
#include <string>

#include "server/ServerChild.h"

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
    int Stop() { return server_.Stop(); }

    bool Running() const { return server_.Running(); }
    const std::string& MasterHost() const { return server_.Master().host; }
    int MasterPort() const { return server_.Master().port; }
    const std::filesystem::path& Directory() const { return dir_; }
    std::filesystem::path Database() const { return dir_ / "server.db"; }
    std::string Log() const { return server_.Log(); }

private:
    std::filesystem::path dir_;
    server::ServerChild server_;
};

} // namespace tovrik::robot
