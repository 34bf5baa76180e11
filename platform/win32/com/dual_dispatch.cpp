#include "platform/win32/com/dual_dispatch.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/com/bstr.h"
#include "platform/win32/com/variant.h"

namespace nx::win32 {

namespace {

// Slots the thunk tables cover: IUnknown and IDispatch take 7, the interface the rest.
constexpr std::size_t kMaxSlots = 192;

DualObject* self(void* p) {
  return static_cast<DualObject*>(p);
}

// ---- IUnknown and IDispatch of the dual object ----

HRESULT STDMETHODCALLTYPE queryInterfaceThunk(void* p, REFIID iid, void** out) {
  return self(p)->owner->dualQueryInterface(iid, out);
}
ULONG STDMETHODCALLTYPE addRefThunk(void* p) {
  return self(p)->owner->dualAddRef();
}
ULONG STDMETHODCALLTYPE releaseThunk(void* p) {
  return self(p)->owner->dualRelease();
}

HRESULT STDMETHODCALLTYPE getTypeInfoCountThunk(void*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE getTypeInfoThunk(void* p, UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *out = self(p)->iface->dispatchInfo();
  (*out)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE getIDsOfNamesThunk(void* p, REFIID, LPOLESTR* names, UINT count, LCID,
                                             DISPID* ids) {
  return DispGetIDsOfNames(self(p)->iface->dispatchInfo(), names, count, ids);
}

// Scripting clients know no unsigned 32-bit numbers: OLE colours go out as signed numbers with
// the same bits, and signed numbers (system colours are negative) come in the same way.
// The argument of a put on an unsigned 32-bit property given as a signed number, as the same
// bits; nullopt when the call needs no such change. The caller's arguments stay untouched: the
// result is a shallow copy (it owns nothing).
std::optional<VARIANT> unsignedArgument(const DualInterface& iface, DISPID id, WORD flags,
                                        const DISPPARAMS* params) {
  if (!(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) || !params || params->cArgs != 1)
    return std::nullopt;
  for (const DualSlot& slot : iface.slots()) {
    if (slot.memid != id || slot.kind != INVOKE_PROPERTYPUT || slot.argType != VT_UI4) continue;
    const VARIANT* given = &params->rgvarg[0];
    if (V_VT(given) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(given)) given = V_VARIANTREF(given);
    VARIANT arg = *given;
    if (V_VT(&arg) == (VT_I4 | VT_BYREF)) {
      V_VT(&arg) = VT_UI4 | VT_BYREF;  // the same LONG, read as unsigned
    } else if (V_VT(&arg) == VT_I4) {
      V_VT(&arg) = VT_UI4;
    } else if (V_VT(&arg) == VT_I2) {
      const LONG widened = V_I2(&arg);
      V_VT(&arg) = VT_UI4;
      V_UI4(&arg) = static_cast<ULONG>(widened);
    } else {
      return std::nullopt;
    }
    return arg;
  }
  return std::nullopt;
}

// Script engines pass a variable given to a by-reference parameter as a reference to a VARIANT;
// the system's dispatch wants a reference of the parameter's own type. Each such argument is
// converted into a temporary of the parameter's type, passed by reference, and what the call
// left there goes back into the caller's variable.
class ByRefAdapter {
 public:
  ByRefAdapter(const DualInterface& iface, DISPID id, WORD flags, DISPPARAMS* params) {
    if (!(flags & DISPATCH_METHOD) || !params || params->cNamedArgs != 0) return;
    const DualSlot* slot = nullptr;
    for (const DualSlot& s : iface.slots())
      if (s.memid == id && s.kind == INVOKE_FUNC) slot = &s;
    if (!slot) return;
    const UINT n = params->cArgs;
    for (UINT i = 0; i < n && i < slot->params.size(); ++i) {
      const DualParam& param = slot->params[i];
      VARIANT& given = params->rgvarg[n - 1 - i];
      if (!param.byRef || param.type == VT_VARIANT || V_VT(&given) != (VT_VARIANT | VT_BYREF) ||
          !V_VARIANTREF(&given))
        continue;
      if (args_.empty()) args_.assign(params->rgvarg, params->rgvarg + n);
      Temp t;
      t.target = V_VARIANTREF(&given);
      VariantInit(&t.value);
      if (FAILED(VariantChangeType(&t.value, t.target, 0, param.type))) continue;
      temps_.push_back(t);
    }
    if (temps_.empty()) return;
    // The temporaries are in place now (the vector no longer moves).
    std::size_t k = 0;
    for (UINT i = 0; i < n && k < temps_.size(); ++i) {
      VARIANT& arg = args_[n - 1 - i];
      if (V_VT(&arg) != (VT_VARIANT | VT_BYREF) || V_VARIANTREF(&arg) != temps_[k].target) continue;
      V_VT(&arg) = static_cast<VARTYPE>(V_VT(&temps_[k].value) | VT_BYREF);
      V_BYREF(&arg) = &V_UI1(&temps_[k].value);
      ++k;
    }
    local_ = *params;
    local_.rgvarg = args_.data();
    active_ = true;
  }
  ~ByRefAdapter() {
    for (Temp& t : temps_) VariantClear(&t.value);
  }
  ByRefAdapter(const ByRefAdapter&) = delete;
  ByRefAdapter& operator=(const ByRefAdapter&) = delete;

  DISPPARAMS* params(DISPPARAMS* original) { return active_ ? &local_ : original; }
  // After a successful call: the callers' variables take the values left in the temporaries.
  void writeBack() {
    for (Temp& t : temps_) {
      VariantClear(t.target);
      VariantCopy(t.target, &t.value);
    }
  }

 private:
  struct Temp {
    VARIANT* target;
    VARIANT value;
  };
  std::vector<VARIANT> args_;
  std::vector<Temp> temps_;
  DISPPARAMS local_{};
  bool active_ = false;
};

HRESULT STDMETHODCALLTYPE invokeThunk(void* p, DISPID id, REFIID, LCID, WORD flags,
                                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                      UINT* argErr) {
  DISPPARAMS local;
  std::optional<VARIANT> arg = unsignedArgument(*self(p)->iface, id, flags, params);
  if (arg) {
    local = *params;
    local.rgvarg = &*arg;
    params = &local;
  }
  ByRefAdapter byRef(*self(p)->iface, id, flags, params);
  const HRESULT hr = DispInvoke(p, self(p)->iface->typeInfo(), id, flags, byRef.params(params),
                                result, excep, argErr);
  if (SUCCEEDED(hr)) byRef.writeBack();
  if (SUCCEEDED(hr) && result && V_VT(result) == VT_UI4) V_VT(result) = VT_I4;
  return hr;
}

// ---- interface slots ----

// Fills `out` (pointing to a value of automation type `type`) from `v`. What goes to `out` leaves
// `v`; whatever stays in `v` is cleared by its owner.
void storeResult(VARTYPE type, VARIANT& v, void* out) {
  switch (type) {
    case VT_VARIANT:
      *static_cast<VARIANT*>(out) = v;
      VariantInit(&v);
      return;
    default:
      break;
  }
  // Colours are kept signed (system colours are negative): unsigned results keep the bits.
  if ((type == VT_UI4 || type == VT_UINT) && (V_VT(&v) == VT_I4 || V_VT(&v) == VT_INT))
    V_VT(&v) = type;
  // A value that cannot change type reads as zero below.
  if (V_VT(&v) != type) VariantChangeType(&v, &v, 0, type);
  switch (type) {
    case VT_I2:
      *static_cast<SHORT*>(out) = V_VT(&v) == VT_I2 ? V_I2(&v) : 0;
      break;
    case VT_BOOL:
      *static_cast<VARIANT_BOOL*>(out) = V_VT(&v) == VT_BOOL ? V_BOOL(&v) : VARIANT_FALSE;
      break;
    case VT_I4:
    case VT_INT:
      *static_cast<LONG*>(out) = V_VT(&v) == type ? V_I4(&v) : 0;
      break;
    case VT_UI4:
    case VT_UINT:
      *static_cast<ULONG*>(out) = V_VT(&v) == type ? V_UI4(&v) : 0;
      break;
    case VT_R4:
      *static_cast<float*>(out) = V_VT(&v) == VT_R4 ? V_R4(&v) : 0.0f;
      break;
    case VT_R8:
      *static_cast<double*>(out) = V_VT(&v) == VT_R8 ? V_R8(&v) : 0.0;
      break;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      // The string or interface pointer moves to `out`; a value of another type stays in `v`.
      *static_cast<void**>(out) = nullptr;
      if (V_VT(&v) == type) {
        *static_cast<void**>(out) =
            type == VT_BSTR ? static_cast<void*>(V_BSTR(&v)) : static_cast<void*>(V_UNKNOWN(&v));
        VariantInit(&v);
      }
      return;
    default:
      break;
  }
}

// Clears an out value after a failed call (the caller's memory: nothing in it is owned yet).
void clearResult(VARTYPE type, void* out) {
  switch (type) {
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(out));
      break;
    case VT_I2:
    case VT_BOOL:
      *static_cast<SHORT*>(out) = 0;
      break;
    case VT_R8:
      *static_cast<double*>(out) = 0;
      break;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      *static_cast<void**>(out) = nullptr;
      break;
    default:
      *static_cast<LONG*>(out) = 0;
      break;
  }
}

HRESULT callSlot(void* p, std::size_t index, VARIANT& arg, VARIANT& result) {
  try {
    const DualObject* o = self(p);
    const DualSlot& slot = o->iface->slots()[index];
    const bool hasArg = slot.kind != INVOKE_PROPERTYGET;
    return o->owner->invokeSlot(slot, std::span<VARIANT>(&arg, hasArg ? 1 : 0), result);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Types whose values arrive in one register or stack slot of pointer size.
bool integerClass(VARTYPE type) {
  switch (type) {
    case VT_I2:
    case VT_BOOL:
    case VT_UI1:
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_UINT:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return true;
    default:
      return false;
  }
}

// An integer-class value as it arrives in a register or stack slot, as a VARIANT of `type`
// (a copy the VARIANT owns). False for a type that cannot arrive that way.
bool variantFromRaw(VARTYPE type, std::uintptr_t raw, VARIANT& out) {
  VariantInit(&out);
  V_VT(&out) = type;
  switch (type) {
    case VT_I2:
      V_I2(&out) = static_cast<SHORT>(raw);
      return true;
    case VT_BOOL:
      V_BOOL(&out) = static_cast<VARIANT_BOOL>(raw);
      return true;
    case VT_UI1:
      V_UI1(&out) = static_cast<BYTE>(raw);
      return true;
    case VT_I4:
    case VT_INT:
      V_I4(&out) = static_cast<LONG>(raw);
      return true;
    case VT_UI4:
    case VT_UINT:
      V_UI4(&out) = static_cast<ULONG>(raw);
      return true;
    case VT_BSTR: {
      const BSTR in = reinterpret_cast<BSTR>(raw);
      V_BSTR(&out) = SysAllocStringLen(in, SysStringLen(in));
      return true;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* in = reinterpret_cast<IUnknown*>(raw);
      if (in) in->AddRef();
      V_UNKNOWN(&out) = in;
      return true;
    }
    default:
      V_VT(&out) = VT_EMPTY;
      return false;
  }
}

// A by-reference argument: the value it points to, as a VARIANT (a copy).
bool variantFromPointer(VARTYPE type, const void* ptr, VARIANT& out) {
  VariantInit(&out);
  if (!ptr) return false;
  switch (type) {
    case VT_VARIANT:
      return SUCCEEDED(
          VariantCopyInd(&out, const_cast<VARIANT*>(static_cast<const VARIANT*>(ptr))));
    case VT_R4:
      V_VT(&out) = VT_R4;
      V_R4(&out) = *static_cast<const float*>(ptr);
      return true;
    case VT_R8:
      V_VT(&out) = VT_R8;
      V_R8(&out) = *static_cast<const double*>(ptr);
      return true;
    case VT_I2:
    case VT_BOOL:
      return variantFromRaw(type, static_cast<std::uintptr_t>(*static_cast<const SHORT*>(ptr)),
                            out);
    case VT_UI1:
      return variantFromRaw(type, *static_cast<const BYTE*>(ptr), out);
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_UINT:
      return variantFromRaw(type, *static_cast<const ULONG*>(ptr), out);
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return variantFromRaw(type, reinterpret_cast<std::uintptr_t>(*static_cast<void* const*>(ptr)),
                            out);
    default:
      return false;
  }
}

// Writes a by-reference argument back: frees what the pointer held and stores the new value.
// The pointer is the caller's: the value it held is the caller's to give up here.
void storeByRef(VARTYPE type, VARIANT& v, void* ptr) {
  switch (type) {
    case VT_VARIANT:
      VariantClear(static_cast<VARIANT*>(ptr));
      break;
    case VT_BSTR:
      SysFreeString(*static_cast<BSTR*>(ptr));
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (IUnknown* old = *static_cast<IUnknown**>(ptr)) old->Release();
      break;
    default:
      break;
  }
  storeResult(type, v, ptr);
}

HRESULT runMethod(void* p, std::size_t index, const std::uintptr_t* raw) {
  try {
    const DualObject* o = self(p);
    const DualSlot& slot = o->iface->slots()[index];
    const std::size_t n = slot.params.size();
    VariantArray args(n);
    for (std::size_t i = 0; i < n; ++i) {
      const DualParam& param = slot.params[i];
      const bool ok = param.byRef ? variantFromPointer(
                                        param.type, reinterpret_cast<const void*>(raw[i]), args[i])
                                  : variantFromRaw(param.type, raw[i], args[i]);
      if (!ok) return param.byRef && !raw[i] ? E_POINTER : DISP_E_TYPEMISMATCH;
    }
    void* out = slot.resultType != VT_EMPTY ? reinterpret_cast<void*>(raw[n]) : nullptr;
    if (slot.resultType != VT_EMPTY && !out) return E_POINTER;
    Variant result;
    const HRESULT hr = o->owner->invokeSlot(slot, args.span(), result.ref());
    if (SUCCEEDED(hr)) {
      for (std::size_t i = 0; i < n; ++i)
        if (slot.params[i].byRef)
          storeByRef(slot.params[i].type, args[i], reinterpret_cast<void*>(raw[i]));
      if (out) storeResult(slot.resultType, result.ref(), out);
    } else if (out) {
      clearResult(slot.resultType, out);
    }
    return hr;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <std::size_t>
using RawArg = std::uintptr_t;

// A method slot with K integer-class arguments (the parameters, then the result pointer).
template <std::size_t N, class Seq>
struct MethodThunk;
template <std::size_t N, std::size_t... I>
struct MethodThunk<N, std::index_sequence<I...>> {
  static HRESULT STDMETHODCALLTYPE call(void* p, RawArg<I>... raw) {
    const std::uintptr_t args[] = {raw..., 0};
    return runMethod(p, N, args);
  }
};

template <std::size_t N>
HRESULT STDMETHODCALLTYPE getThunk(void* p, void* out) {
  if (!out) return E_POINTER;
  const VARTYPE type = self(p)->iface->slots()[N].resultType;
  Variant arg, result;
  const HRESULT hr = callSlot(p, N, arg.ref(), result.ref());
  if (SUCCEEDED(hr))
    storeResult(type, result.ref(), out);
  else
    clearResult(type, out);
  return hr;
}

// Integer-class arguments (16- and 32-bit numbers, Booleans, strings, interface pointers)
// arrive in one register or stack slot of pointer size.
template <std::size_t N>
HRESULT STDMETHODCALLTYPE putIntThunk(void* p, std::uintptr_t raw) {
  Variant arg, result;
  if (!variantFromRaw(self(p)->iface->slots()[N].argType, raw, arg.ref())) return E_NOTIMPL;
  return callSlot(p, N, arg.ref(), result.ref());
}

template <std::size_t N, class T, VARTYPE VT>
HRESULT STDMETHODCALLTYPE putRealThunk(void* p, T value) {
  Variant arg, result;
  V_VT(arg.get()) = VT;
  if constexpr (VT == VT_R4)
    V_R4(arg.get()) = value;
  else
    V_R8(arg.get()) = value;
  return callSlot(p, N, arg.ref(), result.ref());
}

template <std::size_t N>
HRESULT STDMETHODCALLTYPE putVariantThunk(void* p, VARIANT value) {
  Variant arg, result;
  // The caller owns `value`; the slot gets a copy.
  VariantCopyInd(arg.get(), &value);
  return callSlot(p, N, arg.ref(), result.ref());
}

template <template <std::size_t> class Maker, std::size_t... I>
std::array<const void*, sizeof...(I)> table(std::index_sequence<I...>) {
  return {Maker<I>::get()...};
}

template <std::size_t N>
struct GetMaker {
  static const void* get() { return reinterpret_cast<const void*>(&getThunk<N>); }
};
template <std::size_t N>
struct PutIntMaker {
  static const void* get() { return reinterpret_cast<const void*>(&putIntThunk<N>); }
};
template <std::size_t N>
struct PutFloatMaker {
  static const void* get() { return reinterpret_cast<const void*>(&putRealThunk<N, float, VT_R4>); }
};
template <std::size_t N>
struct PutDoubleMaker {
  static const void* get() {
    return reinterpret_cast<const void*>(&putRealThunk<N, double, VT_R8>);
  }
};
template <std::size_t N>
struct PutVariantMaker {
  static const void* get() { return reinterpret_cast<const void*>(&putVariantThunk<N>); }
};
template <std::size_t K>
struct MethodMakerOf {
  template <std::size_t N>
  struct Maker {
    static const void* get() {
      return reinterpret_cast<const void*>(&MethodThunk<N, std::make_index_sequence<K>>::call);
    }
  };
};

template <std::size_t... K>
std::array<std::array<const void*, kMaxSlots>, sizeof...(K)> methodTables(
    std::index_sequence<K...>) {
  return {table<MethodMakerOf<K>::template Maker>(std::make_index_sequence<kMaxSlots>())...};
}

// The thunk of a method slot taking `count` raw arguments.
const void* methodThunkFor(std::size_t count, std::size_t index) {
  static const auto tables = methodTables(std::make_index_sequence<kMaxMethodParams + 2>());
  return count < tables.size() ? tables[count][index] : nullptr;
}

// The result types storeResult writes.
bool storableResult(VARTYPE type) {
  switch (type) {
    case VT_I2:
    case VT_BOOL:
    case VT_I4:
    case VT_INT:
    case VT_UI4:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_VARIANT:
      return true;
    default:
      return false;
  }
}

const void* thunkFor(const DualSlot& slot, std::size_t index) {
  if (slot.kind == INVOKE_FUNC) {
    if (slot.params.size() > kMaxMethodParams) return nullptr;
    for (const DualParam& param : slot.params)
      if (param.byRef ? param.type == VT_EMPTY : !integerClass(param.type)) return nullptr;
    if (slot.resultType != VT_EMPTY && !storableResult(slot.resultType)) return nullptr;
    return methodThunkFor(slot.params.size() + (slot.resultType != VT_EMPTY ? 1 : 0), index);
  }
  static const auto gets = table<GetMaker>(std::make_index_sequence<kMaxSlots>());
  static const auto ints = table<PutIntMaker>(std::make_index_sequence<kMaxSlots>());
  static const auto floats = table<PutFloatMaker>(std::make_index_sequence<kMaxSlots>());
  static const auto doubles = table<PutDoubleMaker>(std::make_index_sequence<kMaxSlots>());
  static const auto variants = table<PutVariantMaker>(std::make_index_sequence<kMaxSlots>());
  if (slot.resultType != VT_EMPTY)
    return storableResult(slot.resultType) && slot.argType == VT_EMPTY ? gets[index] : nullptr;
  switch (slot.argType) {
    case VT_R4:
      return floats[index];
    case VT_R8:
      return doubles[index];
    case VT_VARIANT:
      return variants[index];
    default:
      return integerClass(slot.argType) ? ints[index] : nullptr;
  }
}

}  // namespace

VARTYPE automationType(ITypeInfo* info, const TYPEDESC& desc) {
  if (desc.vt == VT_PTR && desc.lptdesc) {
    // A pointer to an interface stands for the interface itself.
    const TYPEDESC& target = *desc.lptdesc;
    if (target.vt == VT_USERDEFINED) {
      const VARTYPE t = automationType(info, target);
      if (t == VT_DISPATCH || t == VT_UNKNOWN) return t;
    }
    return VT_PTR;
  }
  if (desc.vt != VT_USERDEFINED) return desc.vt;
  ComPtr<ITypeInfo> ref;
  if (FAILED(info->GetRefTypeInfo(desc.hreftype, ref.put()))) return VT_EMPTY;
  TYPEATTR* attr = nullptr;
  if (FAILED(ref->GetTypeAttr(&attr))) return VT_EMPTY;
  VARTYPE result = VT_EMPTY;
  switch (attr->typekind) {
    case TKIND_ENUM:
      result = VT_I4;
      break;
    case TKIND_ALIAS:
      result = automationType(ref.get(), attr->tdescAlias);
      break;
    case TKIND_DISPATCH:
      result = VT_DISPATCH;
      break;
    case TKIND_INTERFACE:
      result = VT_UNKNOWN;
      break;
    default:
      break;
  }
  ref->ReleaseTypeAttr(attr);
  return result;
}

HRESULT DualInterface::build(ITypeInfo* interfaceInfo, DualInterface& out) {
  if (!interfaceInfo) return E_POINTER;
  TYPEATTR* attr = nullptr;
  HRESULT hr = interfaceInfo->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  const UINT functions = attr->cFuncs;
  const TYPEKIND kind = attr->typekind;
  interfaceInfo->ReleaseTypeAttr(attr);
  if (kind != TKIND_INTERFACE) return E_INVALIDARG;

  out.typeInfo_ = ComPtr<ITypeInfo>(interfaceInfo);
  out.vtable_ = {reinterpret_cast<const void*>(&queryInterfaceThunk),
                 reinterpret_cast<const void*>(&addRefThunk),
                 reinterpret_cast<const void*>(&releaseThunk),
                 reinterpret_cast<const void*>(&getTypeInfoCountThunk),
                 reinterpret_cast<const void*>(&getTypeInfoThunk),
                 reinterpret_cast<const void*>(&getIDsOfNamesThunk),
                 reinterpret_cast<const void*>(&invokeThunk)};
  out.slots_.assign(out.vtable_.size(), DualSlot{});

  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* f = nullptr;
    hr = interfaceInfo->GetFuncDesc(i, &f);
    if (FAILED(hr)) return hr;
    const std::size_t index = static_cast<std::size_t>(f->oVft) / sizeof(void*);
    DualSlot slot;
    slot.memid = f->memid;
    slot.kind = f->invkind;
    for (SHORT a = 0; a < f->cParams; ++a) {
      const ELEMDESC& e = f->lprgelemdescParam[a];
      if (e.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
        if (e.tdesc.vt == VT_PTR && e.tdesc.lptdesc) {
          slot.resultType = automationType(interfaceInfo, *e.tdesc.lptdesc);
        }
      } else if (slot.kind == INVOKE_FUNC) {
        DualParam param;
        const VARTYPE t = automationType(interfaceInfo, e.tdesc);
        if (t == VT_PTR && e.tdesc.lptdesc) {
          param.byRef = true;
          param.type = automationType(interfaceInfo, *e.tdesc.lptdesc);
        } else {
          param.type = t;
        }
        slot.params.push_back(param);
      } else if (slot.argType == VT_EMPTY) {
        slot.argType = automationType(interfaceInfo, e.tdesc);
      } else {
        slot.argType = VT_ILLEGAL;  // a property with parameters: not supported
      }
    }
    interfaceInfo->ReleaseFuncDesc(f);

    Bstr name;
    if (SUCCEEDED(
            interfaceInfo->GetDocumentation(slot.memid, name.put(), nullptr, nullptr, nullptr)))
      slot.name = name.utf8();
    if (index >= kMaxSlots || index < 7) return E_NOTIMPL;
    const void* thunk = thunkFor(slot, index);
    if (!thunk) return E_NOTIMPL;
    if (out.vtable_.size() <= index) {
      out.vtable_.resize(index + 1, nullptr);
      out.slots_.resize(index + 1);
    }
    out.vtable_[index] = thunk;
    out.slots_[index] = std::move(slot);
  }
  return S_OK;
}

}  // namespace nx::win32
