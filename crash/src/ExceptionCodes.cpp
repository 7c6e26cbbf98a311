#include "crash/ExceptionCodes.h"

namespace tovrik::crash {
namespace {

struct NamedCode {
  uint32_t code;
  const char* name;
};

constexpr NamedCode kNames[] = {
    {0x40010005, "DBG_CONTROL_C"},
    {0x40010008, "DBG_CONTROL_BREAK"},
    {0x80000001, "EXCEPTION_GUARD_PAGE"},
    {0x80000002, "EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0x80000003, "EXCEPTION_BREAKPOINT"},
    {0x80000004, "EXCEPTION_SINGLE_STEP"},
    {0xC0000005, "EXCEPTION_ACCESS_VIOLATION"},
    {0xC0000006, "EXCEPTION_IN_PAGE_ERROR"},
    {0xC0000008, "EXCEPTION_INVALID_HANDLE"},
    {0xC000001D, "EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000025, "EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "EXCEPTION_INVALID_DISPOSITION"},
    {0xC000008C, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008E, "EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, "EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090, "EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091, "EXCEPTION_FLT_OVERFLOW"},
    {0xC0000092, "EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093, "EXCEPTION_FLT_UNDERFLOW"},
    {0xC0000094, "EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095, "EXCEPTION_INT_OVERFLOW"},
    {0xC0000096, "해당 명령어를 실행 할 수 없습니다."},
    {0xC00000FD, "EXCEPTION_STACK_OVERFLOW"},
    {0xC000013A, "CONTROL_C_EXIT"},
    {0xC0000142, "DLL을 초기화 할 수 없습니다."},
    {0xE06D7363, "Microsoft C++에서 오류가 발생하였습니다."},
};

uint32_t FloatingPointCode(int siCode) {
  switch (siCode) {
    case FPE_INTDIV: return kIntDivideByZero;
    case FPE_INTOVF: return 0xC0000095;
    case FPE_FLTDIV: return 0xC000008E;
    case FPE_FLTOVF: return 0xC0000091;
    case FPE_FLTUND: return 0xC0000093;
    case FPE_FLTRES: return 0xC000008F;
    case FPE_FLTSUB: return 0xC000008C;
    default: return 0xC0000090;
  }
}

}  // namespace

const char* ExceptionName(uint32_t code) {
  for (const NamedCode& n : kNames)
    if (n.code == code) return n.name;
  return nullptr;
}

uint32_t ExceptionCodeForSignal(int signo, int siCode, bool stackOverflow) {
  switch (signo) {
    case SIGSEGV: return stackOverflow ? kStackOverflow : kAccessViolation;
    case SIGBUS: return siCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGFPE: return FloatingPointCode(siCode);
    case SIGILL: return (siCode == ILL_PRVOPC || siCode == ILL_PRVREG) ? 0xC0000096 : kIllegalInstruction;
    case SIGTRAP: return siCode == TRAP_TRACE ? 0x80000004 : kBreakpoint;
    case SIGABRT: return kFatalAppExit;
    default: return kAccessViolation;
  }
}

}  // namespace tovrik::crash
