// A program that installs the crash handler the way the client does and then
// faults on purpose, as told by its first argument. The environment plays
// the registry and the clocks:
//   CRASH_KIND             module kind passed at start-up (default 1)
//   CRASH_PORTAL           "DefaultPath" of the portal key (no registry when unset)
//   CRASH_VERSION          "Version" of the client's key
//   CRASH_FAULT_AFTER_MS   running time at the fault
//   CRASH_FAKE_TIME        wall clock at the fault, seconds since the epoch

#include "crash/ExHandle.h"
#include "crash/ExceptionHandler.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

using namespace tovrik::crash;

namespace {

uint32_t g_fakeTicks = 0;
uint32_t FakeTicks() { return g_fakeTicks; }
int64_t FakeTime() { return std::atoll(std::getenv("CRASH_FAKE_TIME")); }

std::optional<std::string> EnvironmentRegistry(std::string_view key, std::string_view value) {
  const char* text = nullptr;
  if (key == "SOFTWARE\\Corvanta" && value == "DefaultPath") text = std::getenv("CRASH_PORTAL");
  if (key == "SOFTWARE\\Corvanta\\CorvantaTovrik" && value == "Version") text = std::getenv("CRASH_VERSION");
  if (!text) return std::nullopt;
  return std::string(text);
}

}  // namespace

#define FAULT_FUNCTION extern "C" __attribute__((noinline, no_sanitize("address", "undefined")))

FAULT_FUNCTION void CrashByNullWrite() {
  volatile int* volatile target = nullptr;  // neither the address nor the store can be optimised away
  *target = 42;
}

FAULT_FUNCTION int CrashByDivision(int zero) {
  volatile int dividend = 7, divisor = zero;
  return dividend / divisor;
}

FAULT_FUNCTION void CrashByAbort() { std::abort(); }

FAULT_FUNCTION int CrashByRecursion(int depth) {
  volatile char frame[512];
  frame[depth % 512] = char(depth);
  if (depth == -1) return 0;
  return CrashByRecursion(depth + 1) + frame[0];
}

FAULT_FUNCTION void CrashByNullCall() {
  void (*volatile target)() = nullptr;
  target();
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CExceptionHandler& handler = CExceptionHandler::GT_Inst();
  const bool fakeClock = std::getenv("CRASH_FAULT_AFTER_MS") != nullptr;
  if (fakeClock) handler.SetTickSource(FakeTicks);
  if (std::getenv("CRASH_FAKE_TIME")) handler.SetWallClock(FakeTime);

  const char* kind = std::getenv("CRASH_KIND");
  CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", kind ? std::atoi(kind) : 1,
                             std::getenv("CRASH_PORTAL") ? EnvironmentRegistry : nullptr);
  if (fakeClock) g_fakeTicks = uint32_t(std::atol(std::getenv("CRASH_FAULT_AFTER_MS")));

  const std::string mode = argv[1];
  if (mode == "null-write") CrashByNullWrite();
  if (mode == "divide-by-zero") return CrashByDivision(0);
  if (mode == "abort") CrashByAbort();
  if (mode == "stack-overflow") return CrashByRecursion(0);
  if (mode == "null-call") CrashByNullCall();
  return 3;
}
