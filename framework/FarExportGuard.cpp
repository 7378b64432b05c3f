#include "framework/FarExportGuard.h"

#include "core/Format.h"

namespace wm {

void ReportFault(StringView name, uint32_t code) noexcept {
    constexpr uint32_t kAccessViolation = 0xC0000005u;
    try {
        const String what =
            code == kAccessViolation ? String(u"Access violation") : String(u"Processor fault");
        TFarPlugin::ReportException(
            EExternalException(Format(u"%s (code %.8X)", {what, static_cast<unsigned>(code)})),
            name);
    } catch (...) {
        // Nothing is left to report with; the export still returns its failure result.
    }
}

}  // namespace wm
