#pragma once
// CExceptionHandler: the process-wide fault handler. When the program faults
// it writes a plain-text report beside the program ("Exception.RPT"), a
// minidump, and, for the client, starts the portal's report program with the
// names of both files before the process ends.
//
// Faults arrive as signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
// SIGTRAP) on an alternate signal stack, so that a stack overflow is reported
// too. Each is given the exception code the report has always used. Inside
// the handler only async-signal-safe work happens: everything that needs the
// heap, the C library's locks or the file system's names (symbols, the
// machine's description, the time zone, folders) is prepared at set-up, the
// text goes into reserved buffers, files are written with write(), and the
// report program is started with clone and execve.

#include "crash/ExceptionCodes.h"
#include "crash/Logger.h"
#include "crash/Minidump.h"
#include "crash/ModuleList.h"
#include "crash/SymbolTable.h"

#include <csignal>
#include <cstdint>
#include <iterator>

namespace tovrik::crash {

enum ModuleKind {
  kUnknownModule = 0,
  kClientModule = 1,
  kGameServerModule = 2,
  kMasterServerModule = 3,
};
inline bool IsServer(int kind) { return kind == kGameServerModule || kind == kMasterServerModule; }
// The client alone starts the report program (and deletes the dump when it
// cannot be started).
inline bool IS_DeleteDump(int kind) { return kind == kClientModule; }

using TickSource = uint32_t (*)();  // milliseconds, any origin
using WallClock = int64_t (*)();    // seconds since the epoch

struct LocalTime {
  unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// Breaks `utcSeconds` shifted by `utcOffsetSeconds` into local fields.
LocalTime BreakDownTime(int64_t utcSeconds, int64_t utcOffsetSeconds);

// The report's pieces that depend on one value only.
const char* KindLine(int kind);
void FormatRunningTime(char* out, size_t size, uint32_t elapsedMs);
void FormatDumpPath(char* out, size_t size, int kind, const char* tempDir, const char* programDir,
                    const char* gameName, const LocalTime& when);
// "%s *|%s*|%s*|%s": program, dump, report, crash module.
void FormatReportCommandLine(char* out, size_t size, const char* program, const char* dump, const char* report,
                             const char* crashModule);
// "Exception code: 0x%08x" and, on the same line, the code's name.
void WriteExceptionCodeLines(CLogger& log, uint32_t code);

class CExceptionHandler : public CLogger {
 public:
  static constexpr uint32_t kDumpTypeNormal = 0;
  static constexpr uint32_t kDumpTypeFilterMemory = 8;  // what a stack overflow can afford
  static constexpr const char* kReportFileName = "Exception.RPT";

  static CExceptionHandler& GT_Inst();
  ~CExceptionHandler() override;

  void ST_ExceptionInfo(const char* reportProgram, const char* gameName, int version, int kind);
  // Prepares everything the handler will need (the stand-in for loading the
  // debugging library); `folder` is the portal's common folder or null.
  void ST_CommonDir(const char* folder);
  void SetFilter();
  void ClearFilter();
  static void Static_ExceptionFilter(int signo, siginfo_t* info, void* context);

  // Replaces the clocks; the running time then counts from this call.
  void SetTickSource(TickSource ticks);
  void SetWallClock(WallClock clock);

  int Kind() const { return kind; }
  int Version() const { return version; }
  const char* GameName() const { return gameName; }
  const char* ReportProgramPath() const { return reportProgramPath; }
  bool FilterInstalled() const { return filterInstalled != 0; }
  bool Prepared() const { return dbgHelp != 0; }

 private:
  CExceptionHandler();
  void ExceptionFilter(int signo, siginfo_t* info, ucontext_t* context);
  void WriteDump();
  void CreateStringData();
  void WRITE_RunTime();
  void WRITE_Register();
  void WRITE_Module();
  void CHK_CrushModule();
  void WRITE_ExceptionAddr();
  void WRITE_MiniDump();
  bool StartReportProgram();
  void ReleaseObject();
  void ReturnHandlerCode(int signo, const siginfo_t* info);
  void InstallAlternateStack();
  bool LooksLikeStackOverflow() const;
  uint64_t InstructionPointer() const;

  uint32_t threadId = 0, processId = 0;
  uint32_t dumpType = kDumpTypeFilterMemory;
  struct sigaction previousFilter[std::size(kFaultSignals)] = {};
  char reportProgramPath[PATH_MAX] = {};
  char dumpPath[PATH_MAX] = {};
  char gameName[PATH_MAX] = {};
  char programDir[PATH_MAX] = {};
  char programFileName[PATH_MAX] = {};
  char crashModule[PATH_MAX] = {};
  char reportPath[PATH_MAX] = {};
  char commandLine[4 * PATH_MAX + 16] = {};
  uint32_t startTime = 0;
  int version = 0;
  int kind = kUnknownModule;
  int dbgHelp = 0;  // set-up done: symbols, machine and folders known
  int filterInstalled = 0;
  ModuleList modules;
  char lastError[1024] = {};

  // What the handler must not look up for itself.
  SymbolTable programSymbols;
  SystemDescription system;
  char tempDir[PATH_MAX] = {};
  char moduleCreateTime[64] = {};
  int64_t utcOffset = 0;
  TickSource ticks = nullptr;
  WallClock wallClock = nullptr;
  void* alternateStack = nullptr;

  // The fault being handled (the "exception pointers").
  int faultSignal = 0;
  siginfo_t faultInfo = {};
  ucontext_t faultContext = {};
  uint32_t exceptionCode = 0;
  uint32_t faultThreadId = 0;
};

}  // namespace tovrik::crash
