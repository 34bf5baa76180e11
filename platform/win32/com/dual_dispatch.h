// A dual interface implemented from its type information. The vtable is built at run time:
// every slot after IDispatch's forwards to the owner with the slot's member name, kind and its
// argument as a VARIANT, so that one property table drives both early-bound calls through the
// vtable and late-bound calls through IDispatch (which the system's DispInvoke routes through
// the same vtable).
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <span>
#include <string>
#include <vector>

#include "platform/win32/com/com_ptr.h"

namespace nx::win32 {

// One parameter of a method slot (the [out, retval] one excluded).
struct DualParam {
  VARTYPE type = VT_EMPTY;  // automation type of the value (pointed to, when by reference)
  bool byRef = false;
};

// What one vtable slot does.
struct DualSlot {
  MEMBERID memid = 0;
  INVOKEKIND kind = INVOKE_FUNC;
  std::string name;               // member name, UTF-8
  VARTYPE argType = VT_EMPTY;     // property put: type of the [in] argument
  VARTYPE resultType = VT_EMPTY;  // type pointed to by the [out, retval] argument
  std::vector<DualParam> params;  // methods: parameters in declaration order
};

class DualOwner {
 public:
  virtual ~DualOwner() = default;
  virtual HRESULT dualQueryInterface(REFIID iid, void** out) = 0;
  virtual ULONG dualAddRef() = 0;
  virtual ULONG dualRelease() = 0;
  // Carries out one slot: `args` holds the put's argument or the method's arguments in
  // declaration order (by-reference ones as values: what the owner leaves in them goes back to
  // the caller); `result` receives the value of a get or a method. Failures set the thread's
  // error info.
  virtual HRESULT invokeSlot(const DualSlot& slot, std::span<VARIANT> args, VARIANT& result) = 0;
};

// Methods take up to this many parameters; each must be of integer class (numbers up to 32
// bits, Booleans, strings, objects) or passed by reference.
inline constexpr std::size_t kMaxMethodParams = 8;

// The vtable and slot table of one interface, built once per interface and shared by all
// objects that implement it.
class DualInterface {
 public:
  // `interfaceInfo` is the TKIND_INTERFACE type info of the dual interface.
  static HRESULT build(ITypeInfo* interfaceInfo, DualInterface& out);

  const void* const* vtable() const { return vtable_.data(); }
  const std::vector<DualSlot>& slots() const { return slots_; }
  // The interface view (vtable offsets) that calls go through.
  ITypeInfo* typeInfo() const { return typeInfo_.get(); }
  // The dispatch view handed to clients that ask for type information.
  ITypeInfo* dispatchInfo() const { return dispatchInfo_ ? dispatchInfo_.get() : typeInfo_.get(); }
  void setDispatchInfo(ComPtr<ITypeInfo> info) { dispatchInfo_ = std::move(info); }

 private:
  std::vector<const void*> vtable_;
  std::vector<DualSlot> slots_;  // indexed by vtable slot
  ComPtr<ITypeInfo> typeInfo_;
  ComPtr<ITypeInfo> dispatchInfo_;
};

// The object that a client holds as the dual interface: a vtable pointer, then its owner.
struct DualObject {
  const void* const* vtable;
  DualOwner* owner;
  const DualInterface* iface;
};

// Resolves aliases and enumerations of a type description to the automation type they stand
// for (an enumeration is VT_I4, an interface pointer VT_DISPATCH or VT_UNKNOWN).
VARTYPE automationType(ITypeInfo* info, const TYPEDESC& desc);

}  // namespace nx::win32
