// Checks a control library's registered type library against the class tables of its classes:
// the dual interface's member names (with their letter case), order, dispatch ids, parameter
// types and directions, optional arguments and their defaults, the value member, hidden flags;
// the event interface's names, order and arguments; every enumeration's members and values; the
// library's help string. Every difference is one line of the result.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/control/class_table.h"

namespace nx::test {

// The type of a type description as the interface description writes it ("long", "OLE_COLOR",
// "PB_THEME", "IPictureDisp*", "long*").
std::string typeName(ITypeInfo* context, const TYPEDESC& desc);

// Differences between the type library and one class.
std::vector<std::string> compareClass(ITypeLib* lib, const ClassInfo& cls);

// Differences in the library's help string.
std::vector<std::string> compareHelpString(ITypeLib* lib, std::string_view expected);

// Registers the library at `path` through its own entry point and loads its type library from
// the registration (by LIBID and version, as hosts do). Empty on failure; `error` says why.
struct RegisteredLibrary {
  HMODULE module = nullptr;
  ITypeLib* typeLib = nullptr;
  std::string error;
  void release();
};
RegisteredLibrary registerAndLoad(const wchar_t* path);

}  // namespace nx::test
