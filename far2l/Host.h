// far2l's functions as the bridge keeps them, and FAR 2's function table the plugin is given:
// each of its functions converts the call to far2l's layout and texts and the answer back.
#pragma once

#include <cstdint>

#include "host/Far2lPluginW.h"

namespace wm::bridge {

// What far2l handed over, in one shape for each startup layout it has.
struct THostFunctions {
    int32_t StartupSize = 0;
    far::INT_PTR ModuleNumber = 0;
    uint32_t Version = 0;
    far2l::FARAPIMENU Menu = nullptr;
    far2l::FARAPIMESSAGE Message = nullptr;
    far2l::FARAPIGETMSG GetMsg = nullptr;
    far2l::FARAPICONTROL Control = nullptr;
    far2l::FARAPISAVESCREEN SaveScreen = nullptr;
    far2l::FARAPIRESTORESCREEN RestoreScreen = nullptr;
    far2l::FARAPIADVCONTROL AdvControl = nullptr;
    far2l::FARAPIDIALOGINIT DialogInit = nullptr;
    far2l::FARAPIDIALOGRUN DialogRun = nullptr;
    far2l::FARAPIDIALOGFREE DialogFree = nullptr;
    far2l::FARAPISENDDLGMESSAGE SendDlgMessage = nullptr;
    far2l::FARAPIDEFDLGPROC DefDlgProc = nullptr;
    far2l::FARSTDTRUNCPATHSTR TruncPathStr = nullptr;
};

const THostFunctions& HostFunctions();

// Keeps far2l's functions from its startup info; false, keeping nothing, for a StructSize no
// far2l release is known to hand over.
bool TakeHostFunctions(const void* startupInfo);

// Sets the function slots of the plugin's startup info and standard functions.
void FillPluginFunctions(far::PluginStartupInfo& info, far::FarStandardFunctions& functions);

// The dialog functions of the plugin's table (Dialogs.cpp).
void FillDialogFunctions(far::PluginStartupInfo& info);

}  // namespace wm::bridge
