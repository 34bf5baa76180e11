#include "typelib_check.h"

#include <olectl.h>

#include <cmath>
#include <string>

#include "platform/win32/com/bstr.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/value_variant.h"

namespace nx::test {

using win32::ComPtr;

namespace {

std::string nameOf(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return "?";
  std::string out = win32::toUtf8(name);
  SysFreeString(name);
  return out;
}

// Names of a function: the member, then its parameters.
std::vector<std::string> namesOf(ITypeInfo* info, const FUNCDESC& f) {
  std::vector<BSTR> names(static_cast<std::size_t>(f.cParams) + 1, nullptr);
  UINT got = 0;
  info->GetNames(f.memid, names.data(), static_cast<UINT>(names.size()), &got);
  std::vector<std::string> out;
  for (UINT i = 0; i < got; ++i) {
    out.push_back(win32::toUtf8(names[i]));
    SysFreeString(names[i]);
  }
  return out;
}

ComPtr<ITypeInfo> findType(ITypeLib* lib, std::string_view name, TYPEKIND kind) {
  const UINT count = lib->GetTypeInfoCount();
  for (UINT i = 0; i < count; ++i) {
    TYPEKIND k;
    if (FAILED(lib->GetTypeInfoType(i, &k)) || k != kind) continue;
    ComPtr<ITypeInfo> info;
    if (FAILED(lib->GetTypeInfo(i, info.put()))) continue;
    if (nameOf(info.get()) == name) return info;
  }
  return {};
}

struct Attr {
  ITypeInfo* info;
  TYPEATTR* attr = nullptr;
  explicit Attr(ITypeInfo* i) : info(i) { i->GetTypeAttr(&attr); }
  ~Attr() {
    if (attr) info->ReleaseTypeAttr(attr);
  }
  Attr(const Attr&) = delete;
  Attr& operator=(const Attr&) = delete;
};

struct Func {
  ITypeInfo* info;
  FUNCDESC* desc = nullptr;
  Func(ITypeInfo* i, UINT index) : info(i) { i->GetFuncDesc(index, &desc); }
  ~Func() {
    if (desc) info->ReleaseFuncDesc(desc);
  }
  Func(const Func&) = delete;
  Func& operator=(const Func&) = delete;
};

std::string kindName(INVOKEKIND k) {
  switch (k) {
    case INVOKE_PROPERTYGET:
      return "propget";
    case INVOKE_PROPERTYPUT:
      return "propput";
    case INVOKE_PROPERTYPUTREF:
      return "propputref";
    default:
      return "method";
  }
}

// What one function of the interface should be.
struct Expected {
  std::string name;
  MEMBERID id;
  INVOKEKIND kind;
  bool hidden;
  std::vector<ParamSpec> params;  // [in] parameters
  std::string result;             // retval type, "" for none
};

std::vector<Expected> expectedFunctions(const ClassInfo& cls) {
  std::vector<Expected> out;
  for (const MemberInfo& m : cls.members) {
    const std::string name(m.name);
    if (m.kind == MemberInfo::Kind::Method) {
      out.push_back({name, m.dispid, INVOKE_FUNC, m.hidden, m.params,
                     m.type.idl == "void" ? "" : std::string(m.type.idl)});
      continue;
    }
    out.push_back({name, m.dispid, INVOKE_PROPERTYGET, m.hidden, {}, std::string(m.type.idl)});
    if (!m.readOnly)
      out.push_back({name,
                     m.dispid,
                     m.byRef ? INVOKE_PROPERTYPUTREF : INVOKE_PROPERTYPUT,
                     m.hidden,
                     {ParamSpec{"", m.type}},
                     ""});
  }
  return out;
}

std::string describeDefault(const VARIANT& v) {
  VARIANT text;
  VariantInit(&text);
  std::string out = "?";
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), 0, VT_BSTR)))
    out = win32::toUtf8(V_BSTR(&text));
  VariantClear(&text);
  return out;
}

void compareFunction(ITypeInfo* iface, const FUNCDESC& f, const Expected& e, std::string_view where,
                     std::vector<std::string>& diffs) {
  const std::string at = std::string(where) + "." + e.name + " (" + kindName(e.kind) + ")";
  const std::vector<std::string> names = namesOf(iface, f);
  if (names.empty() || names[0] != e.name)
    diffs.push_back(at + ": name is " + (names.empty() ? "?" : names[0]));
  if (f.memid != e.id)
    diffs.push_back(at + ": dispid " + std::to_string(f.memid) + ", table " + std::to_string(e.id));
  if (f.invkind != e.kind) diffs.push_back(at + ": kind is " + kindName(f.invkind));
  const bool hidden = (f.wFuncFlags & FUNCFLAG_FHIDDEN) != 0;
  if (hidden != e.hidden) diffs.push_back(at + (hidden ? ": hidden" : ": not hidden"));

  std::size_t in = 0;
  std::string result;
  for (SHORT a = 0; a < f.cParams; ++a) {
    const ELEMDESC& el = f.lprgelemdescParam[a];
    const USHORT flags = el.paramdesc.wParamFlags;
    if (flags & PARAMFLAG_FRETVAL) {
      result = el.tdesc.vt == VT_PTR ? typeName(iface, *el.tdesc.lptdesc) : "?";
      continue;
    }
    if (in >= e.params.size()) {
      diffs.push_back(at + ": more parameters than the table");
      break;
    }
    const ParamSpec& p = e.params[in++];
    const std::string pat = at + " parameter " + std::to_string(in);
    std::string type = typeName(iface, el.tdesc);
    if (p.byRef) {
      if (el.tdesc.vt != VT_PTR || !(flags & PARAMFLAG_FIN) || !(flags & PARAMFLAG_FOUT))
        diffs.push_back(pat + ": not [in, out] by reference");
      else
        type = typeName(iface, *el.tdesc.lptdesc);
    } else if ((flags & PARAMFLAG_FOUT) != 0) {
      diffs.push_back(pat + ": [out] but passed by value in the table");
    }
    if (type != p.type.idl)
      diffs.push_back(pat + ": type " + type + ", table " + std::string(p.type.idl));
    if (!p.name.empty() && in < names.size() && names[in] != p.name)
      diffs.push_back(pat + ": named " + names[in] + ", table " + std::string(p.name));
    const bool optional = (flags & PARAMFLAG_FOPT) != 0;
    if (optional != p.defaultValue.has_value())
      diffs.push_back(pat + (optional ? ": optional" : ": not optional"));
    if (p.defaultValue) {
      if (!(flags & PARAMFLAG_FHASDEFAULT) || !el.paramdesc.pparamdescex) {
        diffs.push_back(pat + ": no default value");
      } else {
        VARIANT want;
        VariantInit(&want);
        win32::toVariant(*p.defaultValue, want);
        const std::string got = describeDefault(el.paramdesc.pparamdescex->varDefaultValue);
        if (got != describeDefault(want)) diffs.push_back(pat + ": default " + got);
        VariantClear(&want);
      }
    }
  }
  if (in != e.params.size()) diffs.push_back(at + ": fewer parameters than the table");
  if (result != e.result) diffs.push_back(at + ": result " + result + ", table " + e.result);
}

void compareEvents(ITypeLib* lib, const ClassInfo& cls, std::vector<std::string>& diffs) {
  const std::string name = "__" + std::string(cls.name);
  ComPtr<ITypeInfo> events = findType(lib, name, TKIND_DISPATCH);
  if (!events) {
    diffs.push_back(name + ": no such dispinterface");
    return;
  }
  Attr attr(events.get());
  if (!attr.attr) return;
  if (attr.attr->cFuncs != cls.events.size())
    diffs.push_back(name + ": " + std::to_string(attr.attr->cFuncs) + " events, table " +
                    std::to_string(cls.events.size()));
  for (UINT i = 0; i < attr.attr->cFuncs && i < cls.events.size(); ++i) {
    Func f(events.get(), i);
    if (!f.desc) continue;
    const EventSpec& ev = cls.events[i];
    Expected e{
        std::string(ev.name), static_cast<MEMBERID>(i + 1), INVOKE_FUNC, false, ev.params, ""};
    compareFunction(events.get(), *f.desc, e, name, diffs);
  }
}

void compareEnums(ITypeLib* lib, const ClassInfo& cls, std::vector<std::string>& diffs) {
  for (const EnumSpec& decl : cls.enums) {
    ComPtr<ITypeInfo> info = findType(lib, decl.name, TKIND_ENUM);
    const std::string at(decl.name);
    if (!info) {
      diffs.push_back(at + ": no such enumeration");
      continue;
    }
    Attr attr(info.get());
    if (!attr.attr) continue;
    if (attr.attr->cVars != decl.members.size())
      diffs.push_back(at + ": " + std::to_string(attr.attr->cVars) + " members, table " +
                      std::to_string(decl.members.size()));
    for (UINT i = 0; i < attr.attr->cVars && i < decl.members.size(); ++i) {
      VARDESC* var = nullptr;
      if (FAILED(info->GetVarDesc(i, &var))) continue;
      const std::string member = nameOf(info.get(), var->memid);
      LONG value = 0;
      if (var->varkind == VAR_CONST && var->lpvarValue) {
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(VariantChangeType(&v, var->lpvarValue, 0, VT_I4))) value = V_I4(&v);
      }
      info->ReleaseVarDesc(var);
      if (member != decl.members[i].first || value != decl.members[i].second)
        diffs.push_back(at + " member " + std::to_string(i + 1) + ": " + member + " = " +
                        std::to_string(value) + ", table " + std::string(decl.members[i].first) +
                        " = " + std::to_string(decl.members[i].second));
    }
  }
}

}  // namespace

std::string typeName(ITypeInfo* context, const TYPEDESC& desc) {
  switch (desc.vt) {
    case VT_I2:
      return "short";
    case VT_I4:
      return "long";
    case VT_INT:
      return "int";
    case VT_UI4:
      return "unsigned long";
    case VT_BOOL:
      return "VARIANT_BOOL";
    case VT_R4:
      return "float";
    case VT_R8:
      return "double";
    case VT_BSTR:
      return "BSTR";
    case VT_VARIANT:
      return "VARIANT";
    case VT_CY:
      return "CURRENCY";
    case VT_DATE:
      return "DATE";
    case VT_DISPATCH:
      return "IDispatch*";
    case VT_UNKNOWN:
      return "IUnknown*";
    case VT_HRESULT:
      return "HRESULT";
    case VT_VOID:
      return "void";
    case VT_PTR:
      return desc.lptdesc ? typeName(context, *desc.lptdesc) + "*" : "?*";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> ref;
      if (FAILED(context->GetRefTypeInfo(desc.hreftype, ref.put()))) return "?";
      return nameOf(ref.get());
    }
    default:
      return "vt" + std::to_string(desc.vt);
  }
}

std::vector<std::string> compareClass(ITypeLib* lib, const ClassInfo& cls) {
  std::vector<std::string> diffs;
  const std::string dispName = "_" + std::string(cls.name);
  ComPtr<ITypeInfo> disp = findType(lib, dispName, TKIND_DISPATCH);
  if (!disp) {
    diffs.push_back(dispName + ": no such dual interface");
    return diffs;
  }
  {
    Attr attr(disp.get());
    if (!attr.attr || !(attr.attr->wTypeFlags & TYPEFLAG_FDUAL))
      diffs.push_back(dispName + ": not dual");
  }
  // The interface view lists the functions in vtable order.
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> iface;
  if (FAILED(disp->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) ||
      FAILED(disp->GetRefTypeInfo(ref, iface.put()))) {
    diffs.push_back(dispName + ": no interface view");
    return diffs;
  }
  const std::vector<Expected> expected = expectedFunctions(cls);
  Attr attr(iface.get());
  if (!attr.attr) return diffs;
  if (attr.attr->cFuncs != expected.size())
    diffs.push_back(dispName + ": " + std::to_string(attr.attr->cFuncs) + " functions, table " +
                    std::to_string(expected.size()));
  for (UINT i = 0; i < attr.attr->cFuncs && i < expected.size(); ++i) {
    Func f(iface.get(), i);
    if (f.desc) compareFunction(iface.get(), *f.desc, expected[i], dispName, diffs);
  }
  if (!cls.defaultProperty.empty()) {
    const MemberInfo* m = cls.find(cls.defaultProperty);
    if (!m || m->dispid != ClassInfo::kValueDispId)
      diffs.push_back(dispName + ": default member is not " + std::string(cls.defaultProperty));
  }
  compareEvents(lib, cls, diffs);
  compareEnums(lib, cls, diffs);

  // The coclass names both interfaces as its defaults.
  ComPtr<ITypeInfo> coclass = findType(lib, cls.name, TKIND_COCLASS);
  if (!coclass) {
    diffs.push_back(std::string(cls.name) + ": no such coclass");
  } else {
    Attr ca(coclass.get());
    bool defaultIface = false, defaultSource = false;
    for (UINT i = 0; ca.attr && i < ca.attr->cImplTypes; ++i) {
      INT flags = 0;
      HREFTYPE r = 0;
      ComPtr<ITypeInfo> impl;
      if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
          FAILED(coclass->GetRefTypeOfImplType(i, &r)) ||
          FAILED(coclass->GetRefTypeInfo(r, impl.put())))
        continue;
      const std::string n = nameOf(impl.get());
      if ((flags & IMPLTYPEFLAG_FDEFAULT) && (flags & IMPLTYPEFLAG_FSOURCE))
        defaultSource = n == "__" + std::string(cls.name);
      else if (flags & IMPLTYPEFLAG_FDEFAULT)
        defaultIface = n == dispName;
    }
    if (!defaultIface)
      diffs.push_back(std::string(cls.name) + ": default interface is not " + dispName);
    if (!defaultSource)
      diffs.push_back(std::string(cls.name) + ": default source is not __" + std::string(cls.name));
  }
  return diffs;
}

std::vector<std::string> compareHelpString(ITypeLib* lib, std::string_view expected) {
  BSTR doc = nullptr;
  std::vector<std::string> diffs;
  if (FAILED(lib->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr))) {
    diffs.push_back("library: no help string");
    return diffs;
  }
  const std::string got = win32::toUtf8(doc);
  SysFreeString(doc);
  if (got != expected) diffs.push_back("library help string: \"" + got + "\"");
  return diffs;
}

void RegisteredLibrary::release() {
  if (typeLib) typeLib->Release();
  typeLib = nullptr;
  if (module) FreeLibrary(module);
  module = nullptr;
}

RegisteredLibrary registerAndLoad(const wchar_t* path) {
  RegisteredLibrary out;
  out.module = LoadLibraryW(path);
  if (!out.module) {
    out.error = "LoadLibrary failed";
    return out;
  }
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto reg = reinterpret_cast<Entry>(
      reinterpret_cast<void*>(GetProcAddress(out.module, "DllRegisterServer")));
  if (!reg || FAILED(reg())) {
    out.error = "DllRegisterServer failed";
    return out;
  }
  ComPtr<ITypeLib> fromFile;
  if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, fromFile.put()))) {
    out.error = "no type library in the file";
    return out;
  }
  TLIBATTR* attr = nullptr;
  if (FAILED(fromFile->GetLibAttr(&attr))) {
    out.error = "no library attributes";
    return out;
  }
  const GUID libid = attr->guid;
  const WORD major = attr->wMajorVerNum, minor = attr->wMinorVerNum;
  fromFile->ReleaseTLibAttr(attr);
  if (FAILED(LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, &out.typeLib)))
    out.error = "the registered type library does not load";
  return out;
}

}  // namespace nx::test
