// Faults of the processor that the system reports as structured exceptions (an access
// violation, a division by zero, ...), which C++ handlers do not see.
#pragma once

#include <cstdint>

namespace wm::platform {

// Runs `run(context)`. True, with the system's exception code, when it ended in such a fault:
// the stack is unwound to here and the process goes on. Only the Windows build catches faults;
// elsewhere `run` simply runs.
bool RunCatchingFaults(void (*run)(void*), void* context, uint32_t& code);

}  // namespace wm::platform
