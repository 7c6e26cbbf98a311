// Runs a program that faults on purpose and checks what the crash handler
// left behind: the text report line by line, the minidump's streams, the
// dump's name and place, and the report program's command line.

#include "MinidumpReader.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
using tovrik::crash::test::MinidumpReader;

extern char** environ;

namespace {

constexpr uint32_t kSystemInfo = 7, kException = 6, kThreadList = 3, kModuleList = 4, kMemoryList = 5,
                   kMiscInfo = 15, kUserStream = 0x10000;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// 9 August 2026, 14:05:07 in the child's time zone (UTC).
int64_t FaultTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900, t.tm_mon = 7, t.tm_mday = 9, t.tm_hour = 14, t.tm_min = 5, t.tm_sec = 7;
  return int64_t(timegm(&t));
}

struct ChildResult {
  int status = 0;
  bool ExitedWith(int code) const { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
  bool EndedBadly() const { return !(WIFEXITED(status) && WEXITSTATUS(status) == 0); }
};

class CrashReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("tovrik-crash-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(root_);
    for (const char* dir : {"app", "tmp", "data", "portal/Common"}) fs::create_directories(root_ / dir);
    // The copy's folder is the program folder: the report lands beside it.
    fs::copy_file(OwnFolder() / "crash_child", App() / "crash_child");
    env_ = {{"TMPDIR", (root_ / "tmp").string()},
            {"TZ", "UTC"},
            {"XDG_DATA_HOME", (root_ / "data").string()},
            {"CRASH_FAKE_TIME", std::to_string(FaultTime())}};
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(root_);
  }

  fs::path App() const { return root_ / "app"; }
  fs::path Portal() const { return root_ / "portal"; }
  fs::path Report() const { return App() / "Exception.RPT"; }
  fs::path ClientDump() const { return root_ / "tmp" / "CorvantaTovrik_0809_140507.dmp"; }

  // A stand-in report program that writes down how it was started.
  void InstallRecordingReportProgram() {
    const fs::path program = Portal() / "Common" / "ExhReport";
    std::ofstream(program) << "#!/bin/sh\n{ printf '%s\\n' \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > "
                           << (root_ / "args.txt") << "\n";
    fs::permissions(program, fs::perms::owner_all);
  }
  void AsClient(const char* version = "7") {
    env_["CRASH_PORTAL"] = Portal().string();
    env_["CRASH_VERSION"] = version;
    env_["CRASH_KIND"] = "1";
  }

  ChildResult Run(const std::string& mode) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "CRASH_", 6) != 0) entries.emplace_back(*e);
    for (const auto& [name, value] : env_) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string program = (App() / "crash_child").string();
    std::string modeArg = mode;
    char* argv[] = {const_cast<char*>(program.c_str()), modeArg.data(), nullptr};
    pid_t pid;
    ChildResult result;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    EXPECT_EQ(waitpid(pid, &result.status, 0), pid);
    return result;
  }

  // The report's lines: every piece ends in CR LF and was written in text
  // mode, so it reaches the file as CR CR LF.
  std::vector<std::string> ReportLines() {
    std::vector<std::string> lines;
    std::string text = ReadText(Report());
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find("\r\r\n", at);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(at, end - at));
      at = end + 3;
    }
    return lines;
  }

  fs::path root_;
  std::map<std::string, std::string> env_;
};

// The report's header and the lines that follow it, as expected for the
// client's null write at five minutes, three and a quarter seconds.
TEST_F(CrashReportTest, NullWriteGivesTheFullReportDumpAndReportProgramCall) {
  AsClient();
  InstallRecordingReportProgram();
  env_["CRASH_FAULT_AFTER_MS"] = "303250";
  const ChildResult result = Run("null-write");
  EXPECT_TRUE(result.ExitedWith(128 + SIGSEGV)) << result.status;

  const std::string exe = (App() / "crash_child").string();
  const std::vector<std::string> lines = ReportLines();
  const std::string hex = "0x[0-9a-f]{8,16}";
  const std::vector<std::string> expected = {
      std::regex_replace(exe, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)"),
      "GameName : CorvantaTovrik ",
      "Version : 7 ",
      "EIP : 0033:" + hex + " ",
      "ExceptionCode : 3221225477 ",
      "Module Create Time : \\w{3} \\w{3} [ \\d]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\r\n ",
      "Exception Handler: 2009.08.10",
      "Running time is \\[0:5:3.250\\] ",
      "KIND: CLIENT MODULE ",
      "Exception code: 0xc0000005\tEXCEPTION_ACCESS_VIOLATION",
      "\\*{10} Registers \\*{10} ",
      "EAX: " + hex, "EBX: " + hex, "ECX: " + hex, "EDX: " + hex, "ESI: " + hex, "EDI: " + hex,
      "DS : [0-9a-f]{4}  ES:[0-9a-f]{4}  FS:[0-9a-f]{4}  GS:[0-9a-f]{4}",
      "",
      "CS:EIP: 0033:" + hex,
      "SS:ESP: [0-9a-f]{4}:" + hex + " ",
      "     EBP: " + hex,
      "",
      "Fault address: " + hex + " 000[1-9]:" + hex + " CrashByNullWrite\\(\\) ",
  };
  ASSERT_EQ(lines.size(), expected.size() + 1) << ReadText(Report());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(expected[i]))) << "line " << i << ": " << lines[i];
  EXPECT_EQ(lines.back(), "Crush Module: " + exe + "\r\n");

  // The report program got the command line of the format, with no blanks
  // between the fields.
  const std::string args = ReadText(root_ / "args.txt");
  const std::string program = (Portal() / "Common" / "ExhReport").string();
  EXPECT_EQ(args, program + "\n*|" + ClientDump().string() + "*|" + Report().string() + "*|" + exe + "\n");

  MinidumpReader dump;
  ASSERT_TRUE(dump.Load(ClientDump()));
  EXPECT_EQ(dump.U32(4) & 0xFFFF, 0xA793u);
  EXPECT_EQ(dump.U64(24), 0u) << "an ordinary fault is a normal dump";
  for (uint32_t type : {kSystemInfo, kException, kThreadList, kModuleList, kMemoryList, kMiscInfo, kUserStream})
    EXPECT_TRUE(dump.Stream(type)) << "stream " << type;
  EXPECT_EQ(dump.StreamCount(), 7u);

  const auto system = *dump.Stream(kSystemInfo);
  EXPECT_EQ(dump.U16(system.rva), 9) << "AMD64";
  EXPECT_EQ(dump.U32(system.rva + 20), 0x8201u) << "Linux";

  const auto exception = *dump.Stream(kException);
  const auto threads = *dump.Stream(kThreadList);
  EXPECT_EQ(dump.U32(threads.rva), 1u);
  const uint32_t thread = threads.rva + 4;
  EXPECT_EQ(dump.U32(exception.rva), dump.U32(thread)) << "the exception names the listed thread";
  EXPECT_EQ(dump.U32(exception.rva + 8), uint32_t(SIGSEGV));
  EXPECT_EQ(dump.U64(exception.rva + 24), 0u) << "the address written to";

  // Registers and stack: the context's stack pointer lies inside the saved
  // stack, and its instruction pointer is the one the report names.
  const uint32_t context = dump.U32(thread + 44);
  EXPECT_EQ(dump.U32(thread + 40), 1232u);
  EXPECT_EQ(dump.U32(exception.rva + 164), context);
  const uint64_t rsp = dump.U64(context + 0x98), rip = dump.U64(context + 0xF8);
  const uint64_t stackStart = dump.U64(thread + 24);
  const uint32_t stackSize = dump.U32(thread + 32);
  EXPECT_LE(stackStart, rsp);
  EXPECT_LT(rsp, stackStart + stackSize);
  EXPECT_GT(stackSize, 256u);
  std::smatch eip;
  ASSERT_TRUE(std::regex_search(lines[3], eip, std::regex("0x([0-9a-f]+)")));
  EXPECT_EQ(rip, std::stoull(eip[1], nullptr, 16));
  const auto memory = *dump.Stream(kMemoryList);
  EXPECT_EQ(dump.U32(memory.rva), 1u);
  EXPECT_EQ(dump.U64(memory.rva + 4), stackStart);

  // The program is among the modules, with the address range holding the
  // fault and its build id.
  const auto modules = *dump.Stream(kModuleList);
  bool found = false;
  for (uint32_t i = 0; i < dump.U32(modules.rva); ++i) {
    const uint32_t m = modules.rva + 4 + i * 108;
    if (dump.String(dump.U32(m + 20)) != exe) continue;
    found = true;
    EXPECT_LE(dump.U64(m), rip);
    EXPECT_LT(rip, dump.U64(m) + dump.U32(m + 8));
    EXPECT_GT(dump.U32(m + 76), 4u) << "code-view record with the build id";
    EXPECT_EQ(dump.U32(dump.U32(m + 80)), 0x4270454Cu);
  }
  EXPECT_TRUE(found);

  EXPECT_EQ(dump.Bytes(*dump.Stream(kUserStream)), std::string("[Version : 7][GameName : CorvantaTovrik][Kind : 1]\0\0\0", 53));
}

TEST_F(CrashReportTest, DivisionByZeroWithoutRegistryIsKindZeroBesideTheProgram) {
  const ChildResult result = Run("divide-by-zero");
  EXPECT_TRUE(result.EndedBadly()) << "the fault goes on to the system";
  EXPECT_FALSE(result.ExitedWith(128 + SIGFPE));
  const std::vector<std::string> lines = ReportLines();
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[2], "Version : 0 ");
  EXPECT_EQ(lines[4], "ExceptionCode : 3221225620 ");
  EXPECT_EQ(lines[8], "KIND: UNKNOWN MODULE ");
  EXPECT_EQ(lines[9], "Exception code: 0xc0000094\tEXCEPTION_INT_DIVIDE_BY_ZERO");
  EXPECT_TRUE(fs::exists(App() / "0809_140507.dmp"));
  EXPECT_FALSE(fs::exists(ClientDump()));
  MinidumpReader dump;
  ASSERT_TRUE(dump.Load(App() / "0809_140507.dmp"));
  EXPECT_EQ(dump.Bytes(*dump.Stream(kUserStream)), std::string("[Version : 0][GameName : CorvantaTovrik][Kind : 0]\0\0\0", 53));
}

TEST_F(CrashReportTest, AbortIsReportedWithTheUnknownCodeLine) {
  AsClient();
  InstallRecordingReportProgram();
  const ChildResult result = Run("abort");
  EXPECT_TRUE(result.ExitedWith(128 + SIGABRT)) << result.status;
  const std::vector<std::string> lines = ReportLines();
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[9], "Exception code: 0x40000015\tUnknown exception raised: 40000015");
  EXPECT_TRUE(fs::exists(ClientDump()));
}

TEST_F(CrashReportTest, StackOverflowIsReportedFromTheAlternateStack) {
  AsClient();
  InstallRecordingReportProgram();
  const ChildResult result = Run("stack-overflow");
  EXPECT_TRUE(result.ExitedWith(128 + SIGSEGV)) << result.status;
  const std::vector<std::string> lines = ReportLines();
  ASSERT_GT(lines.size(), 20u);
  EXPECT_EQ(lines[9], "Exception code: 0xc00000fd\tEXCEPTION_STACK_OVERFLOW");
  EXPECT_TRUE(std::regex_search(lines[23], std::regex("CrashByRecursion\\(\\) $"))) << lines[23];
  MinidumpReader dump;
  ASSERT_TRUE(dump.Load(ClientDump()));
  EXPECT_EQ(dump.U64(24), 8u) << "a stack overflow writes the filtered dump";
  const auto threads = *dump.Stream(kThreadList);
  EXPECT_GT(dump.U32(threads.rva + 4 + 32), 4096u) << "the frames above the overflow are kept";
}

TEST_F(CrashReportTest, CallThroughNullReportsTheNullAddress) {
  AsClient();
  InstallRecordingReportProgram();
  Run("null-call");
  const std::vector<std::string> lines = ReportLines();
  ASSERT_GT(lines.size(), 24u);
  EXPECT_EQ(lines[23], "Exception Address is NULL");
  EXPECT_EQ(lines[24], "There was able to stack under flow. ");
}

TEST_F(CrashReportTest, WithoutTheReportProgramTheDumpIsDeleted) {
  AsClient();
  const ChildResult result = Run("null-write");
  EXPECT_TRUE(result.ExitedWith(128 + SIGSEGV)) << "the process still ends";
  EXPECT_TRUE(fs::exists(Report()));
  EXPECT_FALSE(fs::exists(ClientDump()));
}

TEST_F(CrashReportTest, WithoutAVersionTheClientFallsBackToKindZero) {
  AsClient();
  env_.erase("CRASH_VERSION");
  InstallRecordingReportProgram();
  Run("null-write");
  const std::vector<std::string> lines = ReportLines();
  ASSERT_GT(lines.size(), 8u);
  EXPECT_EQ(lines[8], "KIND: UNKNOWN MODULE ");
  EXPECT_TRUE(fs::exists(App() / "0809_140507.dmp"));
  EXPECT_FALSE(fs::exists(root_ / "args.txt")) << "only the client kind starts the report program";
}

TEST_F(CrashReportTest, AReportThatCannotBeCreatedStillLeavesTheDump) {
  AsClient();
  InstallRecordingReportProgram();
  fs::create_directory(Report());  // in the way of the report file
  Run("null-write");
  EXPECT_TRUE(fs::is_directory(Report()));
  EXPECT_TRUE(fs::exists(ClientDump()));
}

TEST_F(CrashReportTest, ADumpThatCannotBeCreatedStillLeavesTheReport) {
  AsClient();
  InstallRecordingReportProgram();
  env_["TMPDIR"] = (root_ / "no-such-folder").string();
  const ChildResult result = Run("null-write");
  EXPECT_TRUE(result.ExitedWith(128 + SIGSEGV));
  EXPECT_GT(ReportLines().size(), 20u);
  EXPECT_TRUE(fs::exists(root_ / "args.txt"));
}

TEST_F(CrashReportTest, TheRealReportProgramKeepsBothFiles) {
  AsClient();
  fs::copy_file(fs::path(TOVRIK_RUNTIME_DIR) / "Common" / "ExhReport", Portal() / "Common" / "ExhReport");
  Run("null-write");
  const fs::path crash = root_ / "data" / "corvanta" / "crash";
  EXPECT_TRUE(fs::exists(crash / "CorvantaTovrik_0809_140507.dmp"));
  EXPECT_TRUE(fs::exists(crash / "CorvantaTovrik_0809_140507.RPT"));
  EXPECT_FALSE(fs::exists(ClientDump())) << "moved, not copied";
  const std::string log = ReadText(crash / "ExhReport.log");
  EXPECT_NE(log.find("dump=CorvantaTovrik_0809_140507.dmp report=CorvantaTovrik_0809_140507.RPT module="), std::string::npos)
      << log;
}

// A debugger that reads minidumps opens the dump and unwinds the faulting
// thread through the program's frames.
TEST_F(CrashReportTest, LldbOpensTheDumpAndShowsTheFaultingStack) {
  if (std::system("command -v lldb >/dev/null 2>&1") != 0) GTEST_SKIP() << "lldb is not installed";
  AsClient();
  InstallRecordingReportProgram();
  struct Case {
    const char* mode;
    const char* innermost;
    const char* caller;
  };
  for (const Case& c : {Case{"null-write", "CrashByNullWrite", "main"},
                        Case{"stack-overflow", "CrashByRecursion", "frame #7: "}}) {
    fs::remove(ClientDump());
    Run(c.mode);
    const fs::path output = root_ / "lldb.txt";
    const std::string command = "timeout 120 lldb --batch --no-lldbinit -c " + ClientDump().string() + " " +
                                (App() / "crash_child").string() + " -o 'thread backtrace -c 8' > " +
                                output.string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadText(output);
    const std::string text = ReadText(output);
    EXPECT_NE(text.find("stop reason = signal SIGSEGV"), std::string::npos) << c.mode << "\n" << text;
    EXPECT_NE(text.find(std::string("frame #0: ")), std::string::npos) << c.mode << "\n" << text;
    EXPECT_NE(text.find(c.innermost), std::string::npos) << c.mode << "\n" << text;
    EXPECT_NE(text.find(c.caller), std::string::npos) << c.mode << "\n" << text;
  }
}

}  // namespace
