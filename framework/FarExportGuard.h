// The one exception barrier every export runs its work in: nothing may reach the host.
#pragma once

#include <exception>
#include <new>

#include "framework/FarPlugin.h"
#include "platform/StructuredFaults.h"

namespace wm {

enum class GuardOutcome { Done, Aborted, Failed };

// Exceptions from outside the family are reported under these class names.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception(u"Out of memory") {}
    String ClassName() const override { return u"EOutOfMemory"; }
};

class EExternalException : public Exception {
public:
    using Exception::Exception;
    String ClassName() const override { return u"EExternalException"; }
};

// Runs `body`; EAbort is dropped silently, every other exception reported under `name`.
template <typename Body>
GuardOutcome RunCatchingExceptions(StringView name, Body& body) noexcept {
    try {
        try {
            body();
            return GuardOutcome::Done;
        } catch (const EAbort&) {
            return GuardOutcome::Aborted;
        } catch (const Exception& error) {
            TFarPlugin::ReportException(error, name);
        } catch (const std::bad_alloc&) {
            TFarPlugin::ReportException(EOutOfMemory(), name);
        } catch (const std::exception& error) {
            TFarPlugin::ReportException(EExternalException(FromUtf8(error.what())), name);
        } catch (...) {
            TFarPlugin::ReportException(EExternalException(u"Unknown exception"), name);
        }
    } catch (...) {
        // ReportException does not raise; this keeps even a broken report inside the module.
    }
    return GuardOutcome::Failed;
}

// Reports a fault of the processor (an access violation, ...) caught in the export `name`.
void ReportFault(StringView name, uint32_t code) noexcept;

// Runs `body` as RunCatchingExceptions does, and on Windows also catches the faults that reach
// no C++ handler: the work is abandoned where it faulted (its objects are not destroyed), the
// fault is reported like an exception, and the host goes on.
template <typename Body>
GuardOutcome RunGuarded(StringView name, Body&& body) noexcept {
    struct Call {
        StringView name;
        Body& body;
        GuardOutcome outcome;
    } call{name, body, GuardOutcome::Failed};
    uint32_t code = 0;
    bool faulted = false;
    try {
        faulted = platform::RunCatchingFaults(
            [](void* context) {
                auto& c = *static_cast<Call*>(context);
                c.outcome = RunCatchingExceptions(c.name, c.body);
            },
            &call, code);
    } catch (...) {
        // RunCatchingExceptions lets nothing out.
    }
    if (!faulted) return call.outcome;
    ReportFault(name, code);
    return GuardOutcome::Failed;
}

// A plugin-level export: START and END log lines around the guarded work. `base` is the log
// name ("OpenW" gives "OpenW START"), `report` the function name shown in exception reports.
template <typename Body>
GuardOutcome RunPluginExport(StringView base, StringView report, Body&& body) noexcept {
    const auto log = [&](StringView suffix) noexcept {
        try {
            if (TFarPlugin::IsRegistered()) TFarModule::Log(String(base) + String(suffix));
        } catch (...) {
        }
    };
    log(u" START");
    const GuardOutcome outcome = RunGuarded(report, body);
    log(u" END");
    return outcome;
}

}  // namespace wm
