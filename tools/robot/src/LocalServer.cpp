#include "robot/LocalServer.h"

#include <stdlib.h>

#include <fstream>
#include <vector>

namespace tovrik::robot {

std::filesystem::path DefaultServerPath()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "tovrik-server";
    return self.parent_path() / "tovrik-server";
}

CLocalServer::~CLocalServer()
{
    server_.Stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool CLocalServer::Start(const std::filesystem::path& serverPath, const std::string& configText, std::string& error)
{
    if (Running()) {
        error = "already running";
        return false;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "tovrik-robot-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a temporary folder";
        return false;
    }
    dir_ = pattern;
    std::ofstream(dir_ / "server.ini") << configText;
    const std::vector<std::string> args = {"--db", Database().string(), "--config", (dir_ / "server.ini").string(),
                                           "--master-port", "0", "--game-port", "0"};
    if (!server_.Start(serverPath, args, dir_ / "server.log", error))
        return false;
    if (MasterPort() <= 0) {
        error = serverPath.string() + " started without a master server: " + Log();
        server_.Stop();
        return false;
    }
    return true;
}

} // namespace tovrik::robot
