// Type information of the control classes, loaded from the library's own type library once per
// class and thread and shared by the class's control objects on that thread.
//
// This is not the ThreadShared helper of core/control: that one is keyed by a class type known
// when compiling and loads with a function that cannot fail, while here one object type serves
// every class of a library (the key is the ControlClass record, known only at run time) and
// loading the type library can fail, in which case the object must not count as a user.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/dual_dispatch.h"

namespace nx::win32 {

struct ClassTypes {
  ComPtr<ITypeLib> lib;
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeInfo> events;
  DualInterface dual;
  int users = 0;
};

// One control object's use of its class's types; the last lease on a thread releases them.
class ClassTypesLease {
 public:
  ClassTypesLease() = default;
  ~ClassTypesLease();
  ClassTypesLease(const ClassTypesLease&) = delete;
  ClassTypesLease& operator=(const ClassTypesLease&) = delete;

  // Loads the types of `cls` on first use on this thread; on failure the lease stays empty.
  HRESULT acquire(const ControlClass& cls);
  ClassTypes* get() const { return types_; }
  ClassTypes* operator->() const { return types_; }
  explicit operator bool() const { return types_ != nullptr; }

 private:
  const ControlClass* cls_ = nullptr;
  ClassTypes* types_ = nullptr;
};

}  // namespace nx::win32
