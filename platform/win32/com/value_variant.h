// Conversion between the runtime's values and VARIANTs.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "core/runtime/value.h"

namespace nx::win32 {

// Fills `out` (which the caller clears) from a value. Fonts and pictures become their OLE
// objects' dispatch interfaces.
HRESULT toVariant(const Value& value, VARIANT& out);

// A value from a VARIANT (by-reference variants are followed). Unsigned 32-bit numbers such as
// OLE colours keep their bits. Types a value cannot hold give DISP_E_TYPEMISMATCH.
HRESULT fromVariant(const VARIANT& in, Value& out);

}  // namespace nx::win32
