#include "platform/StructuredFaults.h"

namespace wm::platform {

bool RunCatchingFaults(void (*run)(void*), void* context, uint32_t& /*code*/) {
    run(context);
    return false;
}

}  // namespace wm::platform
