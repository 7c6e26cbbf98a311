#include "robot/LocalServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
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
    Stop();
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
    std::vector<std::string> args = {serverPath.string(), "--db", Database().string(), "--config",
                                     (dir_ / "server.ini").string(), "--master-port", "0", "--game-port", "0"};
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        error = "cannot make a pipe";
        return false;
    }
    const std::string logPath = (dir_ / "server.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0)
            ::dup2(log, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
        ::close(out[0]);
        error = "cannot start " + serverPath.string();
        return false;
    }
    // The server's first line names its addresses: "master HOST:PORT game HOST:PORT".
    std::string line;
    char c = 0;
    pollfd wait{out[0], POLLIN, 0};
    while (::poll(&wait, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    ::close(out[0]);
    std::istringstream words(line);
    std::string kind;
    std::string address;
    while (words >> kind >> address) {
        const auto colon = address.rfind(':');
        if (kind == "master" && colon != std::string::npos) {
            masterHost_ = address.substr(0, colon);
            masterPort_ = std::atoi(address.c_str() + colon + 1);
        }
    }
    if (masterPort_ <= 0) {
        error = serverPath.string() + " did not start: " + Log();
        Stop();
        return false;
    }
    return true;
}

int CLocalServer::Stop()
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

std::string CLocalServer::Log() const
{
    std::ifstream in(dir_ / "server.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace tovrik::robot
