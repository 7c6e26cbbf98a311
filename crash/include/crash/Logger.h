#pragma once
// CLogger: formatted text pieces collected in order and written to a file in
// one go. All storage is reserved at construction, so pieces can be added and
// written from inside a fault handler.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tovrik::crash {

class CLogger {
 public:
  static constexpr size_t kMaxPieceChars = 4095;
  static constexpr size_t kMaxPieces = 512;
  static constexpr size_t kArenaBytes = 128 * 1024;

  CLogger();
  CLogger(const CLogger&) = delete;
  CLogger& operator=(const CLogger&) = delete;
  virtual ~CLogger();

  // Appends one piece of at most kMaxPieceChars characters. When the arena
  // is full the piece is dropped: a crash report never allocates.
  void Sprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Writes every piece to the log file, replacing it, the way a text-mode
  // file is written: each line feed reaches the file as CR LF. Then the
  // pieces are cleared. 1 when the file was written, 0 when it could not be
  // created.
  int WriteLog();
  // All pieces joined without separators in a buffer of n_str() bytes (each
  // piece counted with its NUL, so the buffer ends in NULs).
  const char* c_str();
  int n_str() const { return joinedLength; }
  void Clear();
  void SetLogFileName(const char* name);
  const char* LogFileName() const { return logFileName; }
  size_t PieceCount() const { return pieceCount; }

 private:
  struct VA_CHAR {
    uint32_t offset;
    uint32_t length;  // with the terminating NUL
  };
  VA_CHAR pieces[kMaxPieces];
  size_t pieceCount = 0;
  std::unique_ptr<char[]> arena;
  size_t arenaUsed = 0;
  char logFileName[PATH_MAX] = {};
  std::unique_ptr<char[]> joinedText;
  int joinedLength = 0;
};

}  // namespace tovrik::crash
