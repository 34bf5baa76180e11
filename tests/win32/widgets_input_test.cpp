// NxCheckBox, NxHyperLink, NxMeter and NxGradFrame on a form of the form host, driven by real
// input through the thread's input queue: clicks, double clicks, the space bar, the pointer
// moving in and out, the focus and auto-size; and the gradient frame holding other controls.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "library_under_test.h"
#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"
#include "screen_input.h"

using nx::formhost::Dispatch;
using nx::formhost::EventSink;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using namespace nx::test;

namespace {

using nx::test::library;

// The ids of the events the sink received, in order.
std::vector<DISPID> ids(const EventSink& sink) {
  std::vector<DISPID> out;
  for (const auto& e : sink.events) out.push_back(e.id);
  return out;
}

// A form with its controls, shown in front and given the input.
class InputForm {
 public:
  InputForm() : form(L"nx input", 520, 340) {
    SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(form.hwnd());
    pumpFor(form, 100);
  }
  ~InputForm() {
    // Releases a captured pointer and any key left down before the next test.
    moveTo({1, 1});
    pumpFor(form, 50);
    for (auto& [control, sink] : sinks_) sink->Release();
  }
  FormControl* add(REFCLSID clsid, const wchar_t* name, RECT where,
                   FormControl* container = nullptr) {
    Placement p;
    p.name = name;
    p.position = where;
    p.container = container;
    FormControl* site = nullptr;
    EXPECT_EQ(form.add(library(), clsid, p, &site), S_OK)
        << "placing " << std::string(name, name + wcslen(name));
    return site;
  }
  // Records the control's events.
  EventSink& listen(FormControl* control, REFIID events) {
    auto* sink = new EventSink;
    DWORD cookie = 0;
    EXPECT_EQ(nx::formhost::advise(control->object(), events, sink, &cookie), S_OK);
    sinks_.push_back({control, sink});
    return *sink;
  }
  void settle(DWORD ms = 60) { pumpFor(form, ms); }

  Form form;

 private:
  std::vector<std::pair<FormControl*, EventSink*>> sinks_;
};

constexpr DISPID kClick = 1, kDblClick = 2;

}  // namespace

TEST(CheckBoxInput, ClickDoubleClickAndSpaceToggleWithChangeBeforeClick) {
  InputForm f;
  FormControl* box = f.add(CLSID_NxCheckBox, L"Check1", {20, 20, 220, 44});
  ASSERT_TRUE(box && box->hwnd());
  Dispatch d = box->dispatch();
  ASSERT_EQ(d.put(L"Style", 2), S_OK);  // tri-state: 0 -> 1 -> -1 -> 0
  ASSERT_EQ(d.put(L"Caption", nx::formhost::textVariant(L"Express delivery")), S_OK);
  EventSink& events = f.listen(box, DIID___NxCheckBox);
  constexpr DISPID kChange = 3;

  clickAt(centreOf(box->hwnd()));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 1; }));
  EXPECT_EQ(d.getLong(L"Value"), 1);
  EXPECT_EQ(ids(events), (std::vector<DISPID>{kChange, kClick}));

  // A double click: the first press toggles and clicks, the second raises DblClick only.
  pumpFor(f.form, GetDoubleClickTime() + 50);  // not paired with the click before
  events.clear();
  clickAt(centreOf(box->hwnd()));
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kDblClick) == 1; }));
  f.settle();
  EXPECT_EQ(ids(events), (std::vector<DISPID>{kChange, kClick, kDblClick}));
  EXPECT_EQ(d.getLong(L"Value"), -1);

  // The space bar does what a click does; other keys do nothing.
  ASSERT_TRUE(f.form.focus(box));
  events.clear();
  press('A');
  press(VK_RETURN);
  f.settle(100);
  EXPECT_TRUE(events.events.empty());
  press(VK_SPACE);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 1; }));
  EXPECT_EQ(ids(events), (std::vector<DISPID>{kChange, kClick}));
  EXPECT_EQ(d.getLong(L"Value"), 0);

  // Two-state: the cycle is 0 <-> 1.
  ASSERT_EQ(d.put(L"Style", 0), S_OK);
  press(VK_SPACE);
  press(VK_SPACE);
  press(VK_SPACE);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 4; }));
  EXPECT_EQ(d.getLong(L"Value"), 1);
}

TEST(CheckBoxInput, FocusRectangleFollowsTheFocus) {
  InputForm f;
  FormControl* box = f.add(CLSID_NxCheckBox, L"Check1", {20, 20, 220, 44});
  FormControl* other = f.add(CLSID_NxCheckBox, L"Check2", {20, 60, 220, 84});
  ASSERT_TRUE(box && other);
  Dispatch d = box->dispatch();
  d.put(L"Caption", nx::formhost::textVariant(L"Gift wrapping"));
  ASSERT_TRUE(f.form.focus(other));
  f.settle(100);
  const Shot unfocused(box->hwnd());

  ASSERT_TRUE(f.form.focus(box));
  f.settle(100);
  EXPECT_GT(box->focusGained, 0);
  const Shot focused(box->hwnd());
  bool allGrey = false;
  const int changed = focused.differences(unfocused, GetSysColor(COLOR_GRAYTEXT), &allGrey);
  EXPECT_GT(changed, 20) << "a rectangle round the caption";
  EXPECT_TRUE(allGrey) << "drawn in the grey text colour, nothing else changes";

  // Leaving takes it away again; with FocusRect off, the focus shows nothing.
  ASSERT_TRUE(f.form.focus(other));
  f.settle(100);
  EXPECT_TRUE(Shot(box->hwnd()) == unfocused);
  d.put(L"FocusRect", 0);
  ASSERT_TRUE(f.form.focus(box));
  f.settle(100);
  EXPECT_TRUE(Shot(box->hwnd()) == unfocused);
}

TEST(CheckBoxInput, HoverInAndOutChangesTheLookAndTheCursor) {
  InputForm f;
  FormControl* box = f.add(CLSID_NxCheckBox, L"Check1", {20, 20, 240, 44});
  ASSERT_TRUE(box);
  Dispatch d = box->dispatch();
  d.put(L"Caption", nx::formhost::textVariant(L"Invoice by e-mail"));
  d.put(L"ForeColor", 0x00000000);
  d.put(L"HoverColor", 0x000000FF);
  d.put(L"HoverUnderline", 0);
  d.put(L"HoverFX", -1);
  EventSink& events = f.listen(box, DIID___NxCheckBox);
  constexpr DISPID kMouseIn = 4, kMouseOut = 5;
  f.settle();
  const Shot idle(box->hwnd());
  EXPECT_EQ(idle.count(RGB(255, 0, 0)), 0);

  moveTo(centreOf(box->hwnd()));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kMouseIn) == 1; }));
  f.settle();
  const Shot hovered(box->hwnd());
  EXPECT_GT(hovered.count(RGB(255, 0, 0)), 10) << "the caption in the hover colour";
  EXPECT_EQ(hovered.count(RGB(0, 0, 0)), 0);
  HCURSOR check = LoadCursorW(library().module(), L"CHECK");
  ASSERT_TRUE(check);
  EXPECT_EQ(GetCursor(), check);
  // Moving within the control begins nothing new.
  moveTo(screenPoint(box->hwnd(), 5, 5));
  f.settle();
  EXPECT_EQ(events.count(kMouseIn), 1);

  moveTo(screenPoint(box->hwnd(), 300, 200));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kMouseOut) == 1; }));
  f.settle();
  EXPECT_TRUE(Shot(box->hwnd()) == idle) << "the saved colour is back";
  EXPECT_EQ(d.getLong(L"ForeColor"), 0);
  EXPECT_EQ(ids(events), (std::vector<DISPID>{kMouseIn, kMouseOut}));
}

TEST(CheckBoxInput, RightAlignedAutoSizeKeepsTheRightEdgeOnTheForm) {
  InputForm f;
  FormControl* box = f.add(CLSID_NxCheckBox, L"Check1", {100, 20, 300, 44});
  ASSERT_TRUE(box);
  Dispatch d = box->dispatch();
  d.put(L"Alignment", 1);
  d.put(L"Caption", nx::formhost::textVariant(L"Short"));
  d.put(L"AutoSize", -1);
  f.settle();
  const RECT small = box->position();
  EXPECT_EQ(small.right, 300);
  EXPECT_LT(small.right - small.left, 200) << "shrunk to its caption";
  EXPECT_EQ(small.bottom - small.top, 24) << "the height never changes";

  d.put(L"Caption", nx::formhost::textVariant(L"A much longer caption than before"));
  f.settle();
  const RECT large = box->position();
  EXPECT_EQ(large.right, 300);
  EXPECT_GT(large.right - large.left, small.right - small.left);
  // Its window is where the form says, and a click at its new left part still toggles it.
  const RECT window = screenRect(box->hwnd());
  EXPECT_EQ(window.right - window.left, large.right - large.left);
  EventSink& events = f.listen(box, DIID___NxCheckBox);
  clickAt(screenPoint(box->hwnd(), 3, 12));
  EXPECT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 1; }));
}

TEST(HyperLinkInput, ClickOpensTheAddressAndHoverSwitchesTheLook) {
  InputForm f;
  FormControl* link = f.add(CLSID_NxHyperLink, L"Link1", {20, 20, 220, 40});
  ASSERT_TRUE(link && link->hwnd());
  Dispatch d = link->dispatch();
  // A command file stands for the address: opening it through the shell leaves a mark.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring script = std::wstring(folder) + L"nx_link_open.cmd";
  const std::wstring mark = std::wstring(folder) + L"nx_link_opened.txt";
  DeleteFileW(mark.c_str());
  {
    FILE* out = _wfopen(script.c_str(), L"wb");
    ASSERT_TRUE(out);
    const std::string text = "@echo opened> \"" + std::string(mark.begin(), mark.end()) + "\"\r\n";
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  d.put(L"URL", nx::formhost::textVariant(script.c_str()));
  d.put(L"Caption", nx::formhost::textVariant(L"Terms of sale"));
  d.put(L"ForeColor", 0x00FF0000);
  d.put(L"MouseOverColor", 0x000000FF);
  EventSink& events = f.listen(link, DIID___NxHyperLink);
  constexpr DISPID kMouseIn = 3, kMouseOut = 4;
  f.settle();
  const Shot idle(link->hwnd());
  EXPECT_GT(idle.count(RGB(0, 0, 255)), 10) << "blue text";

  moveTo(centreOf(link->hwnd()));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kMouseIn) == 1; }));
  f.settle();
  const Shot hovered(link->hwnd());
  EXPECT_GT(hovered.count(RGB(255, 0, 0)), 10) << "the hover colour";
  EXPECT_EQ(hovered.count(RGB(0, 0, 255)), 0);
  EXPECT_EQ(GetCursor(), LoadCursorW(library().module(), L"HAND"));

  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 1; }));
  EXPECT_TRUE(pumpUntil(
      f.form, [&] { return GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000))
      << "the shell ran the address";
  // What the shell started may have shown a window: the form comes to the front again.
  pumpFor(f.form, 300);
  SetWindowPos(f.form.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(f.form.hwnd());
  RedrawWindow(f.form.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  moveTo(screenPoint(link->hwnd(), 300, 200));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kMouseOut) == 1; }));
  f.settle();
  EXPECT_TRUE(Shot(link->hwnd()) == idle);
  f.settle(100);
  EXPECT_EQ(events.count(kMouseOut), 1);

  // An address of blanks opens nothing, yet the click is reported; a double click is too.
  DeleteFileW(mark.c_str());
  d.put(L"URL", nx::formhost::textVariant(L"   "));
  pumpFor(f.form, GetDoubleClickTime() + 50);
  events.clear();
  clickAt(centreOf(link->hwnd()));
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kDblClick) == 1; }));
  EXPECT_EQ(events.count(kClick), 1);
  pumpFor(f.form, 500);
  EXPECT_EQ(GetFileAttributesW(mark.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(script.c_str());
}

TEST(HyperLinkInput, AutoSizeFitsTheWidestWordOnOneLineEach) {
  InputForm f;
  FormControl* link = f.add(CLSID_NxHyperLink, L"Link1", {20, 20, 320, 40});
  ASSERT_TRUE(link);
  Dispatch d = link->dispatch();
  d.put(L"Caption", nx::formhost::textVariant(L"Terms"));
  d.put(L"AutoSize", -1);
  f.settle();
  const RECT one = link->position();
  d.put(L"Caption", nx::formhost::textVariant(L"Terms of sale"));
  f.settle();
  const RECT three = link->position();
  EXPECT_EQ(three.left, 20);
  EXPECT_EQ(three.right - three.left, one.right - one.left) << "\"Terms\" is the widest word";
  EXPECT_NEAR(three.bottom - three.top, 3 * (one.bottom - one.top), 1);
  const RECT window = screenRect(link->hwnd());
  EXPECT_EQ(window.bottom - window.top, three.bottom - three.top);
}

TEST(MeterInput, ClickAndDoubleClick) {
  InputForm f;
  FormControl* meter = f.add(CLSID_NxMeter, L"Meter1", {20, 20, 220, 40});
  ASSERT_TRUE(meter);
  EventSink& events = f.listen(meter, DIID___NxMeter);
  const long before = meter->dispatch().getLong(L"Value");
  clickAt(centreOf(meter->hwnd()));
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kDblClick) == 1; }));
  EXPECT_EQ(ids(events), (std::vector<DISPID>{kClick, kDblClick}));
  EXPECT_EQ(meter->dispatch().getLong(L"Value"), before) << "input does not move a meter";
}

TEST(GradFrameInput, MouseEventsCarryButtonShiftAndTwipsByReference) {
  InputForm f;
  FormControl* frame = f.add(CLSID_NxGradFrame, L"Frame1", {20, 20, 270, 170});
  ASSERT_TRUE(frame);
  EventSink& events = f.listen(frame, DIID___NxGradFrame);
  constexpr DISPID kMouseMove = 3, kMouseUp = 4, kMouseDown = 5, kResize = 6;
  // Every mouse argument arrives by reference, as the form delivered it.
  bool allByRef = true;
  events.onEvent = [&](DISPID id, DISPPARAMS* params) {
    if (id < kMouseMove || id > kMouseDown) return;
    for (UINT i = 0; i < params->cArgs; ++i)
      allByRef = allByRef && (V_VT(&params->rgvarg[i]) & VT_BYREF) != 0;
  };
  key(VK_CONTROL);
  clickAt(screenPoint(frame->hwnd(), 20, 30));
  key(VK_CONTROL, true);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return events.count(kClick) == 1; }));
  std::vector<DISPID> presses;
  for (DISPID id : ids(events))
    if (id != kMouseMove) presses.push_back(id);
  EXPECT_EQ(presses, (std::vector<DISPID>{kMouseDown, kMouseUp, kClick}));
  EXPECT_TRUE(allByRef);
  for (const auto& e : events.events) {
    if (e.id != kMouseDown) continue;
    ASSERT_EQ(e.args.size(), 4u);
    EXPECT_EQ(V_VT(&e.args[0]), VT_I2);
    EXPECT_EQ(V_I2(&e.args[0]), 1);  // left button
    EXPECT_EQ(V_I2(&e.args[1]), 2);  // Ctrl
    EXPECT_EQ(V_VT(&e.args[2]), VT_R4);
    EXPECT_FLOAT_EQ(V_R4(&e.args[2]), 20 * 15.0f);  // twips
    EXPECT_FLOAT_EQ(V_R4(&e.args[3]), 30 * 15.0f);
  }
  EXPECT_GE(events.count(kMouseMove), 1);

  // The form resizes it: Resize once the new size is drawn.
  events.clear();
  ASSERT_EQ(frame->move({20, 20, 300, 200}), S_OK);
  f.settle();
  EXPECT_GE(events.count(kResize), 1);
}

TEST(GradFrameInput, HoldsControlsDrawnOverItAndMovingWithIt) {
  InputForm f;
  FormControl* frame = f.add(CLSID_NxGradFrame, L"Frame1", {20, 20, 280, 180});
  ASSERT_TRUE(frame);
  frame->dispatch().put(L"ColorA", 0x00806040);
  frame->dispatch().put(L"ColorB", 0x00806040);
  FormControl* box = f.add(CLSID_NxCheckBox, L"Check1", {20, 40, 200, 64}, frame);
  ASSERT_TRUE(box && box->hwnd());
  EXPECT_EQ(GetParent(box->hwnd()), frame->hwnd());
  EXPECT_EQ(box->container(), frame);
  EXPECT_EQ(box->position().left, 20) << "positions are in the frame's client area";
  Dispatch boxD = box->dispatch();
  boxD.put(L"BackColor", 0x00F0E0D0);
  boxD.put(L"Caption", nx::formhost::textVariant(L""));

  // The frame repaints: the check box stays drawn over it.
  frame->dispatch().put(L"Caption", nx::formhost::textVariant(L"Order"));
  RedrawWindow(frame->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  f.settle();
  const Shot frameShot(frame->hwnd());
  EXPECT_EQ(frameShot.at(20 + 100, 40 + 12), RGB(0xD0, 0xE0, 0xF0)) << "the box's back colour";
  EXPECT_EQ(frameShot.at(10, 100), RGB(0x40, 0x60, 0x80)) << "the frame's own colour";

  // The extender's Container is the frame's extender; the frame's is the form.
  Dispatch extender(box->extender());
  VARIANT container = extender.get(L"Container");
  ASSERT_EQ(V_VT(&container), VT_DISPATCH);
  EXPECT_EQ(Dispatch(V_DISPATCH(&container)).getText(L"Name"), L"Frame1");
  VariantClear(&container);

  // Clicks reach the held control, not the frame.
  EventSink& frameEvents = f.listen(frame, DIID___NxGradFrame);
  EventSink& boxEvents = f.listen(box, DIID___NxCheckBox);
  clickAt(centreOf(box->hwnd()));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return boxEvents.count(kClick) == 1; }));
  EXPECT_EQ(frameEvents.count(kClick), 0);
  EXPECT_EQ(boxD.getLong(L"Value"), 1);

  // Moving the frame moves what it holds.
  const RECT before = screenRect(box->hwnd());
  ASSERT_EQ(frame->move({60, 50, 320, 210}), S_OK);
  f.settle();
  const RECT after = screenRect(box->hwnd());
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 30);
  EXPECT_EQ(box->position().left, 20);

  // A control that holds nothing cannot hold; removing the frame removes what it holds.
  Placement p;
  p.name = L"Inner";
  p.container = box;
  FormControl* refused = nullptr;
  EXPECT_EQ(f.form.add(library(), CLSID_NxCheckBox, p, &refused), E_INVALIDARG);
  EXPECT_EQ(refused, nullptr);
  const std::size_t count = f.form.count();
  HWND boxWindow = box->hwnd();
  ASSERT_EQ(f.form.remove(frame), S_OK);
  EXPECT_EQ(f.form.count(), count - 2);
  EXPECT_FALSE(IsWindow(boxWindow));
  EXPECT_EQ(f.form.find(L"Check1"), nullptr);
}
