// Every class of the five libraries on one form, seen by an accessibility client through the
// platform's entry points (AccessibleObjectFromWindow, AccessibleChildren, GetRoleText, WinEvent
// hooks): role, name, value, states and default action of each, the default action doing what a
// click does, the VAT number's parts as children (its number box answering for itself), the
// events a value change raises, and one full walk of the form.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/formhost/form_host.h"
#include "screen_input.h"

using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::EventSink;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using namespace nx::test;

namespace {

// Gathers the child windows EnumChildWindows reports.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
  return TRUE;
}

nx::formhost::Library& lib(const char* which) {
  static const HRESULT ole = OleInitialize(nullptr);
  static_cast<void>(ole);
  static nx::formhost::Library widgets(NX_WIDGETS_PATH);
  static nx::formhost::Library press(NX_PRESS_PATH);
  static nx::formhost::Library slider(NX_SLIDER_PATH);
  static nx::formhost::Library currency(NX_CURRENCY_PATH);
  static nx::formhost::Library taxid(NX_TAXID_PATH);
  const std::string w(which);
  if (w == "press") return press;
  if (w == "slider") return slider;
  if (w == "currency") return currency;
  if (w == "taxid") return taxid;
  return widgets;
}

const char* pathOf(const char* which) {
  const std::string w(which);
  if (w == "press") return NX_PRESS_PATH;
  if (w == "slider") return NX_SLIDER_PATH;
  if (w == "currency") return NX_CURRENCY_PATH;
  if (w == "taxid") return NX_TAXID_PATH;
  return NX_WIDGETS_PATH;
}

// The identifier of a class or interface of a library, from its type library (the libraries'
// generated headers cannot all be included in one file: their enumerations share names).
GUID guidOf(const char* which, const wchar_t* name) {
  const std::string path(pathOf(which));
  const std::wstring wide(path.begin(), path.end());
  ITypeLib* tl = nullptr;
  GUID out = GUID_NULL;
  if (FAILED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, &tl))) return out;
  for (UINT i = 0; i < tl->GetTypeInfoCount(); ++i) {
    BSTR n = nullptr;
    if (FAILED(tl->GetDocumentation(static_cast<INT>(i), &n, nullptr, nullptr, nullptr))) continue;
    const bool match = n && std::wstring(n) == name;
    SysFreeString(n);
    if (!match) continue;
    ITypeInfo* ti = nullptr;
    if (SUCCEEDED(tl->GetTypeInfo(i, &ti))) {
      TYPEATTR* attr = nullptr;
      if (SUCCEEDED(ti->GetTypeAttr(&attr))) {
        out = attr->guid;
        ti->ReleaseTypeAttr(attr);
      }
      ti->Release();
    }
  }
  tl->Release();
  return out;
}

VARIANT self() {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}
VARIANT child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring take(BSTR b) {
  std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
  SysFreeString(b);
  return s;
}

// What a client reads of one element.
struct Seen {
  LONG role = 0;
  std::wstring name, value, description, action, shortcut;
  LONG state = 0;
};

Seen read(IAccessible* a, VARIANT id = self()) {
  Seen s;
  VARIANT v;
  VariantInit(&v);
  if (a->get_accRole(id, &v) == S_OK && v.vt == VT_I4) s.role = v.lVal;
  VariantClear(&v);
  if (a->get_accState(id, &v) == S_OK && v.vt == VT_I4) s.state = v.lVal;
  VariantClear(&v);
  BSTR b = nullptr;
  if (a->get_accName(id, &b) == S_OK) s.name = take(b);
  b = nullptr;
  if (a->get_accValue(id, &b) == S_OK) s.value = take(b);
  b = nullptr;
  if (a->get_accDescription(id, &b) == S_OK) s.description = take(b);
  b = nullptr;
  if (a->get_accDefaultAction(id, &b) == S_OK) s.action = take(b);
  b = nullptr;
  if (a->get_accKeyboardShortcut(id, &b) == S_OK) s.shortcut = take(b);
  return s;
}

ComPtr<IAccessible> objectOf(HWND hwnd) {
  ComPtr<IAccessible> a;
  EXPECT_EQ(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), a.putVoid()),
            S_OK);
  return a;
}

std::wstring roleText(LONG role) {
  wchar_t text[64] = {};
  GetRoleTextW(static_cast<DWORD>(role), text, 64);
  return text;
}

// WinEvents of this process, recorded by an out-of-context hook (delivered through the queue).
struct HeardEvent {
  DWORD event;
  HWND hwnd;
  LONG child;
};
std::vector<HeardEvent> heard;
void CALLBACK onWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG childId, DWORD,
                         DWORD) {
  if (object == OBJID_CLIENT) heard.push_back({event, hwnd, childId});
}
int heardCount(DWORD event, HWND hwnd) {
  return static_cast<int>(std::count_if(heard.begin(), heard.end(), [&](const HeardEvent& e) {
    return e.event == event && e.hwnd == hwnd;
  }));
}

class Gallery {
 public:
  Gallery() : form(L"nx accessibility", 620, 360) {
    check = add("widgets", guidOf("widgets", L"NxCheckBox"), L"Agree", {10, 10, 200, 30});
    link = add("widgets", guidOf("widgets", L"NxHyperLink"), L"Terms", {10, 40, 200, 60});
    bar = add("widgets", guidOf("widgets", L"NxProgressBar"), L"Upload", {10, 70, 200, 90},
              L"Upload progress");
    meter = add("widgets", guidOf("widgets", L"NxMeter"), L"Level", {10, 100, 200, 120});
    frame = add("widgets", guidOf("widgets", L"NxGradFrame"), L"Details", {220, 10, 600, 140});
    button = add("press", guidOf("press", L"NxButton"), L"Save", {10, 150, 110, 180});
    tracker = add("slider", guidOf("slider", L"NxTracker"), L"Load", {220, 150, 420, 250});
    amount = add("currency", guidOf("currency", L"NxEuroBox"), L"Total", {10, 200, 200, 220});
    vat = add("taxid", guidOf("taxid", L"NxVATNumber"), L"VatId", {10, 240, 200, 260});
    pumpFor(form, 100);
  }
  FormControl* add(const char* which, REFCLSID clsid, const wchar_t* name, RECT at,
                   const wchar_t* tip = L"") {
    Placement p;
    p.name = name;
    p.position = at;
    p.toolTipText = tip;
    FormControl* site = nullptr;
    EXPECT_EQ(form.add(lib(which), clsid, p, &site), S_OK) << "placing " << which;
    return site;
  }
  Form form;
  FormControl *check = nullptr, *link = nullptr, *bar = nullptr, *meter = nullptr, *frame = nullptr,
              *button = nullptr, *tracker = nullptr, *amount = nullptr, *vat = nullptr;
};

}  // namespace

TEST(Accessibility, EveryClassAnswersWithItsRoleNameValueStatesAndAction) {
  Gallery g;
  ASSERT_TRUE(g.check && g.link && g.bar && g.meter && g.frame && g.button && g.tracker &&
              g.amount && g.vat);
  g.check->dispatch().put(L"Caption", nx::formhost::textVariant(L"I agree & sign"));
  g.check->dispatch().put(L"Value", 1L);
  g.link->dispatch().put(L"Caption", nx::formhost::textVariant(L"Terms of sale"));
  g.link->dispatch().put(L"URL", nx::formhost::textVariant(L"https://example.org/terms"));
  g.bar->dispatch().put(L"Value", 45L);
  g.meter->dispatch().put(L"Value", 30L);
  g.frame->dispatch().put(L"Caption", nx::formhost::textVariant(L"Details"));
  g.button->dispatch().put(L"Caption", nx::formhost::textVariant(L"&Save"));
  g.button->dispatch().put(L"Enabled", false);
  g.tracker->dispatch().put(L"Caption", nx::formhost::textVariant(L"CPU"));
  pumpFor(g.form, 50);

  struct Expect {
    FormControl* c;
    LONG role;
    const wchar_t* name;
    const wchar_t* value;
    const wchar_t* action;
    LONG mustHave;
    LONG mustLack;
  };
  const Expect all[] = {
      {g.check, ROLE_SYSTEM_CHECKBUTTON, L"I agree & sign", L"checked", L"Uncheck",
       STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE},
      {g.link, ROLE_SYSTEM_LINK, L"Terms of sale", L"https://example.org/terms", L"Jump",
       STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE, 0},
      {g.bar, ROLE_SYSTEM_PROGRESSBAR, L"Upload progress", L"45%", L"", STATE_SYSTEM_READONLY,
       STATE_SYSTEM_FOCUSABLE},
      {g.meter, ROLE_SYSTEM_PROGRESSBAR, L"Level", L"30", L"", STATE_SYSTEM_READONLY, 0},
      {g.frame, ROLE_SYSTEM_GROUPING, L"Details", L"", L"", 0, STATE_SYSTEM_FOCUSABLE},
      {g.button, ROLE_SYSTEM_PUSHBUTTON, L"Save", L"", L"", STATE_SYSTEM_UNAVAILABLE,
       STATE_SYSTEM_FOCUSABLE},
      {g.tracker, ROLE_SYSTEM_CHART, L"CPU", nullptr, L"", STATE_SYSTEM_READONLY, 0},
      {g.amount, ROLE_SYSTEM_TEXT, L"Total", nullptr, L"", STATE_SYSTEM_FOCUSABLE, 0},
      {g.vat, ROLE_SYSTEM_TEXT, L"VatId", L"", L"", STATE_SYSTEM_FOCUSABLE, 0},
  };
  for (const Expect& e : all) {
    SCOPED_TRACE(testing::Message()
                 << "control " << std::string(e.c->name().begin(), e.c->name().end()));
    ComPtr<IAccessible> a = objectOf(e.c->hwnd());
    ASSERT_TRUE(a);
    const Seen s = read(a.get());
    EXPECT_EQ(s.role, e.role) << "role text "
                              << std::string(roleText(s.role).begin(), roleText(s.role).end());
    EXPECT_EQ(s.name, e.name);
    if (e.value) {
      EXPECT_EQ(s.value, e.value);
    }
    EXPECT_EQ(s.action, e.action);
    EXPECT_EQ(s.state & e.mustHave, e.mustHave);
    EXPECT_EQ(s.state & e.mustLack, 0);
    // The element sits where the window is.
    LONG x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(a->accLocation(&x, &y, &w, &h, self()), S_OK);
    const RECT r = screenRect(e.c->hwnd());
    EXPECT_LE(std::abs(x - r.left), 2);
    EXPECT_GE(w, r.right - r.left);
    // Its parent is the window's own object, which leads back to the form.
    ComPtr<IDispatch> parent;
    EXPECT_EQ(a->get_accParent(parent.put()), S_OK);
    EXPECT_TRUE(parent);
  }
  // The access key from the button caption's "&" letter; the check box shows its "&".
  EXPECT_EQ(read(objectOf(g.check->hwnd()).get()).shortcut, L"");
  EXPECT_EQ(read(objectOf(g.button->hwnd()).get()).shortcut, L"Alt+S");
}

TEST(Accessibility, DefaultActionsDoWhatAClickDoes) {
  Gallery g;
  ASSERT_TRUE(g.check && g.button && g.link);
  EventSink* checkEvents = new EventSink;
  EventSink* buttonEvents = new EventSink;
  DWORD c1 = 0, c2 = 0;
  ASSERT_EQ(
      nx::formhost::advise(g.check->object(), guidOf("widgets", L"__NxCheckBox"), checkEvents, &c1),
      S_OK);
  ASSERT_EQ(
      nx::formhost::advise(g.button->object(), guidOf("press", L"__NxButton"), buttonEvents, &c2),
      S_OK);
  g.check->dispatch().put(L"Value", 0L);

  ComPtr<IAccessible> check = objectOf(g.check->hwnd());
  EXPECT_EQ(read(check.get()).action, L"Check");
  EXPECT_EQ(check->accDoDefaultAction(self()), S_OK);
  // The action runs from the control's own queue, not inside the client's call.
  EXPECT_EQ(g.check->dispatch().get(L"Value").iVal, 0);
  pumpFor(g.form, 50);
  EXPECT_EQ(g.check->dispatch().get(L"Value").iVal, 1);
  const Seen after = read(check.get());
  EXPECT_TRUE(after.state & STATE_SYSTEM_CHECKED);
  EXPECT_EQ(after.action, L"Uncheck");
  EXPECT_EQ(checkEvents->count(1), 1);  // Click, as a click gives

  ComPtr<IAccessible> button = objectOf(g.button->hwnd());
  EXPECT_EQ(read(button.get()).action, L"Press");
  EXPECT_EQ(button->accDoDefaultAction(self()), S_OK);
  pumpFor(g.form, 50);
  EXPECT_GE(buttonEvents->count(1), 1);  // Click

  // Disabled: no action at all.
  g.button->dispatch().put(L"Enabled", false);
  EXPECT_EQ(read(button.get()).action, L"");
  EXPECT_EQ(button->accDoDefaultAction(self()), DISP_E_MEMBERNOTFOUND);
  // A child identifier that names nothing is refused.
  EXPECT_EQ(check->accDoDefaultAction(child(7)), E_INVALIDARG);
  checkEvents->Release();
  buttonEvents->Release();
}

TEST(Accessibility, VatNumberPartsAreChildrenAndInvalidNumbersSaySo) {
  Gallery g;
  ASSERT_TRUE(g.vat);
  Dispatch d = g.vat->dispatch();
  d.put(L"VatCountry", nx::formhost::textVariant(L"PT"));
  d.put(L"vatNr", nx::formhost::textVariant(L"123456780"));
  ASSERT_TRUE(g.form.focus(g.vat));
  HWND box = GetWindow(g.vat->hwnd(), GW_CHILD);
  ASSERT_TRUE(pumpUntil(g.form, [&] { return GetFocus() == box; }));
  // Leaving validates: the number fails the Portuguese rule.
  ASSERT_TRUE(g.form.focus(g.amount));
  pumpFor(g.form, 50);
  ASSERT_EQ(d.get(L"Valid").boolVal, VARIANT_FALSE);

  ComPtr<IAccessible> a = objectOf(g.vat->hwnd());
  ASSERT_TRUE(a);
  const Seen control = read(a.get());
  EXPECT_EQ(control.value, L"123456780");
  EXPECT_EQ(control.description, L"Invalid number, Portugal");
  LONG count = 0;
  EXPECT_EQ(a->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);  // number box, code, drop-down button (the list is closed)
  const Seen number = read(a.get(), child(1));
  EXPECT_EQ(number.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(number.value, L"123456780");
  const Seen code = read(a.get(), child(2));
  EXPECT_EQ(code.role, ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(code.name, L"Portugal");
  EXPECT_EQ(code.value, L"PT");
  const Seen button = read(a.get(), child(3));
  EXPECT_EQ(button.role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(button.action, L"Open");
  EXPECT_TRUE(button.state & STATE_SYSTEM_COLLAPSED);

  // The number box's own window answers with the same element, whose parent is the control.
  ComPtr<IAccessible> fromBox = objectOf(box);
  ASSERT_TRUE(fromBox);
  const Seen boxSeen = read(fromBox.get());
  EXPECT_EQ(boxSeen.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(boxSeen.value, L"123456780");
  ComPtr<IDispatch> up;
  ASSERT_EQ(fromBox->get_accParent(up.put()), S_OK);
  ComPtr<IAccessible> parent = up.as<IAccessible>(__uuidof(IAccessible));
  ASSERT_TRUE(parent);
  EXPECT_EQ(read(parent.get()).description, L"Invalid number, Portugal");

  // A hit test on the code's place names the code.
  LONG x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(a->accLocation(&x, &y, &w, &h, child(2)), S_OK);
  VARIANT hit;
  VariantInit(&hit);
  EXPECT_EQ(a->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
  EXPECT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(hit.lVal, 2);

  // A valid number clears the invalid description.
  d.put(L"vatNr", nx::formhost::textVariant(L"123456789"));
  d.put(L"TypeCheck", true);
  d.put(L"vatNr", nx::formhost::textVariant(L"123456789"));
  EXPECT_EQ(read(a.get()).description, L"Portugal");
}

TEST(Accessibility, ValueAndStateChangesAreAnnounced) {
  Gallery g;
  ASSERT_TRUE(g.bar && g.check);
  heard.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &onWinEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  g.bar->dispatch().put(L"Value", 10L);
  pumpFor(g.form, 50);
  heard.clear();
  g.bar->dispatch().put(L"Value", 60L);
  g.check->dispatch().put(L"Value", 1L);
  pumpFor(g.form, 100);
  EXPECT_EQ(heardCount(EVENT_OBJECT_VALUECHANGE, g.bar->hwnd()), 1);
  EXPECT_EQ(heardCount(EVENT_OBJECT_STATECHANGE, g.check->hwnd()), 1);
  // Nothing changed: nothing announced.
  heard.clear();
  g.bar->dispatch().put(L"Value", 60L);
  pumpFor(g.form, 50);
  EXPECT_EQ(heardCount(EVENT_OBJECT_VALUECHANGE, g.bar->hwnd()), 0);
  // The focus entering a control is announced for it.
  heard.clear();
  ASSERT_TRUE(g.form.focus(g.check));
  pumpFor(g.form, 100);
  EXPECT_GE(heardCount(EVENT_OBJECT_FOCUS, g.check->hwnd()), 1);
  UnhookWinEvent(hook);
}

TEST(Accessibility, TheWholeFormCanBeWalked) {
  Gallery g;
  // Every control window of the form, then every element below each.
  std::vector<HWND> windows;
  EnumChildWindows(g.form.hwnd(), &collectWindow, reinterpret_cast<LPARAM>(&windows));
  int elements = 0;
  std::vector<LONG> roles;
  for (HWND h : windows) {
    ComPtr<IAccessible> a;
    if (AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   a.putVoid()) != S_OK)
      continue;
    roles.push_back(read(a.get()).role);
    LONG count = 0;
    a->get_accChildCount(&count);
    std::vector<VARIANT> kids(static_cast<std::size_t>(count));
    LONG got = 0;
    if (count > 0) {
      EXPECT_EQ(AccessibleChildren(a.get(), 0, count, kids.data(), &got), S_OK);
    }
    for (LONG i = 0; i < got; ++i) {
      ++elements;
      VariantClear(&kids[static_cast<std::size_t>(i)]);
    }
    ++elements;
  }
  for (LONG role :
       {ROLE_SYSTEM_CHECKBUTTON, ROLE_SYSTEM_LINK, ROLE_SYSTEM_PROGRESSBAR, ROLE_SYSTEM_GROUPING,
        ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_CHART, ROLE_SYSTEM_TEXT})
    EXPECT_NE(std::find(roles.begin(), roles.end(), role), roles.end()) << "role " << role;
  EXPECT_GE(elements, 9 + 3 + 1);
}
