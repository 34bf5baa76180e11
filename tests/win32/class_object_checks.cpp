#include "class_object_checks.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "handle_census.h"
#include "platform/win32/com/value_variant.h"

namespace nx::test {

using formhost::ComPtr;
using formhost::Dispatch;
using formhost::Form;
using formhost::FormControl;
using formhost::Library;
using formhost::Placement;

namespace {

std::wstring wide(std::string_view s) {
  return std::wstring(s.begin(), s.end());
}

std::wstring describe(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH && V_DISPATCH(&v)) {
    ComPtr<IFont> font;
    if (SUCCEEDED(V_DISPATCH(&v)->QueryInterface(IID_IFont, font.putVoid()))) {
      BSTR name = nullptr;
      CY size = {};
      BOOL bold = FALSE;
      font->get_Name(&name);
      font->get_Size(&size);
      font->get_Bold(&bold);
      std::wstring out = L"font " + std::wstring(name ? name : L"") + L" " +
                         std::to_wstring(size.int64 / 1000) + (bold ? L" bold" : L"");
      SysFreeString(name);
      return out;
    }
    ComPtr<IPicture> picture;
    if (SUCCEEDED(V_DISPATCH(&v)->QueryInterface(IID_IPicture, picture.putVoid()))) {
      SHORT type = 0;
      OLE_HANDLE handle = 0;
      OLE_XSIZE_HIMETRIC w = 0;
      OLE_YSIZE_HIMETRIC h = 0;
      picture->get_Type(&type);
      picture->get_Handle(&handle);
      if (!handle) return L"picture none";
      picture->get_Width(&w);
      picture->get_Height(&h);
      return L"picture type " + std::to_wstring(type) + L" " + std::to_wstring(w) + L"x" +
             std::to_wstring(h);
    }
    return L"object";
  }
  VARIANT text;
  VariantInit(&text);
  std::wstring out = L"?";
  if (V_VT(&v) == VT_EMPTY) return L"(empty)";
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR)))
    out = V_BSTR(&text);
  VariantClear(&text);
  return out;
}

const EnumSpec* enumOf(const ClassInfo& cls, const MemberInfo& m) {
  for (const EnumSpec& e : cls.enums)
    if (e.name == m.type.idl) return &e;
  return nullptr;
}

// A value of the property's type other than `current` and the store default.
VARIANT otherValue(const ClassInfo& cls, const MemberInfo& m, const VARIANT& current) {
  VARIANT out;
  VariantInit(&out);
  if (m.sample) {
    win32::toVariant(*m.sample, out);
    return out;
  }
  VARIANT def;
  VariantInit(&def);
  win32::toVariant(m.storeDefault, def);
  const std::wstring now = describe(current), stored = describe(def);
  VariantClear(&def);
  const auto differs = [&](const VARIANT& v) {
    return describe(v) != now && describe(v) != stored;
  };
  switch (m.type.kind) {
    case ValueKind::Int16: {
      VARIANT n;
      VariantInit(&n);
      VariantChangeType(&n, const_cast<VARIANT*>(&current), 0, VT_I2);
      for (int step : {1, 2, -1}) {
        V_VT(&out) = VT_I2;
        V_I2(&out) = static_cast<SHORT>(V_I2(&n) + step);
        if (differs(out)) return out;
      }
      return out;
    }
    case ValueKind::Picture: {
      // An icon picture that owns its icon (a copy of the system's application icon).
      PICTDESC pd = {};
      pd.cbSizeofstruct = sizeof(PICTDESC);
      pd.picType = PICTYPE_ICON;
      pd.icon.hicon = CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
      V_VT(&out) = VT_DISPATCH;
      if (FAILED(OleCreatePictureIndirect(&pd, IID_IDispatch, TRUE,
                                          reinterpret_cast<void**>(&V_DISPATCH(&out))))) {
        DestroyIcon(pd.icon.hicon);
        VariantInit(&out);
      }
      return out;
    }
    case ValueKind::Int32: {
      std::vector<LONG> candidates;
      if (const EnumSpec* e = enumOf(cls, m)) {
        for (const auto& member : e->members) candidates.push_back(member.second);
      } else if (m.type.idl == "OLE_COLOR") {
        candidates = {0x00123456, 0x00654321};
      } else {
        VARIANT n;
        VariantInit(&n);
        VariantChangeType(&n, const_cast<VARIANT*>(&current), 0, VT_I4);
        candidates = {V_I4(&n) + 1, V_I4(&n) + 2, V_I4(&n) - 1};
      }
      for (LONG c : candidates) {
        out = formhost::longVariant(c);
        if (differs(out)) return out;
      }
      // Only two values: the one that is not the store default.
      for (LONG c : candidates) {
        out = formhost::longVariant(c);
        if (describe(out) != stored) return out;
      }
      return out;
    }
    case ValueKind::Bool:
      return formhost::boolVariant(!(V_VT(&current) == VT_BOOL && V_BOOL(&current)));
    case ValueKind::String:
      return formhost::textVariant((describe(current) + L" sample").c_str());
    case ValueKind::Empty:
      return formhost::textVariant(L"sample");
    case ValueKind::Currency:
      V_VT(&out) = VT_CY;
      V_CY(&out).int64 = 123456789;  // 12345.6789
      return out;
    case ValueKind::Font: {
      FONTDESC fd = {};
      fd.cbSizeofstruct = sizeof(FONTDESC);
      fd.lpstrName = const_cast<LPOLESTR>(L"Courier New");
      fd.cySize.int64 = 140000;
      fd.sWeight = FW_BOLD;
      fd.sCharset = ANSI_CHARSET;
      V_VT(&out) = VT_DISPATCH;
      OleCreateFontIndirect(&fd, IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(&out)));
      return out;
    }
    default:
      VariantCopy(&out, const_cast<VARIANT*>(&current));
      return out;
  }
}

ComPtr<IOleObject> createNew(const Library& lib, const ClassUnderTest& cls) {
  ComPtr<IOleObject> object = lib.create<IOleObject>(cls.clsid, IID_IOleObject);
  if (object) formhost::initNew(object.get());
  return object;
}

// Puts a value other than the default into every persisted property; returns what each reads
// back as, in table order.
std::vector<std::wstring> putOtherValues(const ClassInfo& info, const Dispatch& d) {
  std::vector<std::wstring> values;
  for (const MemberInfo& m : info.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    const std::wstring name = wide(m.name);
    VARIANT current = d.get(name.c_str());
    VARIANT other = otherValue(info, m, current);
    // Objects put by reference (fonts) are set with a put-by-reference, as clients do.
    const HRESULT hr = m.byRef ? d.invoke(d.id(name.c_str()), DISPATCH_PROPERTYPUTREF,
                                          std::span(&other, 1), nullptr)
                               : d.put(name.c_str(), other);
    EXPECT_EQ(hr, S_OK) << m.name;
    VariantClear(&current);
    VariantClear(&other);
  }
  // A later put may have reset an earlier property (a new country code clears the number): those
  // still at their default are put once more.
  for (const MemberInfo& m : info.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted() || m.byRef || m.dynamicDefault)
      continue;
    const std::wstring name = wide(m.name);
    VARIANT now = d.get(name.c_str());
    VARIANT def;
    VariantInit(&def);
    win32::toVariant(m.storeDefault, def);
    if (describe(now) == describe(def)) {
      VARIANT other = otherValue(info, m, now);
      EXPECT_EQ(d.put(name.c_str(), other), S_OK) << m.name;
      VariantClear(&other);
    }
    VariantClear(&now);
    VariantClear(&def);
  }
  for (const MemberInfo& m : info.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    VARIANT now = d.get(wide(m.name).c_str());
    values.push_back(describe(now));
    VARIANT def;
    VariantInit(&def);
    win32::toVariant(m.storeDefault, def);
    if (!m.dynamicDefault) {
      EXPECT_NE(values.back(), describe(def))
          << info.name << "." << m.name << " is still at its default; give it a .sample";
    }
    VariantClear(&def);
    VariantClear(&now);
  }
  return values;
}

std::vector<std::wstring> readPersisted(const ClassInfo& info, const Dispatch& d) {
  std::vector<std::wstring> values;
  for (const MemberInfo& m : info.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    VARIANT now = d.get(wide(m.name).c_str());
    values.push_back(describe(now));
    VariantClear(&now);
  }
  return values;
}

}  // namespace

void expectNewControlMatchesTable(const Library& lib, const ClassUnderTest& cls) {
  ComPtr<IOleObject> object = createNew(lib, cls);
  ASSERT_TRUE(object) << cls.info->name;
  Dispatch d(object.get());
  for (const MemberInfo& m : cls.info->members) {
    if (m.kind != MemberInfo::Kind::Property || !m.newValue) continue;
    VARIANT want;
    VariantInit(&want);
    win32::toVariant(*m.newValue, want);
    VARIANT got = d.get(wide(m.name).c_str());
    EXPECT_EQ(describe(got), describe(want)) << cls.info->name << "." << m.name;
    VariantClear(&want);
    VariantClear(&got);
  }
  object->Close(OLECLOSE_NOSAVE);
}

void expectPersistedPropertiesRoundTrip(const Library& lib, const ClassUnderTest& cls) {
  ComPtr<IOleObject> object = createNew(lib, cls);
  ASSERT_TRUE(object) << cls.info->name;
  Dispatch d(object.get());
  const std::vector<std::wstring> put = putOtherValues(*cls.info, d);

  // Property bag.
  auto* bag = new formhost::MemoryBag;
  ComPtr<IPersistPropertyBag> saveBag;
  ASSERT_EQ(object->QueryInterface(IID_IPersistPropertyBag, saveBag.putVoid()), S_OK);
  ASSERT_EQ(saveBag->Save(bag, TRUE, TRUE), S_OK);
  {
    ComPtr<IPersistPropertyBag> load =
        lib.create<IPersistPropertyBag>(cls.clsid, IID_IPersistPropertyBag);
    ASSERT_TRUE(load);
    ASSERT_EQ(load->Load(bag, nullptr), S_OK);
    EXPECT_EQ(readPersisted(*cls.info, Dispatch(load.get())), put) << cls.info->name << " (bag)";
    ComPtr<IOleObject> o;
    load->QueryInterface(IID_IOleObject, o.putVoid());
    if (o) o->Close(OLECLOSE_NOSAVE);
  }
  bag->Release();

  // Stream.
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  ComPtr<IPersistStreamInit> saveStream;
  ASSERT_EQ(object->QueryInterface(IID_IPersistStreamInit, saveStream.putVoid()), S_OK);
  ASSERT_EQ(saveStream->Save(stream.get(), TRUE), S_OK);
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  {
    ComPtr<IPersistStreamInit> load =
        lib.create<IPersistStreamInit>(cls.clsid, IID_IPersistStreamInit);
    ASSERT_TRUE(load);
    ASSERT_EQ(load->Load(stream.get()), S_OK);
    EXPECT_EQ(readPersisted(*cls.info, Dispatch(load.get())), put) << cls.info->name << " (stream)";
    ComPtr<IOleObject> o;
    load->QueryInterface(IID_IOleObject, o.putVoid());
    if (o) o->Close(OLECLOSE_NOSAVE);
  }
  object->Close(OLECLOSE_NOSAVE);
}

void expectNoLeaksOverCycles(const Library& lib, const ClassUnderTest& cls, int cycles) {
  Form form(L"cycles", 400, 200);
  Census whilePlaced;
  const auto cycle = [&] {
    ComPtr<IOleObject> object = lib.create<IOleObject>(cls.clsid, IID_IOleObject);
    ASSERT_TRUE(object);
    FormControl* placed = nullptr;
    Placement where;
    where.name = L"Cycled";
    where.position = {10, 10, 210, 40};
    ASSERT_EQ(form.add(object.get(), where, &placed), S_OK);
    form.focus(placed);
    Dispatch(object.get()).put(wide(cls.info->defaultProperty).c_str(), 1);
    formhost::pumpMessages();
    whilePlaced = census();
    ASSERT_EQ(form.remove(placed), S_OK);
  };
  for (int i = 0; i < 10; ++i) cycle();  // per-thread shared objects are loaded by now
  const Census before = census();
  // The census sees the control: its window exists while it is on the form.
  EXPECT_GT(whilePlaced.windows, before.windows) << whilePlaced.describe();
  for (int i = 0; i < cycles; ++i) {
    cycle();
    if (::testing::Test::HasFatalFailure()) return;
  }
  formhost::pumpMessages();
  const Census after = census();
  EXPECT_EQ(after, before) << cls.info->name << ": before " << before.describe() << "; after "
                           << after.describe();
}

void expectHostMayDropTheControlInAnEvent(const Library& lib, const ClassUnderTest& cls) {
  const int click = cls.info->eventPosition("Click");
  if (click == 0) GTEST_SKIP() << cls.info->name << " has no Click event";
  Form form(L"drop", 400, 200);
  ComPtr<IOleObject> object = lib.create<IOleObject>(cls.clsid, IID_IOleObject);
  ASSERT_TRUE(object);
  FormControl* placed = nullptr;
  Placement where;
  where.name = L"Dropped";
  where.position = {10, 10, 210, 40};
  ASSERT_EQ(form.add(object.get(), where, &placed), S_OK);
  HWND hwnd = placed->hwnd();
  auto* sink = new formhost::EventSink;
  int clicks = 0;
  sink->onEvent = [&](DISPID id, DISPPARAMS*) {
    if (id != click || !placed) return;
    ++clicks;
    form.remove(placed);  // the host closes and drops the control from inside its event
    placed = nullptr;
    object.reset();
  };
  ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(object->QueryInterface(IID_IProvideClassInfo2, classInfo.putVoid()), S_OK);
  IID events = {};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(formhost::advise(object.get(), events, sink, &cookie), S_OK);
  // The click goes to the window at (5, 5): the control's own, or a part of it (a text box).
  POINT at = {5, 5};
  HWND target = hwnd;
  for (HWND child;
       (child = ChildWindowFromPointEx(target, at, CWP_SKIPINVISIBLE)) && child != target;) {
    MapWindowPoints(target, child, &at, 1);
    target = child;
  }
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  formhost::pumpMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  sink->Release();
}

}  // namespace nx::test
