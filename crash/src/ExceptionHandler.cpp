#include "crash/ExceptionHandler.h"

#include "crash/ExceptionCodes.h"
#include "crash/SafeFormat.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern char** environ;

namespace tovrik::crash {
namespace {

constexpr size_t kAlternateStackSize = 256 * 1024;
constexpr uint32_t kStackBytesNormal = 256 * 1024;
constexpr uint32_t kStackBytesOverflow = 64 * 1024;
constexpr uint64_t kRedZone = 128;
// A SIGSEGV this close below the stack pointer is the stack running out.
constexpr uint64_t kOverflowReach = 64 * 1024;
constexpr size_t kMaxSymbolName = 937;

uint32_t MonotonicMs() {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint32_t(uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000);
}

int64_t SystemSeconds() { return int64_t(::time(nullptr)); }

uint32_t CurrentThreadId() { return uint32_t(::syscall(SYS_gettid)); }

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t z, unsigned& month, unsigned& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
}

bool IsFaultOfTheInstruction(int signo, const siginfo_t& info) {
  return info.si_code > 0 && (signo == SIGSEGV || signo == SIGBUS || signo == SIGFPE || signo == SIGILL);
}

std::atomic<int> g_handling{0};

}  // namespace

LocalTime BreakDownTime(int64_t utcSeconds, int64_t utcOffsetSeconds) {
  const int64_t local = utcSeconds + utcOffsetSeconds;
  int64_t days = local / 86400;
  int64_t rest = local % 86400;
  if (rest < 0) rest += 86400, --days;
  LocalTime t;
  CivilFromDays(days, t.month, t.day);
  t.hour = unsigned(rest / 3600);
  t.minute = unsigned(rest / 60 % 60);
  t.second = unsigned(rest % 60);
  return t;
}

const char* KindLine(int kind) {
  switch (kind) {
    case kClientModule: return "KIND: CLIENT MODULE \r\n";
    case kGameServerModule: return "KIND: GAME SERVER MODULE \r\n";
    case kMasterServerModule: return "KIND: MASTER SERVER MODULE \r\n";
    default: return "KIND: UNKNOWN MODULE \r\n";
  }
}

void FormatRunningTime(char* out, size_t size, uint32_t ms) {
  if (ms == 0) {
    SafeCopy(out, size, "Running time is [0:0:0.0] \r\n");
    return;
  }
  SafeFormat(out, size, "Running time is [%d:%d:%d.%d] \r\n", int(ms / 3600000), int(ms / 60000 % 60),
             int(ms / 1000 % 60), int(ms % 1000));
}

void FormatDumpPath(char* out, size_t size, int kind, const char* tempDir, const char* programDir,
                    const char* gameName, const LocalTime& t) {
  if (kind == kClientModule)
    SafeFormat(out, size, "%s/%s_%02u%02u_%02u%02u%02u.dmp", tempDir, gameName, t.month, t.day, t.hour, t.minute,
               t.second);
  else  // programDir ends with its separator
    SafeFormat(out, size, "%s%02u%02u_%02u%02u%02u.dmp", programDir, t.month, t.day, t.hour, t.minute, t.second);
}

void FormatReportCommandLine(char* out, size_t size, const char* program, const char* dump, const char* report,
                             const char* crashModule) {
  SafeFormat(out, size, "%s *|%s*|%s*|%s", program, dump, report, crashModule);
}

void WriteExceptionCodeLines(CLogger& log, uint32_t code) {
  log.Sprintf("Exception code: 0x%08x", code);
  if (const char* name = ExceptionName(code)) log.Sprintf("\t%s\r\n", name);
  else log.Sprintf("\tUnknown exception raised: %08X\r\n", code);
}

CExceptionHandler& CExceptionHandler::GT_Inst() {
  static CExceptionHandler handler;
  return handler;
}

CExceptionHandler::CExceptionHandler()
    : threadId(CurrentThreadId()), processId(uint32_t(::getpid())), ticks(MonotonicMs), wallClock(SystemSeconds) {
  startTime = ticks();
}

CExceptionHandler::~CExceptionHandler() {
  ClearFilter();
  ReleaseObject();
}

void CExceptionHandler::SetTickSource(TickSource source) {
  ticks = source ? source : MonotonicMs;
  startTime = ticks();
}

void CExceptionHandler::SetWallClock(WallClock clock) { wallClock = clock ? clock : SystemSeconds; }

void CExceptionHandler::ST_ExceptionInfo(const char* reportProgram, const char* game, int newVersion, int newKind) {
  if (reportProgram) SafeCopy(reportProgramPath, sizeof reportProgramPath, reportProgram);
  if (game) SafeCopy(gameName, sizeof gameName, game);
  if (newVersion >= 0) version = newVersion;
  if (newKind >= kClientModule && newKind <= kMasterServerModule) kind = newKind;
  if (newVersion == -1) kind = kUnknownModule;
}

void CExceptionHandler::ST_CommonDir(const char*) {
  ModuleList::Prepare();
  system = SystemDescription::Capture();
  char exe[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  if (programSymbols.Empty()) programSymbols.Load(exe);

  const char* tmp = std::getenv("TMPDIR");
  SafeCopy(tempDir, sizeof tempDir, tmp && *tmp ? tmp : "/tmp");
  for (size_t len = SafeLength(tempDir); len > 1 && tempDir[len - 1] == '/'; --len) tempDir[len - 1] = '\0';

  struct stat st;
  char text[64] = "";
  if (::stat(exe, &st) == 0 && ::ctime_r(&st.st_mtime, text)) SafeCopy(moduleCreateTime, sizeof moduleCreateTime, text);

  ::tzset();
  const time_t now = ::time(nullptr);
  struct tm local;
  if (::localtime_r(&now, &local)) utcOffset = local.tm_gmtoff;
  dbgHelp = 1;
}

void CExceptionHandler::InstallAlternateStack() {
  stack_t current;
  if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) && current.ss_size >= kAlternateStackSize)
    return;
  if (!alternateStack) {
    void* memory = ::mmap(nullptr, kAlternateStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    alternateStack = memory;
  }
  stack_t ours{};
  ours.ss_sp = alternateStack;
  ours.ss_size = kAlternateStackSize;
  ::sigaltstack(&ours, nullptr);
}

void CExceptionHandler::SetFilter() {
  if (filterInstalled) return;
  InstallAlternateStack();
  struct sigaction action {};
  action.sa_sigaction = Static_ExceptionFilter;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kFaultSignals); ++i) ::sigaction(kFaultSignals[i], &action, &previousFilter[i]);
  filterInstalled = 1;
}

void CExceptionHandler::ClearFilter() {
  if (!filterInstalled) return;
  for (size_t i = 0; i < std::size(kFaultSignals); ++i) ::sigaction(kFaultSignals[i], &previousFilter[i], nullptr);
  filterInstalled = 0;
}

void CExceptionHandler::Static_ExceptionFilter(int signo, siginfo_t* info, void* context) {
  CExceptionHandler& handler = GT_Inst();
  if (g_handling.exchange(1)) {
    // A fault while a fault is being reported: give up on the report.
    handler.ClearFilter();
    handler.ReturnHandlerCode(signo, info);
    return;
  }
  handler.ExceptionFilter(signo, info, static_cast<ucontext_t*>(context));
  g_handling.store(0);
}

uint64_t CExceptionHandler::InstructionPointer() const { return uint64_t(faultContext.uc_mcontext.gregs[REG_RIP]); }

bool CExceptionHandler::LooksLikeStackOverflow() const {
  if (faultSignal != SIGSEGV) return false;
  const uint64_t address = reinterpret_cast<uint64_t>(faultInfo.si_addr);
  const uint64_t sp = uint64_t(faultContext.uc_mcontext.gregs[REG_RSP]);
  return address < sp + 4096 && address + kOverflowReach >= sp;
}

void CExceptionHandler::ExceptionFilter(int signo, siginfo_t* info, ucontext_t* context) {
  if (!dbgHelp) {
    ReturnHandlerCode(signo, info);
    return;
  }
  faultSignal = signo;
  faultInfo = *info;
  faultContext = *context;
  faultThreadId = CurrentThreadId();
  const bool overflow = LooksLikeStackOverflow();
  exceptionCode = ExceptionCodeForSignal(signo, info->si_code, overflow);
  dumpType = overflow ? kDumpTypeFilterMemory : kDumpTypeNormal;
  WriteDump();
  if (IS_DeleteDump(kind) && !StartReportProgram()) ::unlink(dumpPath);
  ReleaseObject();
  ReturnHandlerCode(signo, info);
}

void CExceptionHandler::ReturnHandlerCode(int signo, const siginfo_t* info) {
  if (kind == kClientModule) {
    // The report is made; end now, without the system's own crash handling.
    ClearFilter();
    ::_exit(128 + signo);
  }
  ClearFilter();
  struct sigaction now;
  if (::sigaction(signo, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) {
    now.sa_handler = SIG_DFL;  // an ignored fault would repeat forever
    ::sigaction(signo, &now, nullptr);
  }
  // A faulting instruction faults again on return and so reaches the
  // previous handler with its own details; a sent signal is sent again.
  if (!IsFaultOfTheInstruction(signo, *info)) ::syscall(SYS_tgkill, ::getpid(), CurrentThreadId(), signo);
}

void CExceptionHandler::CreateStringData() {
  char exe[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  exe[n > 0 ? n : 0] = '\0';
  const char* slash = std::strrchr(exe, '/');
  const size_t dirLength = slash ? size_t(slash - exe + 1) : 0;
  SafeCopy(programDir, std::min(sizeof programDir, dirLength + 1), exe);
  SafeCopy(programFileName, sizeof programFileName, exe + dirLength);
  SafeFormat(reportPath, sizeof reportPath, "%s%s", programDir, kReportFileName);
  SetLogFileName(reportPath);
}

void CExceptionHandler::WriteDump() {
  CreateStringData();
  WRITE_RunTime();
  Sprintf("%s", KindLine(kind));
  WriteExceptionCodeLines(*this, exceptionCode);
  WRITE_Register();
  WRITE_Module();
  CHK_CrushModule();
  WRITE_ExceptionAddr();
  Sprintf("Crush Module: %s\n", crashModule);
  WriteLog();
  Sprintf("[Version : %d]", version);
  Sprintf("[GameName : %s]", gameName);
  Sprintf("[Kind : %d]", kind);
  WRITE_MiniDump();
}

void CExceptionHandler::WRITE_RunTime() {
  const greg_t* g = faultContext.uc_mcontext.gregs;
  const unsigned cs = unsigned(g[REG_CSGSFS] & 0xFFFF);
  Sprintf("%s%s\r\n", programDir, programFileName);
  Sprintf("GameName : %s \r\n", gameName);
  Sprintf("Version : %d \r\n", version);
  Sprintf("EIP : %04x:0x%08lx \r\n", cs, static_cast<unsigned long>(g[REG_RIP]));
  Sprintf("ExceptionCode : %u \r\n", exceptionCode);
  Sprintf("Module Create Time : %s \r\n", moduleCreateTime);
  Sprintf("Exception Handler: 2009.08.10\r\n");
  char line[96];
  FormatRunningTime(line, sizeof line, ticks() - startTime);
  Sprintf("%s", line);
}

void CExceptionHandler::WRITE_Register() {
  const greg_t* g = faultContext.uc_mcontext.gregs;
  auto reg = [g](int r) { return static_cast<unsigned long>(g[r]); };
  const uint64_t segments = uint64_t(g[REG_CSGSFS]);
  unsigned ds, es, ss;
  asm volatile("mov %%ds, %0" : "=r"(ds));
  asm volatile("mov %%es, %0" : "=r"(es));
  asm volatile("mov %%ss, %0" : "=r"(ss));
  const unsigned cs = unsigned(segments & 0xFFFF), gs = unsigned(segments >> 16 & 0xFFFF),
                 fs = unsigned(segments >> 32 & 0xFFFF);
  Sprintf("********** Registers ********** \r\n");
  Sprintf("EAX: 0x%08lx\r\n", reg(REG_RAX));
  Sprintf("EBX: 0x%08lx\r\n", reg(REG_RBX));
  Sprintf("ECX: 0x%08lx\r\n", reg(REG_RCX));
  Sprintf("EDX: 0x%08lx\r\n", reg(REG_RDX));
  Sprintf("ESI: 0x%08lx\r\n", reg(REG_RSI));
  Sprintf("EDI: 0x%08lx\r\n", reg(REG_RDI));
  Sprintf("DS : %04x  ES:%04x  FS:%04x  GS:%04x\r\n", ds & 0xFFFF, es & 0xFFFF, fs, gs);
  Sprintf("\r\n");
  Sprintf("CS:EIP: %04x:0x%08lx\r\n", cs, reg(REG_RIP));
  Sprintf("SS:ESP: %04x:0x%08lx \r\n     EBP: 0x%08lx\r\n\r\n", ss & 0xFFFF, reg(REG_RSP), reg(REG_RBP));
}

void CExceptionHandler::WRITE_Module() { modules.Capture(); }

void CExceptionHandler::CHK_CrushModule() {
  const CrashModule* m = modules.Find(InstructionPointer());
  SafeCopy(crashModule, sizeof crashModule, m ? m->path : programFileName);
}

void CExceptionHandler::WRITE_ExceptionAddr() {
  const uint64_t ip = InstructionPointer();
  if (ip == 0) {
    Sprintf("Exception Address is NULL\r\n");
    Sprintf("There was able to stack under flow. \r\n");
    return;
  }
  uint32_t section = 0;
  uint64_t offset = 0;
  char symbol[kMaxSymbolName + 1] = "";
  if (const CrashModule* m = modules.Find(ip)) {
    m->SegmentOf(ip, section, offset);
    if (m == modules.Main())
      if (const char* name = programSymbols.Find(ip - m->bias)) SafeCopy(symbol, sizeof symbol, name);
  }
  Sprintf("Fault address: 0x%08lx %04d:0x%08lx %s() \r\n", static_cast<unsigned long>(ip), int(section),
          static_cast<unsigned long>(offset), symbol);
}

void CExceptionHandler::WRITE_MiniDump() {
  const LocalTime when = BreakDownTime(wallClock(), utcOffset);
  FormatDumpPath(dumpPath, sizeof dumpPath, kind, tempDir, programDir, gameName, when);
  const int fd = ::open(dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    SafeCopy(lastError, sizeof lastError, "File Create fail");
    return;
  }
  const uint64_t sp = uint64_t(faultContext.uc_mcontext.gregs[REG_RSP]);
  MinidumpInput in;
  in.processId = processId;
  in.threadId = faultThreadId;
  in.timeStamp = uint32_t(wallClock());
  in.dumpType = dumpType;
  in.signo = faultSignal;
  in.siCode = faultInfo.si_code;
  in.exceptionAddress = IsFaultOfTheInstruction(faultSignal, faultInfo)
                            ? reinterpret_cast<uint64_t>(faultInfo.si_addr)
                            : InstructionPointer();
  in.context = &faultContext;
  in.modules = &modules;
  const StackRange stack =
      ReadableStack(sp - kRedZone, dumpType == kDumpTypeFilterMemory ? kStackBytesOverflow : kStackBytesNormal);
  in.stackStart = stack.start;
  in.stackSize = stack.size;
  in.userStream = c_str();
  in.userStreamSize = uint32_t(n_str());
  in.system = &system;
  WriteMinidump(fd, in);
  ::close(fd);
}

bool CExceptionHandler::StartReportProgram() {
  if (!reportProgramPath[0]) return false;
  FormatReportCommandLine(commandLine, sizeof commandLine, reportProgramPath, dumpPath, reportPath, crashModule);
  // The program gets the command line after its own name as one argument.
  char* arguments[] = {reportProgramPath, commandLine + SafeLength(reportProgramPath) + 1, nullptr};
  int status[2];
  if (::pipe2(status, O_CLOEXEC) != 0) return false;
  // A bare clone: fork() would run the C library's fork handlers and take
  // the allocator's locks, which the faulting code may hold.
  const long pid = ::syscall(SYS_clone, SIGCHLD, nullptr, nullptr, nullptr, 0);
  if (pid == 0) {
    ::setpriority(PRIO_PROCESS, 0, -10);  // high priority where allowed
    ::syscall(SYS_close_range, 3u, unsigned(status[1] - 1), 0u);
    ::syscall(SYS_close_range, unsigned(status[1] + 1), ~0u, 0u);
    ::execve(reportProgramPath, arguments, environ);
    const int error = errno;
    ssize_t ignored = ::write(status[1], &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  }
  ::close(status[1]);
  if (pid < 0) {
    ::close(status[0]);
    return false;
  }
  int execError = 0;
  ssize_t got;
  do got = ::read(status[0], &execError, sizeof execError);
  while (got < 0 && errno == EINTR);
  ::close(status[0]);
  int exitStatus = 0;
  long waited;
  do waited = ::waitpid(pid_t(pid), &exitStatus, 0);
  while (waited < 0 && errno == EINTR);
  return got == 0 && waited == pid;
}

void CExceptionHandler::ReleaseObject() {
  Clear();
  modules.Clear();
}

}  // namespace tovrik::crash
