#include "platform/AutomationChannel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "RecordingWindow.h"

namespace tovrik::platform {
namespace {

using testing::Received;
using testing::RecordingWindow;
using Kind = AutomationCommand::Kind;

struct ParseCase {
  std::string_view line;
  bool ok;
  Kind kind;
  std::vector<int> numbers;
  std::string text;
  std::vector<std::string> steps;
};

TEST(AutomationCommandTest, LinesParseIntoCommandsOrClearErrors) {
  const ParseCase cases[] = {
      {"click 10 20", true, Kind::Click, {10, 20}, "", {}},
      {"  rclick   5 6\r", true, Kind::RightClick, {5, 6}, "", {}},
      {"drag 1 2 3 4", true, Kind::Drag, {1, 2, 3, 4}, "", {}},
      {"wheel 100 200 -120", true, Kind::Wheel, {100, 200, -120}, "", {}},
      {"key RETURN", true, Kind::Key, {0x0D}, "", {}},
      {"key 65", true, Kind::Key, {65}, "", {}},
      {"type 안녕 하세요", true, Kind::Type, {}, "안녕 하세요", {}},
      {"compose 한 ㅎ 하 한", true, Kind::Compose, {}, "한", {"ㅎ", "하", "한"}},
      {"save /tmp/a b.bmp", true, Kind::Save, {}, "/tmp/a b.bmp", {}},
      {"ping", true, Kind::Ping, {}, "", {}},
      {"ask window 1031", true, Kind::Ask, {}, "window", {"1031"}},
      {"ask where", true, Kind::Ask, {}, "where", {}},
      {"ask", false, Kind::Ping, {}, "", {}},
      {"click 10", false, Kind::Ping, {}, "", {}},
      {"click 10 x", false, Kind::Ping, {}, "", {}},
      {"click 10 20 30", false, Kind::Ping, {}, "", {}},
      {"key NOSUCHKEY", false, Kind::Ping, {}, "", {}},
      {"key 999", false, Kind::Ping, {}, "", {}},
      {"type", false, Kind::Ping, {}, "", {}},
      {"save", false, Kind::Ping, {}, "", {}},
      {"", false, Kind::Ping, {}, "", {}},
      {"launch rockets", false, Kind::Ping, {}, "", {}},
  };
  for (const ParseCase& c : cases) {
    const ParsedAutomationCommand parsed = ParseAutomationCommand(c.line);
    ASSERT_EQ(parsed.command.has_value(), c.ok) << c.line << ": " << parsed.error;
    if (!c.ok) {
      EXPECT_FALSE(parsed.error.empty()) << c.line;
      continue;
    }
    EXPECT_EQ(parsed.command->kind, c.kind) << c.line;
    EXPECT_EQ(parsed.command->numbers, c.numbers) << c.line;
    EXPECT_EQ(parsed.command->text, c.text) << c.line;
    EXPECT_EQ(parsed.command->steps, c.steps) << c.line;
  }
}

// The driver's end: a listening Unix socket in a fresh folder.
class DriverSocket {
 public:
  DriverSocket() {
    folder_ = std::filesystem::temp_directory_path() / ("tovrik-drive-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "drive.sock").string();
    std::filesystem::remove(path_);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path_.data(), path_.size());
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 1);
  }
  ~DriverSocket() {
    if (peer_ >= 0) ::close(peer_);
    ::close(listener_);
    std::filesystem::remove_all(folder_);
  }
  const std::string& Path() const { return path_; }
  const std::filesystem::path& Folder() const { return folder_; }
  void Accept() {
    peer_ = ::accept(listener_, nullptr, nullptr);
    ::fcntl(peer_, F_SETFL, ::fcntl(peer_, F_GETFL) | O_NONBLOCK);
  }
  void HangUp() {
    ::close(peer_);
    peer_ = -1;
  }
  void Send(std::string_view text) { ASSERT_EQ(::send(peer_, text.data(), text.size(), 0), static_cast<ssize_t>(text.size())); }
  // Whatever arrived so far, appended to everything before.
  const std::string& Replies() {
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::recv(peer_, buffer, sizeof buffer, 0)) > 0) replies_.append(buffer, static_cast<std::size_t>(n));
    return replies_;
  }
  std::size_t ReplyLines() {
    const std::string& text = Replies();
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

 private:
  std::filesystem::path folder_;
  std::string path_;
  int listener_ = -1;
  int peer_ = -1;
  std::string replies_;
};

class AutomationChannelTest : public ::testing::Test {
 protected:
  AutomationChannelTest() : main_("main", log_), box_("box", log_) {
    main_.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  }

  EventLoop loop_;
  std::vector<Received> log_;
  RecordingWindow main_, box_;
  DriverSocket driver_;
};

TEST_F(AutomationChannelTest, CommandsArriveAsInputAndEveryLineIsAnswered) {
  std::string error;
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), &error);
  ASSERT_TRUE(channel) << error;
  driver_.Accept();
  const auto frame = driver_.Folder() / "frame.bmp";
  driver_.Send("click 30 40\nbogus\nsave " + frame.string() + "\nping\n");
  Automation automation(loop_);
  ASSERT_TRUE(automation.WaitUntil([&] { return driver_.ReplyLines() == 4; }, 5000)) << driver_.Replies();
  EXPECT_EQ(driver_.Replies(), "ok\nerror unknown command: bogus\nok\nok\n");
  EXPECT_EQ(testing::Only(log_, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (std::vector<std::string>{"main:513:1", "main:514:0"}));
  for (const Received& r : log_) {
    if (r.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(r.l, MakeLParam(30, 40));
    }
  }
  EXPECT_TRUE(std::filesystem::exists(frame));
}

// A click that opens a modal box: the box's own loop goes on reading
// commands, so the driver can close the box with the next one.
TEST_F(AutomationChannelTest, ModalBoxOpenedByACommandIsDrivenByTheNextCommands) {
  int result = 0;
  main_.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_LBUTTONUP && !box_.IsCreated()) {
      box_.Create(&main_, Rect::FromSize(300, 300, 100, 50));
      result = loop_.RunModal(box_);
    }
    return false;
  };
  box_.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_LBUTTONUP) loop_.EndModal(box_, 7);
    return false;
  };
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), nullptr);
  ASSERT_TRUE(channel);
  driver_.Accept();
  driver_.Send("click 10 10\nclick 310 310\nping\n");
  Automation automation(loop_);
  ASSERT_TRUE(automation.WaitUntil([&] { return driver_.ReplyLines() == 3 && result != 0; }, 5000))
      << driver_.Replies();
  EXPECT_EQ(result, 7);
  EXPECT_EQ(driver_.Replies(), "ok\nok\nok\n");
}

TEST_F(AutomationChannelTest, OverlongLineIsRefusedOnceAndTheNextLineStillRuns) {
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), nullptr);
  ASSERT_TRUE(channel);
  driver_.Accept();
  driver_.Send("type " + std::string(10000, 'a') + "\nping\n");
  Automation automation(loop_);
  ASSERT_TRUE(automation.WaitUntil([&] { return driver_.ReplyLines() == 2; }, 5000)) << driver_.Replies();
  EXPECT_EQ(driver_.Replies(), "error line longer than 4096 bytes\nok\n");
  EXPECT_TRUE(testing::Only(log_, {WM_CHAR}).empty()) << "nothing of the long line was typed";
}

TEST_F(AutomationChannelTest, UnreachableDriverIsReportedAndTheProgramGoesOn) {
  std::string error;
  EXPECT_FALSE(AutomationChannel::Connect(loop_, main_, (driver_.Folder() / "nobody.sock").string(), &error));
  EXPECT_NE(error.find("cannot connect"), std::string::npos) << error;
}

TEST_F(AutomationChannelTest, DriverThatHangsUpClosesTheChannel) {
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), nullptr);
  ASSERT_TRUE(channel);
  driver_.Accept();
  driver_.HangUp();
  Automation automation(loop_);
  EXPECT_TRUE(automation.WaitUntil([&] { return !channel->Connected(); }, 5000));
}

// The driver finds controls and states by asking: the window question
// answers for the visible window a press would reach, and the program's
// own questions answer in its words.
TEST_F(AutomationChannelTest, QuestionsAreAnsweredByTheChannelAndByTheProgram) {
  Window panel, covered, shown, hidden;
  ASSERT_TRUE(panel.Create(&main_, Rect::FromSize(100, 50, 400, 300), 7));
  ASSERT_TRUE(covered.Create(&panel, Rect::FromSize(10, 10, 80, 20), 1031));
  ASSERT_TRUE(shown.Create(&panel, Rect::FromSize(20, 40, 60, 30), 1031));
  shown.EnableWindow(false);
  ASSERT_TRUE(hidden.Create(&main_, Rect::FromSize(0, 0, 50, 50), 1031, 0));
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), nullptr);
  ASSERT_TRUE(channel);
  channel->AddQuestion("where", [](const std::vector<std::string>& words, std::string& answer) {
    answer = words.empty() ? "lobby" : "no words wanted";
    return words.empty();
  });
  driver_.Accept();
  driver_.Send("ask window 1031\nask window 7\nask window 99\nask window x\nask where\nask where now\nask what\n");
  Automation automation(loop_);
  ASSERT_TRUE(automation.WaitUntil([&] { return driver_.ReplyLines() == 7; }, 5000)) << driver_.Replies();
  EXPECT_EQ(driver_.Replies(),
            "ok 120 90 60 30 0\n"
            "ok 100 50 400 300 1\n"
            "error no visible window with id 99\n"
            "error window takes one control id\n"
            "ok lobby\n"
            "error no words wanted\n"
            "error unknown question: what\n");
}

// While a modal box runs only it takes input, so the driver is told about
// its controls, not about the screen's under it with the same id.
TEST_F(AutomationChannelTest, WindowQuestionLooksInsideTheRunningModalBox) {
  // The screen's button lies above the box in the window order.
  Window screenButton, boxButton;
  ASSERT_TRUE(box_.Create(&main_, Rect::FromSize(250, 172, 300, 256)));
  ASSERT_TRUE(boxButton.Create(&box_, Rect::FromSize(84, 53, 201, 17), 1032));
  ASSERT_TRUE(screenButton.Create(&main_, Rect::FromSize(10, 10, 50, 20), 1032));
  box_.ShowWindow(false);
  auto channel = AutomationChannel::Connect(loop_, main_, driver_.Path(), nullptr);
  ASSERT_TRUE(channel);
  driver_.Accept();
  std::string during;
  main_.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg != WM_LBUTTONUP) return false;
    box_.ShowWindow(true);
    loop_.RunModal(box_);
    return false;
  };
  box_.onMessage = [&](MsgId msg, WParam, LParam) {
    if (msg == WM_LBUTTONUP) loop_.EndModal(box_, 1);
    return false;
  };
  // The hidden box does not count; then the box runs, is asked about, and is closed.
  driver_.Send("ask window 1032\nask modal\nclick 700 500\nask window 1032\nask modal\nclick 300 300\nask modal\n");
  Automation automation(loop_);
  ASSERT_TRUE(automation.WaitUntil([&] { return driver_.ReplyLines() == 7; }, 5000)) << driver_.Replies();
  EXPECT_EQ(driver_.Replies(),
            "ok 10 10 50 20 1\nok depth=0\nok\nok 334 225 201 17 1\nok depth=1 x=250 y=172 width=300 height=256\n"
            "ok\nok depth=0\n");
}

}  // namespace
}  // namespace tovrik::platform
