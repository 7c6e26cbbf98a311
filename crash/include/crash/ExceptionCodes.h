#pragma once
// The exception codes the crash report speaks in, and how the fault signals
// of this platform map onto them.

#include <csignal>
#include <cstdint>

namespace tovrik::crash {

inline constexpr uint32_t kAccessViolation = 0xC0000005;
inline constexpr uint32_t kStackOverflow = 0xC00000FD;
inline constexpr uint32_t kIntDivideByZero = 0xC0000094;
inline constexpr uint32_t kIllegalInstruction = 0xC000001D;
inline constexpr uint32_t kBreakpoint = 0x80000003;
// abort() has no code of its own in the table; it is reported as the fatal
// application exit that the same call raises elsewhere.
inline constexpr uint32_t kFatalAppExit = 0x40000015;

// The name of a listed code, or nullptr.
const char* ExceptionName(uint32_t code);

// The code for a fault signal with its si_code. `stackOverflow` is the
// handler's finding that a SIGSEGV hit the end of the stack.
uint32_t ExceptionCodeForSignal(int signo, int siCode, bool stackOverflow);

// The signals that are reported.
inline constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

}  // namespace tovrik::crash
