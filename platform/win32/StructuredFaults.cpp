#include <windows.h>

#include "platform/StructuredFaults.h"

namespace {

thread_local DWORD t_faultCode = 0;

}  // namespace

// The scope's filter, called by the system's C handler with the exception's pointers. Error
// codes (severity 3: access violation, stack overflow, illegal instruction, ...) are taken;
// C++ exceptions and notices pass on.
extern "C" LONG WmFaultFilter(EXCEPTION_POINTERS* pointers, void* /*frame*/) {
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if ((code & 0xC0000000u) != 0xC0000000u) return EXCEPTION_CONTINUE_SEARCH;
    t_faultCode = code;
    return EXCEPTION_EXECUTE_HANDLER;
}

namespace wm::platform {

// A scope table for the system's own __C_specific_handler, as a compiler's __try/__except
// emits it: the code between labels 1 and 2 is guarded by WmFaultFilter, and a fault unwinds
// to label 2. The function holds no C++ objects, so the compiler adds no handler of its own.
__attribute__((noinline)) bool RunCatchingFaults(void (*run)(void*), void* context,
                                                 uint32_t& code) {
    volatile bool faulted = true;
    __asm__ __volatile__(
        "1:\n"
        "\t.seh_handler __C_specific_handler, @except\n"
        "\t.seh_handlerdata\n"
        "\t.long 1\n"
        "\t.rva 1b, 2f, WmFaultFilter, 2f\n"
        "\t.text\n" ::
            : "memory");
    run(context);
    faulted = false;
    __asm__ __volatile__("\tnop\n2:\tnop\n" ::: "memory");
    if (faulted) code = t_faultCode;
    return faulted;
}

}  // namespace wm::platform
