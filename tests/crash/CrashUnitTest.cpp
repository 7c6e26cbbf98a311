#include "crash/ExHandle.h"
#include "crash/ExceptionCodes.h"
#include "crash/ExceptionHandler.h"
#include "crash/SafeFormat.h"
#include "crash/SymbolTable.h"
#include "ReportArchive.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using namespace tovrik::crash;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SafeFormatTest, FormatsTheConversionsOfTheReport) {
  struct Case {
    std::string got;
    const char* expected;
  };
  char b[64];
  auto f = [&](auto... args) {
    SafeFormat(b, sizeof b, args...);
    return std::string(b);
  };
  const Case cases[] = {
      {f("%04x:0x%08x", 0x33u, 0x401000u), "0033:0x00401000"},
      {f("0x%08lx", 0x7ffd12345678ul), "0x7ffd12345678"},
      {f("%08X", 0xc0000135u), "C0000135"},
      {f("%u|%d|%d", 3221225477u, -1, 0), "3221225477|-1|0"},
      {f("[%s] %c%%", "x", 'y'), "[x] y%"},
      {f("%02u%02u_%02u", 8u, 9u, 14u), "0809_14"},
      {f("%5s|%-3d|", "ab", 7), "   ab|7  |"},
      {f("%lld %zu", -5ll, size_t(12)), "-5 12"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
  char small[4];
  EXPECT_EQ(SafeFormat(small, sizeof small, "%s", "truncated"), 3u);
  EXPECT_STREQ(small, "tru");
}

TEST(CrashTextTest, RunningTime) {
  struct Case {
    uint32_t ms;
    const char* expected;
  };
  const Case cases[] = {
      {303250, "Running time is [0:5:3.250] \r\n"},
      {0, "Running time is [0:0:0.0] \r\n"},
      {3600000 * 2 + 61005, "Running time is [2:1:1.5] \r\n"},
      {999, "Running time is [0:0:0.999] \r\n"},
  };
  char line[96];
  for (const Case& c : cases) {
    FormatRunningTime(line, sizeof line, c.ms);
    EXPECT_STREQ(line, c.expected) << c.ms;
  }
}

TEST(CrashTextTest, ExceptionCodeLines) {
  struct Case {
    uint32_t code;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {0xC0000135, "Exception code: 0xc0000135", "\tUnknown exception raised: C0000135\r\n"},
      {0xC0000005, "Exception code: 0xc0000005", "\tEXCEPTION_ACCESS_VIOLATION\r\n"},
      {0xC0000096, "Exception code: 0xc0000096", "\t해당 명령어를 실행 할 수 없습니다.\r\n"},
      {0xE06D7363, "Exception code: 0xe06d7363", "\tMicrosoft C++에서 오류가 발생하였습니다.\r\n"},
      {0x40010005, "Exception code: 0x40010005", "\tDBG_CONTROL_C\r\n"},
  };
  for (const Case& c : cases) {
    CLogger log;
    WriteExceptionCodeLines(log, c.code);
    ASSERT_EQ(log.PieceCount(), 2u);
    const std::string joined(log.c_str());
    EXPECT_EQ(joined, std::string(c.first) + c.second);
  }
}

TEST(CrashTextTest, SignalsGetTheCodesOfTheTable) {
  struct Case {
    int signo, code;
    bool overflow;
    uint32_t expected;
  };
  const Case cases[] = {
      {SIGSEGV, SEGV_MAPERR, false, 0xC0000005}, {SIGSEGV, SEGV_MAPERR, true, 0xC00000FD},
      {SIGFPE, FPE_INTDIV, false, 0xC0000094},   {SIGFPE, FPE_FLTDIV, false, 0xC000008E},
      {SIGILL, ILL_ILLOPC, false, 0xC000001D},   {SIGILL, ILL_PRVOPC, false, 0xC0000096},
      {SIGBUS, BUS_ADRALN, false, 0x80000002},   {SIGTRAP, TRAP_BRKPT, false, 0x80000003},
      {SIGABRT, SI_TKILL, false, 0x40000015},
  };
  for (const Case& c : cases) EXPECT_EQ(ExceptionCodeForSignal(c.signo, c.code, c.overflow), c.expected) << c.signo;
}

TEST(CrashTextTest, DumpNamesByKind) {
  const LocalTime when = BreakDownTime(1786284307, 0);  // 2026-08-09 14:05:07 UTC
  EXPECT_EQ(when.month, 8u);
  EXPECT_EQ(when.day, 9u);
  EXPECT_EQ(when.hour, 14u);
  char path[256];
  FormatDumpPath(path, sizeof path, kClientModule, "/tmp", "/opt/tovrik/", "CorvantaTovrik", when);
  EXPECT_STREQ(path, "/tmp/CorvantaTovrik_0809_140507.dmp");
  for (int kind : {kUnknownModule, kGameServerModule, kMasterServerModule}) {
    FormatDumpPath(path, sizeof path, kind, "/tmp", "/opt/tovrik/", "CorvantaTovrik", when);
    EXPECT_STREQ(path, "/opt/tovrik/0809_140507.dmp") << kind;
  }
  const LocalTime seoul = BreakDownTime(1786284307, 9 * 3600);
  EXPECT_EQ(seoul.hour, 23u);
  const LocalTime westward = BreakDownTime(1786284307, -15 * 3600);
  EXPECT_EQ(westward.day, 8u);
  EXPECT_EQ(westward.hour, 23u);
}

TEST(CrashTextTest, ReportProgramCommandLine) {
  char line[512];
  FormatReportCommandLine(line, sizeof line, "/p/Common/ExhReport", "/tmp/a.dmp", "/p/Exception.RPT", "/p/tovrik");
  EXPECT_STREQ(line, "/p/Common/ExhReport *|/tmp/a.dmp*|/p/Exception.RPT*|/p/tovrik");
}

TEST(CrashTextTest, KindLines) {
  EXPECT_STREQ(KindLine(0), "KIND: UNKNOWN MODULE \r\n");
  EXPECT_STREQ(KindLine(1), "KIND: CLIENT MODULE \r\n");
  EXPECT_STREQ(KindLine(2), "KIND: GAME SERVER MODULE \r\n");
  EXPECT_STREQ(KindLine(3), "KIND: MASTER SERVER MODULE \r\n");
  EXPECT_STREQ(KindLine(9), "KIND: UNKNOWN MODULE \r\n");
}

TEST(LoggerTest, WritesInTextModeAndJoinsWithTheNulsCounted) {
  const fs::path file = fs::temp_directory_path() / ("tovrik-logger-" + std::to_string(::getpid()));
  CLogger log;
  log.SetLogFileName(file.c_str());
  log.Sprintf("A: %d\r\n", 1);
  log.Sprintf("B\n");
  EXPECT_EQ(log.WriteLog(), 1);
  EXPECT_EQ(ReadText(file), "A: 1\r\r\nB\r\n");
  EXPECT_EQ(log.PieceCount(), 0u) << "written pieces are cleared";
  fs::remove(file);

  log.Sprintf("[Version : %d]", 7);
  log.Sprintf("[Kind : %d]", 1);
  const char* joined = log.c_str();
  ASSERT_EQ(log.n_str(), 25);
  EXPECT_EQ(std::string(joined, 25), std::string("[Version : 7][Kind : 1]\0\0", 25));

  log.SetLogFileName("/nonexistent-folder/x.RPT");
  EXPECT_EQ(log.WriteLog(), 0);
}

TEST(LoggerTest, APieceIsCutAtItsLimit) {
  CLogger log;
  const std::string big(5000, 'x');
  log.Sprintf("%s", big.c_str());
  log.c_str();
  EXPECT_EQ(log.n_str(), int(CLogger::kMaxPieceChars) + 1);
}

// The set-up's decisions, with a registry the test controls.
std::map<std::string, std::string> g_registry;
std::optional<std::string> TestRegistry(std::string_view key, std::string_view value) {
  auto it = g_registry.find(std::string(key) + "|" + std::string(value));
  if (it == g_registry.end()) return std::nullopt;
  return it->second;
}

TEST(ExHandleTest, ClientSetUpFindsTheReportProgramAndVersion) {
  CExceptionHandler& handler = CExceptionHandler::GT_Inst();
  EXPECT_TRUE(handler.FilterInstalled()) << "installed while static objects were constructed";
  EXPECT_EQ(handler.Kind(), kUnknownModule);

  g_registry = {{"SOFTWARE\\Corvanta|DefaultPath", "/opt/Corvanta"},
                {"SOFTWARE\\Corvanta\\CorvantaTovrik|Version", "1203"}};
  CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", 1, TestRegistry);
  EXPECT_EQ(handler.Kind(), kClientModule);
  EXPECT_EQ(handler.Version(), 1203);
  EXPECT_STREQ(handler.GameName(), "CorvantaTovrik");
  EXPECT_STREQ(handler.ReportProgramPath(), "/opt/Corvanta/Common/ExhReport");
  EXPECT_TRUE(handler.Prepared());

  // A client whose version is missing is not a client to report for.
  g_registry.erase("SOFTWARE\\Corvanta\\CorvantaTovrik|Version");
  CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", 1, TestRegistry);
  EXPECT_EQ(handler.Kind(), kUnknownModule);
  EXPECT_EQ(handler.Version(), 1203) << "a missing version leaves the stored one";

  // Without the install folder: kind 0, no new report program.
  g_registry.clear();
  handler.ST_ExceptionInfo("", nullptr, 0, 0);
  CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", 1, TestRegistry);
  EXPECT_EQ(handler.Kind(), kUnknownModule);
  EXPECT_STREQ(handler.ReportProgramPath(), "");
}

TEST(ExHandleTest, StoredInformationRules) {
  CExceptionHandler& handler = CExceptionHandler::GT_Inst();
  handler.ST_ExceptionInfo("/r", "game", 5, 2);
  EXPECT_EQ(handler.Kind(), 2);
  EXPECT_EQ(handler.Version(), 5);
  handler.ST_ExceptionInfo(nullptr, nullptr, 6, 0);
  EXPECT_EQ(handler.Kind(), 2) << "kind 0 with a valid version keeps the kind";
  EXPECT_EQ(handler.Version(), 6);
  EXPECT_STREQ(handler.ReportProgramPath(), "/r");
  EXPECT_STREQ(handler.GameName(), "game");
  handler.ST_ExceptionInfo(nullptr, nullptr, 7, 9);
  EXPECT_EQ(handler.Kind(), 2) << "kinds outside 1..3 are not stored";
  handler.ST_ExceptionInfo(nullptr, nullptr, -1, 3);
  EXPECT_EQ(handler.Kind(), 0) << "version -1 makes the kind unknown";
  EXPECT_EQ(handler.Version(), 7);
}

extern "C" __attribute__((noinline)) int TovrikSymbolProbe(int x) { return x * 3 + 1; }

TEST(SymbolTableTest, FindsTheFunctionHoldingAnAddress) {
  SymbolTable symbols;
  ASSERT_TRUE(symbols.Load("/proc/self/exe"));
  ModuleList::Prepare();
  ModuleList modules;
  modules.Capture();
  ASSERT_NE(modules.Main(), nullptr);
  const uint64_t probe = reinterpret_cast<uint64_t>(&TovrikSymbolProbe);
  uint64_t start = 0;
  const char* name = symbols.Find(probe + 2 - modules.Main()->bias, &start);
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "TovrikSymbolProbe");
  EXPECT_EQ(start + modules.Main()->bias, probe);
  EXPECT_FALSE(symbols.Load("/nonexistent"));
  EXPECT_TRUE(symbols.Empty());
}

TEST(ModuleListTest, ListsTheProgramAndItsLibraries) {
  ModuleList::Prepare();
  ModuleList modules;
  modules.Capture();
  ASSERT_GT(modules.Count(), 2u);
  const uint64_t code = reinterpret_cast<uint64_t>(&TovrikSymbolProbe);
  EXPECT_EQ(modules.Find(code), modules.Main());
  EXPECT_EQ(fs::path(modules.Main()->path), fs::read_symlink("/proc/self/exe"));
  EXPECT_GT(modules.Main()->buildIdSize, 0u);
  uint32_t segment = 0;
  uint64_t offset = 0;
  EXPECT_TRUE(modules.Main()->SegmentOf(code, segment, offset));
  EXPECT_GE(segment, 1u);
  const CrashModule* libc = modules.Find(reinterpret_cast<uint64_t>(&::getpid));
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(std::string(libc->path).find("libc"), std::string::npos) << libc->path;
  char buffer[8];
  EXPECT_FALSE(SafeRead(buffer, 0, sizeof buffer)) << "unreadable memory is refused, not faulted on";
}

TEST(ReportArchiveTest, ParsesTheFieldsOfTheCommandLine) {
  auto files = ParseReportArguments("*|/tmp/a b.dmp*|/p/Exception.RPT*|/p/tovrik");
  ASSERT_TRUE(files);
  EXPECT_EQ(files->dump, "/tmp/a b.dmp");
  EXPECT_EQ(files->report, "/p/Exception.RPT");
  EXPECT_EQ(files->module, "/p/tovrik");
  for (const char* bad : {"", "/tmp/a.dmp*|b*|c", "*|a*|b", "*|a*|b*|c*|d"}) EXPECT_FALSE(ParseReportArguments(bad)) << bad;
}

TEST(ReportArchiveTest, KeepsTheFilesAndLogsOneLine) {
  const fs::path root = fs::temp_directory_path() / ("tovrik-archive-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "tmp");
  std::ofstream(root / "tmp" / "G_0809_140507.dmp") << "MDMP";
  std::ofstream(root / "Exception.RPT") << "report";
  const CrashFiles files{(root / "tmp" / "G_0809_140507.dmp").string(), (root / "Exception.RPT").string(), "/p/tovrik"};
  const ArchiveResult kept = ArchiveCrash(files, root / "crash", 1786284307);
  EXPECT_EQ(ReadText(root / "crash" / "G_0809_140507.dmp"), "MDMP");
  EXPECT_EQ(ReadText(root / "crash" / "G_0809_140507.RPT"), "report");
  EXPECT_FALSE(fs::exists(files.dump));
  EXPECT_TRUE(fs::exists(files.report)) << "the report beside the program stays";

  const ArchiveResult missing = ArchiveCrash(files, root / "crash", 1786284308);
  EXPECT_TRUE(missing.dump.empty());
  EXPECT_NE(missing.logLine.find("dump=(missing "), std::string::npos);
  const std::string log = ReadText(root / "crash" / "ExhReport.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
  EXPECT_NE(log.find(kept.logLine), std::string::npos);
  fs::remove_all(root);
}

}  // namespace
