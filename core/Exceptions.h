// The exception family: every error the program raises derives from Exception.
#pragma once

#include <exception>
#include <string>

#include "core/String.h"

namespace wm {

class Exception : public std::exception {
public:
    explicit Exception(String message) : message_(std::move(message)), what_(ToUtf8(message_)) {}

    // The class name as shown to the user in exception reports.
    virtual String ClassName() const { return u"Exception"; }
    const String& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    String message_;
    std::string what_;
};

#define WM_DECLARE_EXCEPTION(Name, Base)                        \
    class Name : public Base {                                  \
    public:                                                     \
        using Base::Base;                                       \
        String ClassName() const override { return u## #Name; } \
    }

// The silent cancel: never shown to the user.
class EAbort : public Exception {
public:
    EAbort() : Exception(u"Operation aborted") {}
    using Exception::Exception;
    String ClassName() const override { return u"EAbort"; }
};

WM_DECLARE_EXCEPTION(EConvertError, Exception);
WM_DECLARE_EXCEPTION(EListError, Exception);
WM_DECLARE_EXCEPTION(EFarError, Exception);
WM_DECLARE_EXCEPTION(EFarPluginError, EFarError);
WM_DECLARE_EXCEPTION(EFarDialogError, Exception);

}  // namespace wm
