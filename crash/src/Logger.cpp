#include "crash/Logger.h"

#include "crash/SafeFormat.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace tovrik::crash {
namespace {

bool WriteAll(int fd, const char* data, size_t size) {
  while (size) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

// Text-mode output: LF becomes CR LF, everything else passes unchanged.
class TextModeFile {
 public:
  explicit TextModeFile(int fd) : fd_(fd) {}
  ~TextModeFile() { Flush(); }
  void Put(char c) {
    if (c == '\n') Byte('\r');
    Byte(c);
  }
  void Flush() {
    if (used_ && !WriteAll(fd_, buffer_, used_)) failed_ = true;
    used_ = 0;
  }
  bool Failed() const { return failed_; }

 private:
  void Byte(char c) {
    if (used_ == sizeof buffer_) Flush();
    buffer_[used_++] = c;
  }
  int fd_;
  char buffer_[4096];
  size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace

CLogger::CLogger() : arena(new char[kArenaBytes]), joinedText(new char[kArenaBytes]) {}

CLogger::~CLogger() = default;

void CLogger::Sprintf(const char* format, ...) {
  if (pieceCount == kMaxPieces || arenaUsed >= kArenaBytes) return;
  const size_t room = std::min(kMaxPieceChars + 1, kArenaBytes - arenaUsed);
  va_list args;
  va_start(args, format);
  const size_t n = SafeFormatV(arena.get() + arenaUsed, room, format, args);
  va_end(args);
  pieces[pieceCount++] = {uint32_t(arenaUsed), uint32_t(n + 1)};
  arenaUsed += n + 1;
}

int CLogger::WriteLog() {
  int written = 0;
  const int fd = ::open(logFileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd >= 0) {
    {
      TextModeFile file(fd);
      for (size_t i = 0; i < pieceCount; ++i)
        for (const char* c = arena.get() + pieces[i].offset; *c; ++c) file.Put(*c);
      file.Flush();
      written = file.Failed() ? 0 : 1;
    }
    ::close(fd);
  }
  Clear();
  return written;
}

const char* CLogger::c_str() {
  size_t at = 0;
  size_t total = 0;
  for (size_t i = 0; i < pieceCount; ++i) {
    const VA_CHAR& p = pieces[i];
    std::memcpy(joinedText.get() + at, arena.get() + p.offset, p.length - 1);
    at += p.length - 1;
    total += p.length;
  }
  // The pieces' NULs are counted but not copied: the joined text is followed
  // by as many NULs as there were pieces.
  std::memset(joinedText.get() + at, 0, total - at);
  if (total == 0) joinedText[0] = '\0';
  joinedLength = int(total);
  return joinedText.get();
}

void CLogger::Clear() {
  pieceCount = 0;
  arenaUsed = 0;
  joinedLength = 0;
}

void CLogger::SetLogFileName(const char* name) { SafeCopy(logFileName, sizeof logFileName, name); }

}  // namespace tovrik::crash
