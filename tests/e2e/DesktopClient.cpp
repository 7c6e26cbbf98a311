#include "DesktopClient.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace tovrik::e2e {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::optional<Answer> ParseAnswer(const std::string& line) {
  if (line != "ok" && line.rfind("ok ", 0) != 0) return std::nullopt;
  Answer answer;
  std::istringstream words(line.size() > 3 ? line.substr(3) : std::string());
  std::string word;
  while (words >> word) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos) answer[word] = "";
    else answer[word.substr(0, equals)] = word.substr(equals + 1);
  }
  return answer;
}

// The client's folder, made before its socket is bound there.
fs::path PreparedSocketPath(const fs::path& folder) {
  fs::create_directories(folder / "run");
  fs::permissions(folder / "run", fs::perms::owner_all, fs::perm_options::replace);
  return folder / "drive.sock";
}

std::string Describe(const Answer& answer) {
  std::string text;
  for (const auto& [key, value] : answer) text += (text.empty() ? "" : " ") + key + "=" + value;
  return text;
}

}  // namespace

DesktopClient::DesktopClient(std::string name, fs::path folder, std::string display)
    : name_(std::move(name)), folder_(std::move(folder)), display_(std::move(display)),
      driver_(PreparedSocketPath(folder_)) {}

DesktopClient::~DesktopClient() { process_.Stop(); }

std::string DesktopClient::Start(const std::string& host, int port, const std::string& cookie) {
  // A copy of the program keeps the settings it writes beside itself out of
  // the build; it reads its artwork and sounds beside itself.
  fs::copy_file(TOVRIK_RUNTIME_DIR "/tovrik", folder_ / "tovrik", fs::copy_options::overwrite_existing);
  for (const char* data : {"data", "image", "Sound"})
    if (!fs::exists(folder_ / data)) fs::create_directory_symlink(fs::path(TOVRIK_RUNTIME_DIR) / data, folder_ / data);
  const bool started = process_.Start(
      {(folder_ / "tovrik").string(), "ServIP=" + host, "ServPort=" + std::to_string(port), "AuthCookie=" + cookie,
       "DataCookie=data", "CpCookie=cp", "SpareParam=group=1"},
      folder_ / "client.log",
      {"DISPLAY=" + display_, "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
       "TOVRIK_AUTOMATION=" + driver_.SocketPath().string(),
       // Each client has a runtime folder and home of its own: one client
       // runs per user, and the second would hand over to the first.
       "XDG_RUNTIME_DIR=" + (folder_ / "run").string(), "HOME=" + folder_.string(),
       "QXENV_CommonPath=" TOVRIK_RUNTIME_DIR "/Common",
       "TOVRIK_PORTAL_REGISTRY=" TOVRIK_RUNTIME_DIR "/portal-registry.ini", "TOVRIK_URL_OPENER=/bin/true",
       "TOVRIK_MESSAGEBOX_ANSWERS=",
       // On a real display SDL loads the X and D-Bus libraries at run time;
       // they keep allocations to the end and are unloaded by then, so the
       // leak checker cannot tell them from ours. The headless client tests
       // keep checking our own code for leaks.
       "ASAN_OPTIONS=detect_leaks=0"});
  if (!started) return name_ + ": the program did not start";
  if (!driver_.WaitForClient(20s)) return name_ + ": the program never connected to the automation channel";
  return {};
}

int DesktopClient::Stop(std::chrono::milliseconds grace) { return process_.Stop(grace); }

std::string DesktopClient::Log() const {
  std::ifstream in(folder_ / "client.log");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string DesktopClient::Do(const std::string& command, std::chrono::milliseconds limit) {
  const std::string answer = driver_.Command(command, limit);
  return answer == "ok" ? std::string() : name_ + ": \"" + command + "\" was answered \"" + answer + "\"";
}

std::optional<Answer> DesktopClient::Ask(const std::string& question, std::string* error) {
  const std::string line = driver_.Command("ask " + question);
  auto answer = ParseAnswer(line);
  if (!answer && error) *error = name_ + ": \"ask " + question + "\" was answered \"" + line + "\"";
  return answer;
}

std::string DesktopClient::WaitFor(const std::string& question, const std::function<bool(const Answer&)>& done,
                                   std::chrono::milliseconds limit, const std::string& what) {
  const auto deadline = Clock::now() + limit;
  std::string last;
  while (true) {
    std::string error;
    if (const auto answer = Ask(question, &error)) {
      if (done(*answer)) return {};
      last = Describe(*answer);
    } else {
      last = error;
    }
    if (Clock::now() >= deadline) break;
    if (!process_.Running()) return name_ + ": the program ended while waiting for " + what;
    std::this_thread::sleep_for(100ms);
  }
  return name_ + ": no " + what + " within " + std::to_string(limit.count()) + " ms (last answer to \"" + question +
         "\": " + last + ")";
}

std::string DesktopClient::WaitForValue(const std::string& question, const std::string& key, const std::string& value,
                                        std::chrono::milliseconds limit) {
  return WaitFor(
      question, [&](const Answer& a) { return a.contains(key) && a.at(key) == value; }, limit, key + "=" + value);
}

std::optional<PageRect> DesktopClient::Control(int id, std::string* error, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::string line;
  while (true) {
    line = driver_.Command("ask window " + std::to_string(id));
    PageRect rect;
    int enabled = 0;
    if (std::sscanf(line.c_str(), "ok %d %d %d %d %d", &rect.x, &rect.y, &rect.width, &rect.height, &enabled) == 5) {
      rect.enabled = enabled != 0;
      return rect;
    }
    if (Clock::now() >= deadline) break;
    std::this_thread::sleep_for(100ms);
  }
  if (error) *error = name_ + ": control " + std::to_string(id) + " not on the page (" + line + ")";
  return std::nullopt;
}

std::string DesktopClient::ClickControl(int id, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::string error;
  while (true) {
    const auto rect = Control(id, &error, limit);
    if (!rect) return error;
    if (rect->enabled) return Do("click " + std::to_string(rect->CentreX()) + " " + std::to_string(rect->CentreY()));
    if (Clock::now() >= deadline) return name_ + ": control " + std::to_string(id) + " stayed disabled";
    std::this_thread::sleep_for(100ms);
  }
}

}  // namespace tovrik::e2e
