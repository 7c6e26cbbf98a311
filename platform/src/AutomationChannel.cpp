#include "platform/AutomationChannel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/Log.h"
#include "platform/EventLoop.h"
#include "platform/SocketNotifier.h"

namespace tovrik::platform {
namespace {

// Private to the channel's own hidden window.
constexpr MsgId kSocketMessage = WM_USER + 3000;
constexpr MsgId kRunNextMessage = WM_USER + 3001;

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && line[at] == ' ') ++at;
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

std::optional<int> Number(std::string_view word) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

std::optional<int> KeyCode(std::string_view name) {
  struct Named {
    std::string_view name;
    WParam key;
  };
  static constexpr Named kKeys[] = {
      {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},     {"BACK", VK_BACK},   {"SPACE", VK_SPACE},
      {"DELETE", VK_DELETE}, {"HOME", VK_HOME},     {"END", VK_END},     {"LEFT", VK_LEFT},   {"RIGHT", VK_RIGHT},
      {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"PRIOR", VK_PRIOR}, {"NEXT", VK_NEXT},   {"F1", VK_F1},
  };
  for (const Named& key : kKeys)
    if (key.name == name) return static_cast<int>(key.key);
  const auto number = Number(name);
  if (number && *number > 0 && *number < 256) return number;
  return std::nullopt;
}

// The text after the first `skip` words of the line.
std::string_view RestAfter(std::string_view line, std::size_t skip) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < skip; ++i) {
    while (at < line.size() && line[at] == ' ') ++at;
    while (at < line.size() && line[at] != ' ') ++at;
  }
  if (at < line.size() && line[at] == ' ') ++at;
  return line.substr(at);
}

ParsedAutomationCommand Error(std::string why) { return {std::nullopt, std::move(why)}; }

// Children are kept bottom first, so the search runs from the last: the
// window a press there would reach comes before the ones it covers.
const Window* TopVisibleWithId(const Window& window, int id) {
  const auto& children = window.Children();
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    if (!(*child)->IsVisibleFlag()) continue;
    if ((*child)->Id() == id) return *child;
    if (const Window* inner = TopVisibleWithId(**child, id)) return inner;
  }
  return nullptr;
}

}  // namespace

ParsedAutomationCommand ParseAutomationCommand(std::string_view line) {
  using Kind = AutomationCommand::Kind;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return Error("empty line");
  struct Shape {
    std::string_view verb;
    Kind kind;
    std::size_t numbers;  // how many numbers follow the verb
  };
  static constexpr Shape kNumeric[] = {
      {"move", Kind::Move, 2},     {"click", Kind::Click, 2}, {"rclick", Kind::RightClick, 2},
      {"dblclick", Kind::DoubleClick, 2}, {"drag", Kind::Drag, 4}, {"wheel", Kind::Wheel, 3},
  };
  AutomationCommand command;
  for (const Shape& shape : kNumeric) {
    if (words[0] != shape.verb) continue;
    if (words.size() != shape.numbers + 1)
      return Error(std::string(shape.verb) + " takes " + std::to_string(shape.numbers) + " numbers");
    command.kind = shape.kind;
    for (std::size_t i = 1; i < words.size(); ++i) {
      const auto value = Number(words[i]);
      if (!value) return Error("not a number: " + std::string(words[i]));
      command.numbers.push_back(*value);
    }
    return {command, {}};
  }
  if (words[0] == "key") {
    const auto key = words.size() == 2 ? KeyCode(words[1]) : std::nullopt;
    if (!key) return Error("key takes one key name or virtual-key number");
    command.kind = Kind::Key;
    command.numbers.push_back(*key);
  } else if (words[0] == "type") {
    command.kind = Kind::Type;
    command.text = std::string(RestAfter(line, 1));
    if (command.text.empty()) return Error("type takes the text to type");
  } else if (words[0] == "compose") {
    if (words.size() < 2) return Error("compose takes the committed text and its steps");
    command.kind = Kind::Compose;
    command.text = std::string(words[1]);
    for (std::size_t i = 2; i < words.size(); ++i) command.steps.emplace_back(words[i]);
  } else if (words[0] == "save") {
    command.kind = Kind::Save;
    command.text = std::string(RestAfter(line, 1));
    if (command.text.empty()) return Error("save takes a file path");
  } else if (words[0] == "ask") {
    if (words.size() < 2) return Error("ask takes a question");
    command.kind = Kind::Ask;
    command.text = std::string(words[1]);
    for (std::size_t i = 2; i < words.size(); ++i) command.steps.emplace_back(words[i]);
  } else if (words[0] == "ping") {
    if (words.size() != 1) return Error("ping takes nothing");
    command.kind = Kind::Ping;
  } else {
    return Error("unknown command: " + std::string(words[0]));
  }
  return {command, {}};
}

std::unique_ptr<AutomationChannel> AutomationChannel::Connect(EventLoop& loop, Window& host,
                                                              const std::string& socketPath, std::string* error) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) {
    if (error) *error = "the socket path is empty or too long";
    return nullptr;
  }
  std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (error) *error = std::string("cannot connect to ") + socketPath + ": " + std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  std::unique_ptr<AutomationChannel> channel(new AutomationChannel(loop, fd));
  if (!channel->Create(&host, Rect::FromSize(0, 0, 0, 0), 0, 0)) {
    if (error) *error = "no window for the channel";
    return nullptr;
  }
  loop.Sockets().WatchConnected(fd, channel->Handle(), kSocketMessage);
  return channel;
}

std::unique_ptr<AutomationChannel> AutomationChannel::FromEnvironment(EventLoop& loop, Window& host) {
  const char* path = std::getenv(kEnvironmentVariable);
  if (!path || !*path) return nullptr;
  std::string error;
  auto channel = Connect(loop, host, path, &error);
  if (channel)
    base::Log(base::LogLevel::Info, "automation", "driven through ", path);
  else
    base::Log(base::LogLevel::Error, "automation", "running without the driver: ", error);
  return channel;
}

AutomationChannel::AutomationChannel(EventLoop& loop, int fd) : loop_(loop), automation_(loop), fd_(fd) {}

AutomationChannel::~AutomationChannel() {
  Close();
  Destroy();
}

void AutomationChannel::Close() {
  if (fd_ < 0) return;
  loop_.Sockets().Unwatch(fd_);
  ::close(fd_);
  fd_ = -1;
}

LResult AutomationChannel::WindowProc(MsgId msg, WParam w, LParam l) {
  if (msg == kRunNextMessage) {
    RunNextLine();
    return 0;
  }
  if (msg != kSocketMessage) return Window::WindowProc(msg, w, l);
  if (static_cast<int>(w) != fd_) return 0;
  switch (GetSelectEvent(l)) {
    case FD_READ: ReadCommands(); break;
    case FD_WRITE: Flush(); break;
    case FD_CLOSE:
      base::Log(base::LogLevel::Info, "automation", "the driver closed the channel");
      Close();
      break;
    default: break;
  }
  return 0;
}

void AutomationChannel::ReadCommands() {
  char buffer[1024];
  const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n <= 0) return;  // the close comes as FD_CLOSE
  input_.append(buffer, static_cast<std::size_t>(n));
  if (input_.find('\n') == std::string::npos && input_.size() > kMaxLineBytes) {
    input_.clear();
    if (!droppingLongLine_) Reply("error line longer than 4096 bytes");
    droppingLongLine_ = true;
  }
  PostRunNext();
}

// Lines run one per posted message, not in a loop here: a command may run a
// modal loop, and that loop must still get to the lines that are already
// buffered and will never be announced by the socket again.
void AutomationChannel::PostRunNext() {
  if (runPosted_ || input_.find('\n') == std::string::npos) return;
  runPosted_ = PostMessage(kRunNextMessage);
}

void AutomationChannel::RunNextLine() {
  runPosted_ = false;
  const std::size_t end = input_.find('\n');
  if (end == std::string::npos || fd_ < 0) return;
  std::string line = input_.substr(0, end);
  input_.erase(0, end + 1);
  PostRunNext();
  if (std::exchange(droppingLongLine_, false)) return;  // the tail of the long line
  if (line.size() > kMaxLineBytes) {
    Reply("error line longer than 4096 bytes");
    return;
  }
  RunLine(line);
}

void AutomationChannel::RunLine(std::string_view line) {
  const ParsedAutomationCommand parsed = ParseAutomationCommand(line);
  if (!parsed.command) {
    Reply("error " + parsed.error);
    return;
  }
  if (parsed.command->kind == AutomationCommand::Kind::Ask) {
    Reply(Answer(*parsed.command));
    return;
  }
  if (parsed.command->kind == AutomationCommand::Kind::Save) {
    Reply(automation_.SaveFrame(parsed.command->text) ? "ok" : "error cannot write " + parsed.command->text);
    return;
  }
  Reply("ok");
  Run(*parsed.command);
}

void AutomationChannel::Run(const AutomationCommand& command) {
  using Kind = AutomationCommand::Kind;
  const auto point = [&](std::size_t i) { return Point{command.numbers[i], command.numbers[i + 1]}; };
  switch (command.kind) {
    case Kind::Move: automation_.MoveMouse(point(0)); break;
    case Kind::Click: automation_.Click(point(0)); break;
    case Kind::RightClick: automation_.Click(point(0), MouseButton::Right); break;
    case Kind::DoubleClick: automation_.DoubleClick(point(0)); break;
    case Kind::Drag: automation_.Drag(point(0), point(2)); break;
    case Kind::Wheel: automation_.Wheel(point(0), command.numbers[2]); break;
    case Kind::Key: automation_.PressKey(static_cast<WParam>(command.numbers[0])); break;
    case Kind::Type: automation_.TypeText(command.text); break;
    case Kind::Compose:
      for (const std::string& step : command.steps) loop_.InjectTextEditing(step);
      loop_.InjectTextInput(command.text);
      break;
    case Kind::Save:
    case Kind::Ask:
    case Kind::Ping: break;
  }
}

void AutomationChannel::AddQuestion(std::string name, Question question) {
  questions_[std::move(name)] = std::move(question);
}

std::string AutomationChannel::Answer(const AutomationCommand& command) {
  if (command.text == "window") return AnswerWindow(command.steps);
  if (command.text == "modal") return AnswerModal(command.steps);
  const auto question = questions_.find(command.text);
  if (question == questions_.end()) return "error unknown question: " + command.text;
  std::string answer;
  if (!question->second(command.steps, answer)) return "error " + answer;
  return answer.empty() ? "ok" : "ok " + answer;
}

std::string AutomationChannel::AnswerWindow(const std::vector<std::string>& words) const {
  const auto id = words.size() == 1 ? Number(words[0]) : std::nullopt;
  if (!id) return "error window takes one control id";
  // Only the top modal window and its children take input while it runs.
  const Window* root = loop_.TopModal();
  if (!root) {
    root = this;
    while (root->Parent()) root = root->Parent();
  }
  const Window* found = TopVisibleWithId(*root, *id);
  if (!found) return "error no visible window with id " + words[0];
  const Rect r = found->GetScreenRect();
  return "ok " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.Width()) + " " +
         std::to_string(r.Height()) + " " + (found->IsWindowEnabled() ? "1" : "0");
}

std::string AutomationChannel::AnswerModal(const std::vector<std::string>& words) const {
  if (!words.empty()) return "error modal takes no words";
  const Window* modal = loop_.TopModal();
  if (!modal) return "ok depth=0";
  const Rect r = modal->GetScreenRect();
  return "ok depth=" + std::to_string(loop_.ModalDepth()) + " x=" + std::to_string(r.left) +
         " y=" + std::to_string(r.top) + " width=" + std::to_string(r.Width()) + " height=" + std::to_string(r.Height());
}

void AutomationChannel::Reply(std::string_view line) {
  if (fd_ < 0) return;
  output_.append(line);
  output_.push_back('\n');
  Flush();
}

void AutomationChannel::Flush() {
  while (fd_ >= 0 && !output_.empty()) {
    const ssize_t n = ::send(fd_, output_.data(), output_.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      output_.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      loop_.Sockets().RequestWrite(fd_);
      return;
    } else {
      return;  // the close comes as FD_CLOSE
    }
  }
}

}  // namespace tovrik::platform
