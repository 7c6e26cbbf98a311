// Starts the client executable the ways the portal (or a person) can, and
// checks what it tells the user.

#include "ClientProcess.h"

#include "platform/MessageBox.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace tovrik::platform;

namespace {

constexpr char kCaption[] = "코르반타 토브릭 장기";

std::string Box(const std::string& text, unsigned type, int answer) {
  return MessageBoxLogLine(kCaption, text, type, answer);
}

std::vector<std::string> FullSet(const std::string& servIP = "127.0.0.1", int port = 24000) {
  return {"ServIP=" + servIP, "ServPort=" + std::to_string(port), "AuthCookie=auth", "DataCookie=data", "CpCookie=cp",
          "SpareParam=group=1"};
}

// A loopback port where nobody listens: the client's connection fails at once.
int DeadPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

const std::string kMasterUnreachable = "메인 서버와 접속이 실패하였습니다";

// The run reached the main window: artwork that is not installed is named
// one file at a time, then the master server could not be reached.
void ExpectMainWindowRan(const ClientRun& run) {
  ASSERT_FALSE(run.messageBoxes.empty()) << run.log;
  EXPECT_EQ(run.messageBoxes.back(), Box(kMasterUnreachable, MB_OK | MB_ICONEXCLAMATION, IDOK)) << run.log;
  for (size_t i = 0; i + 1 < run.messageBoxes.size(); ++i)
    EXPECT_NE(run.messageBoxes[i].find(".spr 파일을 읽을 수 없습니다"), std::string::npos) << run.messageBoxes[i];
}

TEST(ClientStartup, WithoutArgumentsOffersTheHomePage) {
  const std::string question =
      "이 프로그램은 코르반타 홈페이지에서\n실행해야만 올바르게 작동합니다.\n지금 홈페이지로 이동하시겠습니까?";
  ClientSandbox declined;
  declined.env["TOVRIK_MESSAGEBOX_ANSWERS"] = "no";
  ClientRun run = declined.Run({});
  EXPECT_EQ(run.messageBoxes, std::vector{Box(question, MB_YESNO | MB_ICONEXCLAMATION, IDNO)}) << run.log;
  EXPECT_TRUE(declined.OpenedUrls(0).empty());

  ClientSandbox accepted;
  accepted.env["TOVRIK_MESSAGEBOX_ANSWERS"] = "yes";
  run = accepted.Run({});
  EXPECT_EQ(run.messageBoxes, std::vector{Box(question, MB_YESNO | MB_ICONEXCLAMATION, IDYES)}) << run.log;
  std::vector<std::string> opened = accepted.OpenedUrls(1);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind("http", 0), 0u) << opened[0];
}

TEST(ClientStartup, RefusesBadLaunchParameters) {
  const std::string cannotInit = "프로그램에 필요한 환경을 초기화할 수 없습니다.\r\n\r\n코드 : ";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    const char* commonPath;
    std::string message;
  };
  std::vector<std::string> noCp = FullSet();
  noCp.erase(noCp.begin() + 4);
  std::vector<std::string> emptyAuth = FullSet();
  emptyAuth[2] = "AuthCookie=";
  const Case cases[] = {
      {"missing CpCookie", noCp, TOVRIK_RUNTIME_DIR "/Common", cannotInit + "E02010"},
      {"no portal folder", FullSet(), "", cannotInit + "E02009"},
      {"no module", FullSet(), "/nonexistent-portal", cannotInit + "E02003"},
      {"address too long", FullSet("127.000.000.00001"), TOVRIK_RUNTIME_DIR "/Common",
       "프로그램에 필요한 환경이 올바르지 않습니다."},
      {"empty address", FullSet(""), TOVRIK_RUNTIME_DIR "/Common", "프로그램에 필요한 환경이 올바르지 않습니다."},
      {"empty cookie", emptyAuth, TOVRIK_RUNTIME_DIR "/Common", "인증이 되지 않았습니다. 로그인 하시기 바랍니다."},
  };
  for (const Case& c : cases) {
    ClientSandbox sandbox;
    sandbox.env["QXENV_CommonPath"] = c.commonPath;
    ClientRun run = sandbox.Run(c.args);
    EXPECT_EQ(run.messageBoxes, std::vector{Box(c.message, MB_OK | MB_ICONEXCLAMATION, IDOK)}) << c.what << "\n"
                                                                                                << run.log;
    EXPECT_EQ(run.exitCode, 1) << c.what;
  }
}

TEST(ClientStartup, CompleteParametersReachTheMainWindow) {
  for (const std::string servIP : {"127.0.0.1", "127.000.000.0001"}) {  // up to 16 characters are accepted
    ClientSandbox sandbox;
    const int port = DeadPort();
    ClientRun run = sandbox.Run(FullSet(servIP, port));
    // The main window started and tried the master server, which is not there.
    ExpectMainWindowRan(run);
    EXPECT_EQ(run.log.find("no program icon"), std::string::npos) << "the installed icon was not read: " << run.log;
    EXPECT_NE(run.log.find("master server " + servIP + ":" + std::to_string(port) + ", login group 1"),
              std::string::npos)
        << run.log;
    EXPECT_EQ(run.exitCode, 0) << run.log;
  }
}

// A copy of the program with none of its artwork beside it: the window keeps
// the system's icon without a word to the user, and the start goes on.
TEST(ClientStartup, WithoutItsIconTheWindowStillStarts) {
  ClientSandbox sandbox;
  sandbox.program = sandbox.dir() / "tovrik";
  std::filesystem::copy_file(TOVRIK_RUNTIME_DIR "/tovrik", sandbox.program);
  ClientRun run = sandbox.Run(FullSet("127.0.0.1", DeadPort()));
  ExpectMainWindowRan(run);
  EXPECT_NE(run.log.find("no program icon"), std::string::npos) << run.log;
  EXPECT_EQ(run.exitCode, 0) << run.log;
}

TEST(ClientStartup, SecondCopyStepsAsideAndRaisesTheFirst) {
  ClientSandbox sandbox;
  SingleInstance first("PennabelMutex", sandbox.dir() / "run");
  ASSERT_EQ(first.Acquire(), SingleInstance::State::kFirst);

  ClientRun run = sandbox.Run(FullSet());
  EXPECT_EQ(run.messageBoxes,
            std::vector{Box("이미 다른 코르반타 프로그램이 실행중입니다", MB_OK | MB_ICONEXCLAMATION, IDOK)})
      << run.log;
  EXPECT_EQ(run.log.find("master server"), std::string::npos) << "the second copy went on: " << run.log;
  EXPECT_TRUE(first.TakeRaiseRequest());
  EXPECT_FALSE(first.TakeRaiseRequest());

  first.Release();  // once the first copy has gone, the next one starts
  run = sandbox.Run(FullSet("127.0.0.1", DeadPort()));
  ExpectMainWindowRan(run);
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
