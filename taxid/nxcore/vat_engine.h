// The engine's automation object, nxcore.VatEngine: a dual IVatEngine over the type library
// embedded in the module, with error descriptions through IErrorInfo.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace nx::nxcore {

// Creates a VatEngine and queries it for iid.
HRESULT createVatEngine(REFIID iid, void** out);

// The module's live objects and server locks, for DllCanUnloadNow.
void serverLock(bool on);
bool serverCanUnload();

// The module the server was loaded from.
void setModuleInstance(HINSTANCE instance);
HINSTANCE moduleInstance();

}  // namespace nx::nxcore
