#include "platform/MessageBox.h"

#include "base/Log.h"

#include <SDL.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <strings.h>

namespace tovrik::platform {
namespace {

struct Button {
  int id;
  const char* label;
};

std::vector<Button> ButtonsOf(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
  }
}

// The button that Escape (or closing the box) chooses.
int EscapeAnswer(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_OK: return IDOK;
    default: return IDCANCEL;
  }
}

bool Offers(unsigned type, int answer) {
  for (const Button& b : ButtonsOf(type))
    if (b.id == answer) return true;
  return false;
}

const char* LabelOf(int answer) {
  static const Button all[] = {{IDOK, "OK"},         {IDCANCEL, "Cancel"}, {IDABORT, "Abort"}, {IDRETRY, "Retry"},
                               {IDIGNORE, "Ignore"}, {IDYES, "Yes"},       {IDNO, "No"}};
  for (const Button& b : all)
    if (b.id == answer) return b.label;
  return "?";
}

std::optional<int> ParseAnswer(std::string_view word) {
  static const Button all[] = {{IDOK, "ok"},         {IDCANCEL, "cancel"}, {IDABORT, "abort"}, {IDRETRY, "retry"},
                               {IDIGNORE, "ignore"}, {IDYES, "yes"},       {IDNO, "no"}};
  for (const Button& b : all)
    if (word.size() == std::strlen(b.label) && strncasecmp(word.data(), b.label, word.size()) == 0) return b.id;
  int value = 0;
  for (char c : word) {
    if (c < '0' || c > '9' || value > 100) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (word.empty()) return std::nullopt;
  return value;
}

struct Automation {
  std::deque<int> queue;
  int defaultAnswer = 0;
  bool environmentRead = false;
  std::vector<LoggedMessageBox> logged;
  std::size_t loggedCount = 0;
};

Automation& TheAutomation() {
  static Automation automation;
  return automation;
}

void ReadEnvironmentOnce(Automation& a) {
  if (a.environmentRead) return;
  a.environmentRead = true;
  const char* list = std::getenv("TOVRIK_MESSAGEBOX_ANSWERS");
  if (!list) return;
  std::string_view rest(list);
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string_view word = rest.substr(0, comma);
    if (auto answer = ParseAnswer(word)) a.queue.push_back(*answer);
    else base::Log(base::LogLevel::Warn, "platform", "TOVRIK_MESSAGEBOX_ANSWERS: '", word, "' is no answer, ignored");
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
}

std::optional<int> QueuedAnswer() {
  Automation& a = TheAutomation();
  ReadEnvironmentOnce(a);
  if (!a.queue.empty()) {
    const int answer = a.queue.front();
    a.queue.pop_front();
    return answer;
  }
  if (a.defaultAnswer != 0) return a.defaultAnswer;
  return std::nullopt;
}

// An automated answer the box does not offer would never come from a
// person; it falls back to the escape button instead.
int AutomatedAnswer(unsigned type) {
  const int answer = QueuedAnswer().value_or(0);
  return Offers(type, answer) ? answer : EscapeAnswer(type);
}

void Record(std::string_view caption, std::string_view text, unsigned type, int answer) {
  base::Log(base::LogLevel::Info, "platform", MessageBoxLogLine(caption, text, type, answer));
  Automation& a = TheAutomation();
  if (a.logged.size() >= kLoggedMessageBoxesKept)
    a.logged.erase(a.logged.begin(), a.logged.begin() + std::ptrdiff_t(a.logged.size() - kLoggedMessageBoxesKept + 1));
  a.logged.push_back({std::string(caption), std::string(text), type, answer});
  ++a.loggedCount;
}

int AnswerThroughLog(std::string_view caption, std::string_view text, unsigned type) {
  const int answer = AutomatedAnswer(type);
  Record(caption, text, type, answer);
  return answer;
}

Uint32 SdlIconFlags(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

// SDL's box: -1 when it cannot be shown.
int ShowSdlBox(std::string_view caption, std::string_view text, unsigned type) {
  std::string captionZ(caption), textZ(text);
  std::vector<Button> buttons = ButtonsOf(type);
  std::vector<SDL_MessageBoxButtonData> data;
  int escape = EscapeAnswer(type);
  for (const Button& b : buttons) {
    Uint32 flags = 0;
    if (b.id == buttons.front().id) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (b.id == escape) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({flags, b.id, b.label});
  }
  SDL_MessageBoxData box{};
  box.flags = SdlIconFlags(type);
  box.title = captionZ.c_str();
  box.message = textZ.c_str();
  box.numbuttons = int(data.size());
  box.buttons = data.data();
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    base::Log(base::LogLevel::Warn, "platform", "message box could not be shown (", SDL_GetError(),
              "); answering through the log");
    return -1;
  }
  // Closing the box by its frame reports -1: that is the escape button.
  return chosen < 0 ? escape : chosen;
}

std::atomic<bool> g_Interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "read from signal handlers");

OnScreenMessageBox& TestBox() {
  static OnScreenMessageBox box;
  return box;
}

// The box runs in a child process of its own process group, and this one
// waits for its answer on a pipe. A box shown in this process (SDL's waits
// for a child of its own) would hold a signal's exit back for as long as
// nobody answers; here an interruption ends the whole group at once and the
// box counts as escaped.
std::optional<int> ShowOnScreen(std::string_view caption, std::string_view text, unsigned type) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return std::nullopt;
  }
  if (child == 0) {
    ::setpgid(0, 0);
    ::close(fds[0]);
    const int answer = TestBox() ? TestBox()(caption, text, type) : ShowSdlBox(caption, text, type);
    [[maybe_unused]] const ssize_t written = ::write(fds[1], &answer, sizeof answer);
    ::_exit(0);
  }
  ::setpgid(child, child);  // also here, whichever of the two runs first
  ::close(fds[1]);
  int answer = -1;
  bool interrupted = false;
  for (;;) {
    if (g_Interrupted.load()) {
      interrupted = true;
      break;
    }
    pollfd ready{fds[0], POLLIN, 0};
    const int n = ::poll(&ready, 1, 100);
    if (n < 0 && errno != EINTR) break;
    if (n > 0) {
      if (::read(fds[0], &answer, sizeof answer) != ssize_t(sizeof answer)) answer = -1;
      break;
    }
  }
  ::close(fds[0]);
  if (interrupted) ::kill(-child, SIGKILL);
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (interrupted) return EscapeAnswer(type);
  if (answer < 0) return std::nullopt;
  return answer;
}

// The record quotes its texts C-style; the other control bytes are escaped
// as every log record escapes them.
void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: base::AppendControlEscaped(out, std::string_view(&c, 1));
    }
  }
}

}  // namespace

bool MessageBoxesAreHeadless() {
  auto isDummy = [](const char* driver) {
    return driver && (strcasecmp(driver, "dummy") == 0 || strcasecmp(driver, "offscreen") == 0);
  };
  if (SDL_WasInit(SDL_INIT_VIDEO)) return isDummy(SDL_GetCurrentVideoDriver());
  if (isDummy(std::getenv("SDL_VIDEODRIVER"))) return true;
  return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

void InterruptMessageBoxes() { g_Interrupted.store(true); }

void SetOnScreenMessageBoxForTests(OnScreenMessageBox box) { TestBox() = std::move(box); }

int ShowMessageBox(std::string_view caption, std::string_view text, unsigned type) {
  if (!MessageBoxesAreHeadless() || TestBox()) {
    if (auto chosen = ShowOnScreen(caption, text, type)) return *chosen;
  }
  return AnswerThroughLog(caption, text, type);
}

std::optional<int> TakeAutomatedMessageBoxAnswer(unsigned type) {
  const std::optional<int> answer = QueuedAnswer();
  if (!answer) return std::nullopt;
  return Offers(type, *answer) ? *answer : EscapeAnswer(type);
}

int MessageBoxEscapeAnswer(unsigned type) { return EscapeAnswer(type); }

bool MessageBoxesInterrupted() { return g_Interrupted.load(); }

void RecordMessageBoxAnswer(std::string_view caption, std::string_view text, unsigned type, int answer) {
  Record(caption, text, type, answer);
}

void SetMessageBoxDefaultAnswer(int answer) { TheAutomation().defaultAnswer = answer; }

void QueueMessageBoxAnswers(std::initializer_list<int> answers) {
  for (int answer : answers) TheAutomation().queue.push_back(answer);
}

void ResetMessageBoxAutomation() {
  Automation& a = TheAutomation();
  a.queue.clear();
  a.defaultAnswer = 0;
  a.logged.clear();
  a.loggedCount = 0;
  g_Interrupted.store(false);
}

const std::vector<LoggedMessageBox>& LoggedMessageBoxes() { return TheAutomation().logged; }

std::size_t LoggedMessageBoxCount() { return TheAutomation().loggedCount; }

std::string MessageBoxLogLine(std::string_view caption, std::string_view text, unsigned type, int answer) {
  std::string line = "MessageBox caption=\"";
  AppendEscaped(line, caption);
  line += "\" text=\"";
  AppendEscaped(line, text);
  line += "\" buttons=";
  std::vector<Button> buttons = ButtonsOf(type);
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (i) line += '/';
    line += buttons[i].label;
  }
  line += " answer=";
  line += LabelOf(answer);
  return line;
}

}  // namespace tovrik::platform
