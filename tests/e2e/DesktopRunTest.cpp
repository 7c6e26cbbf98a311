// The real programs on a real (virtual) X display: the local server, a
// practice opponent and the client, which is driven from outside through its
// automation channel and photographed the way a person would see it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "../server/ServerHarness.h"
#include "DesktopSession.h"

namespace tovrik::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using server::testing::ServerUnderTest;

constexpr char kConfig[] = R"(
[Server1]
LoginGroup = 1
[Group1]
Name = 자유
[Channel1-1]
Server = 1
)";

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WaitForText(const fs::path& file, const std::string& text, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ReadFile(file).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

class DesktopRun : public ::testing::Test {
 protected:
  DesktopRun() : folder_(MakeFolder()), display_(folder_), driver_(folder_ / "drive.sock") {}
  ~DesktopRun() override {
    client_.Stop();
    robots_.Stop();
    if (HasFailure()) {
      std::cerr << "client log:\n" << ReadFile(folder_ / "client.log") << "\nrobot log:\n"
                << ReadFile(folder_ / "robots.log") << "\nserver log:\n" << server_.Log();
    }
    fs::remove_all(folder_);
  }

  static fs::path MakeFolder() {
    const fs::path folder = fs::temp_directory_path() / ("tovrik-e2e-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "run");
    fs::permissions(folder / "run", fs::perms::owner_all, fs::perm_options::replace);
    return folder;
  }

  bool StartClient(const std::string& cookie) {
    // A copy of the program keeps the settings it writes beside itself out of the build.
    fs::copy_file(TOVRIK_RUNTIME_DIR "/tovrik", folder_ / "tovrik", fs::copy_options::overwrite_existing);
    // The program reads its artwork and sounds beside itself.
    for (const char* folder : {"data", "image", "Sound"})
      if (!fs::exists(folder_ / folder)) fs::create_directory_symlink(fs::path(TOVRIK_RUNTIME_DIR) / folder, folder_ / folder);
    return client_.Start({(folder_ / "tovrik").string(), "ServIP=" + server_.Master().host,
                          "ServPort=" + std::to_string(server_.Master().port), "AuthCookie=" + cookie,
                          "DataCookie=data", "CpCookie=cp", "SpareParam=group=1"},
                         folder_ / "client.log",
                         {"DISPLAY=" + display_.Name(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                          "TOVRIK_AUTOMATION=" + driver_.SocketPath().string(),
                          "XDG_RUNTIME_DIR=" + (folder_ / "run").string(), "HOME=" + folder_.string(),
                          "QXENV_CommonPath=" TOVRIK_RUNTIME_DIR "/Common",
                          "TOVRIK_PORTAL_REGISTRY=" TOVRIK_RUNTIME_DIR "/portal-registry.ini",
                          "TOVRIK_URL_OPENER=/bin/true", "TOVRIK_MESSAGEBOX_ANSWERS=",
                          // On a real display SDL loads the X and D-Bus libraries at run time;
                          // they keep allocations to the end and are unloaded by then, so
                          // the leak checker cannot tell them from ours. The headless client
                          // tests keep checking our own code for leaks.
                          "ASAN_OPTIONS=detect_leaks=0"});
  }

  fs::path folder_;
  VirtualDisplay display_;
  AutomationDriver driver_;
  ServerUnderTest server_{kConfig, {"--master-port", "0", "--game-port", "0"}};
  ChildProcess robots_;
  ChildProcess client_;
};

TEST_F(DesktopRun, ClientOnAnXDisplayReachesTheLobbyWithAPracticeOpponentAndIsDrivenFromOutside) {
  ASSERT_TRUE(display_.Running()) << display_.Error();
  ASSERT_TRUE(server_.Running()) << server_.Log();
  ASSERT_TRUE(robots_.Start({TOVRIK_RUNTIME_DIR "/tovrik-robot", "--master",
                             server_.Master().host + ":" + std::to_string(server_.Master().port), "--practice", "1"},
                            folder_ / "robots.log"));
  ASSERT_TRUE(StartClient("id=e2eone&nick=일번"));
  ASSERT_TRUE(driver_.WaitForClient(20s)) << "the client never connected to the automation channel";
  EXPECT_EQ(driver_.Command("ping"), "ok");
  ASSERT_TRUE(WaitForText(folder_ / "client.log", "status: 대기실: 자유-1", 20s)) << "the client reached no lobby";
  ASSERT_TRUE(WaitForText(folder_ / "robots.log", "practice robots: 1", 5s));

  // What the client composed, and what the display shows.
  const fs::path frame = folder_ / "lobby.bmp";
  EXPECT_EQ(driver_.Command("save " + frame.string()), "ok");
  const auto size = BmpSize(frame);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(*size, std::make_pair(800, 600));
  const fs::path screenshot = folder_ / "lobby.png";
  ASSERT_TRUE(display_.Screenshot(screenshot)) << display_.Error();
  if (const char* keep = std::getenv("TOVRIK_E2E_SCREENSHOTS")) {
    fs::create_directories(keep);
    fs::copy_file(screenshot, fs::path(keep) / "lobby.png", fs::copy_options::overwrite_existing);
  }
  EXPECT_EQ(driver_.Command("launch rockets"), "error unknown command: launch");

  // Both are in the same lobby: the server names them in one channel.
  const std::string log = server_.Log();
  EXPECT_NE(log.find("e2eone logged in, channel 자유-1"), std::string::npos);
  EXPECT_NE(log.find("practice1 logged in, channel 자유-1"), std::string::npos);

  EXPECT_EQ(client_.Stop(10s), 0) << "a termination signal ends the client cleanly";
  EXPECT_NE(server_.Log().find("e2eone logged out"), std::string::npos);
}

}  // namespace
}  // namespace tovrik::e2e
