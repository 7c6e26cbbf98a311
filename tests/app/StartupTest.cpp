// Starts the client executable the ways the portal (or a person) can, and
// checks what it tells the user.

#include "ClientProcess.h"

#include "platform/MessageBox.h"
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tovrik::platform;

namespace {

constexpr char kCaption[] = "코르반타 토브릭 장기";

std::string Box(const std::string& text, unsigned type, int answer) {
  return MessageBoxLogLine(kCaption, text, type, answer);
}

std::vector<std::string> FullSet(const std::string& servIP = "127.0.0.1") {
  return {"ServIP=" + servIP, "ServPort=24000", "AuthCookie=auth", "DataCookie=data", "CpCookie=cp",
          "SpareParam=group=1"};
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
    ClientRun run = sandbox.Run(FullSet(servIP));
    EXPECT_TRUE(run.messageBoxes.empty()) << run.log;
    EXPECT_NE(run.log.find("master server " + servIP + ":24000, login group 1"), std::string::npos) << run.log;
    EXPECT_EQ(run.exitCode, 0) << run.log;
  }
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
  run = sandbox.Run(FullSet());
  EXPECT_TRUE(run.messageBoxes.empty()) << run.log;
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
