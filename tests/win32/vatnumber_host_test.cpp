// NxVATNumber on a form of the form host under real input: the key filter on the real text box,
// Enter completing and validating, Tab validating, the country list opened by its button and by
// F4 under (or above) the control, chosen with the arrow keys, closed by Escape and by a click
// outside through the mouse hook; and the control's and the open list's pixels against the
// simulation.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <ocidl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "display_scale.h"
#include "engine/nif_validator.h"
#include "library_under_test.h"
#include "nxtaxid_h.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_surface.h"
#include "platform/win32/formhost/form_host.h"
#include "platform/win32/runtime/win32_services.h"
#include "screen_input.h"
#include "taxid/vatbox/vatnumber.h"

using nx::formhost::Dispatch;
using nx::formhost::EventSink;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using namespace nx::test;

namespace {

using nx::test::library;

constexpr DISPID kChange = 1;
constexpr DISPID kValidNumber = 2;

// Types letters, digits and "?" (Shift+/ on a US keyboard) and other keys of the text; upper
// case letters with Shift.
void type(Form& form, const char* text) {
  for (const char* c = text; *c; ++c) {
    WORD vk = static_cast<WORD>(*c);
    bool shift = false;
    if (*c >= 'a' && *c <= 'z') vk = static_cast<WORD>(*c - 'a' + 'A');
    if (*c >= 'A' && *c <= 'Z') shift = true;
    if (*c == '?') vk = VK_OEM_2, shift = true;
    if (*c == '!') vk = '1', shift = true;
    if (*c == '-') vk = VK_OEM_MINUS;
    if (shift) key(VK_SHIFT);
    key(vk);
    key(vk, true);
    if (shift) key(VK_SHIFT, true);
    pumpUntil(form, nullptr, 30);
  }
}

// The number box: the control's one child window.
HWND numberWindow(FormControl* c) {
  return GetWindow(c->hwnd(), GW_CHILD);
}

// Steps run one after the other by a thread timer while the list's modal loop runs.
struct ModalSteps {
  std::vector<std::function<void()>> steps;
  std::size_t next = 0;
  UINT_PTR timer = 0;
};
ModalSteps* running = nullptr;

void CALLBACK stepTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!running || running->next >= running->steps.size()) {
    KillTimer(nullptr, id);
    return;
  }
  const std::function<void()> step = running->steps[running->next++];
  step();
}

// Starts the steps, gives the input that opens the list, and runs the form until every step ran
// and the list is closed again.
void runWithList(Form& form, const std::function<void()>& open,
                 std::vector<std::function<void()>> steps) {
  ModalSteps s{std::move(steps), 0, 0};
  running = &s;
  s.timer = SetTimer(nullptr, 0, 150, &stepTimer);
  open();
  const bool done = pumpUntil(
      form, [&] { return s.next >= s.steps.size(); }, 8000);
  pumpUntil(form, nullptr, 200);
  KillTimer(nullptr, s.timer);
  running = nullptr;
  EXPECT_TRUE(done) << "only " << s.next << " of " << s.steps.size() << " steps ran";
}

// The open list: the thread's active window while it is shown.
HWND openList() {
  HWND w = GetActiveWindow();
  return w && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && IsWindowVisible(w) ? w
                                                                                        : nullptr;
}

// A pixel place at 96 DPI, scaled to the display's.
LONG px(int v) {
  return static_cast<LONG>(std::lround(v * 15.0 / nx::test::tpp()));
}

POINT buttonPoint(FormControl* c) {
  return screenPoint(c->hwnd(), px(23), px(10));  // on the drop-down button in the code box
}

class VatForm {
 public:
  explicit VatForm(int top = 40) : form(L"nx VAT numbers", 420, 260) {
    SetWindowPos(form.hwnd(), HWND_TOP, 40, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(form.hwnd());
    pumpUntil(form, nullptr, 100);
  }
  ~VatForm() {
    for (EventSink* s : sinks_) s->Release();
  }
  VatForm(const VatForm&) = delete;
  VatForm& operator=(const VatForm&) = delete;
  FormControl* add(const wchar_t* name, int top) {
    Placement p;
    p.name = name;
    p.position = {20, top, 240, top + 20};
    FormControl* site = nullptr;
    EXPECT_EQ(form.add(library(), CLSID_NxVATNumber, p, &site), S_OK);
    return site;
  }
  EventSink& listen(FormControl* c) {
    auto* sink = new EventSink;
    DWORD cookie = 0;
    EXPECT_EQ(nx::formhost::advise(c->object(), DIID___NxVATNumber, sink, &cookie), S_OK);
    sinks_.push_back(sink);
    return *sink;
  }
  Form form;

 private:
  std::vector<EventSink*> sinks_;
};

}  // namespace

TEST(VatNumberHost, TypingIsFilteredEnterCompletesAndTabValidates) {
  VatForm f;
  FormControl* a = f.add(L"Customer", 20);
  FormControl* b = f.add(L"Supplier", 60);
  ASSERT_TRUE(a && b);
  EventSink& events = f.listen(a);
  Dispatch d = a->dispatch();
  ASSERT_TRUE(f.form.focus(a));
  ASSERT_TRUE(pumpUntil(f.form, [&] { return GetFocus() == numberWindow(a); }));

  // Refused characters never reach the box; letters keep their case.
  type(f.form, "u1-35!85627");
  EXPECT_EQ(d.getText(L"vatNr"), L"u13585627");
  EXPECT_GE(events.count(kChange), 9);
  // Enter validates (no check while typing): the rule wants an upper-case U.
  press(VK_RETURN);
  pumpUntil(f.form, nullptr, 50);
  EXPECT_EQ(d.get(L"Valid").boolVal, VARIANT_FALSE);

  // A "?" completes on Enter; a second "?" is refused.
  d.put(L"vatNr", nx::formhost::textVariant(L"U1358562"));
  SendMessageW(numberWindow(a), EM_SETSEL, 8, 8);
  type(f.form, "??");
  EXPECT_EQ(d.getText(L"vatNr"), L"U1358562?");
  press(VK_RETURN);
  pumpUntil(f.form, nullptr, 50);
  EXPECT_EQ(d.getText(L"vatNr"), L"U13585627");
  // Enter again, without "?": a validation, and the number is valid.
  const int validBefore = events.count(kValidNumber);
  press(VK_RETURN);
  pumpUntil(f.form, nullptr, 50);
  EXPECT_EQ(d.get(L"Valid").boolVal, VARIANT_TRUE);
  EXPECT_EQ(events.count(kValidNumber), validBefore + 1);

  // Tab leaves the box and validates it.
  press(VK_BACK);
  type(f.form, "6");
  press(VK_TAB);
  ASSERT_TRUE(pumpUntil(f.form, [&] { return f.form.focused() == b; }));
  EXPECT_EQ(d.getText(L"vatNr"), L"U13585626");
  EXPECT_EQ(d.get(L"Valid").boolVal, VARIANT_FALSE);
}

TEST(VatNumberHost, TheListOpensUnderTheControlAndArrowKeysChoose) {
  VatForm f;
  FormControl* a = f.add(L"Customer", 20);
  FormControl* b = f.add(L"Supplier", 140);
  ASSERT_TRUE(a && b);
  EventSink& events = f.listen(a);
  Dispatch d = a->dispatch();
  d.put(L"vatNr", nx::formhost::textVariant(L"123"));
  const int changesBefore = events.count(kChange);
  const RECT control = screenRect(a->hwnd());

  RECT list = {};
  runWithList(f.form, [&] { clickAt(buttonPoint(a)); },
              {[&] {
                 HWND w = openList();
                 ASSERT_TRUE(w) << "the list is shown and active";
                 GetWindowRect(w, &list);
                 press(VK_DOWN);
                 press(VK_DOWN);
               },
               [&] { press(VK_RETURN); }});
  EXPECT_EQ(list.left, control.left);
  EXPECT_EQ(list.top, control.top + 19) << "285 twips below the control's top";
  EXPECT_EQ(list.right - list.left, 70);
  EXPECT_EQ(list.bottom - list.top, 153);
  EXPECT_EQ(openList(), nullptr);
  EXPECT_EQ(d.getText(L"VatCountry"), L"BG") << "AT, then two rows down";
  EXPECT_EQ(d.getText(L"vatNr"), L"");
  EXPECT_EQ(events.count(kChange), changesBefore + 2) << "the clearing, then the choice";
  EXPECT_TRUE(pumpUntil(f.form, [&] { return GetFocus() == numberWindow(a); }))
      << "the focus is in the number box after a choice";

  // F4 in the box opens it too; Escape closes it without a choice.
  runWithList(f.form, [&] { press(VK_F4); }, {[&] {
                ASSERT_TRUE(openList());
                press(VK_DOWN);
                press(VK_ESCAPE);
              }});
  EXPECT_EQ(openList(), nullptr);
  EXPECT_EQ(d.getText(L"VatCountry"), L"BG");

  // A click on another control closes the list through the mouse hook; the click still
  // reaches that control, which takes the focus.
  runWithList(f.form, [&] { clickAt(buttonPoint(a)); },
              {[&] {
                 ASSERT_TRUE(openList());
                 press(VK_DOWN);
               },
               [&] { clickAt(centreOf(numberWindow(b))); }});
  EXPECT_EQ(openList(), nullptr);
  EXPECT_EQ(d.getText(L"VatCountry"), L"BG");
  EXPECT_TRUE(pumpUntil(f.form, [&] { return GetFocus() == numberWindow(b); }))
      << "the click was not swallowed";

  // A click on the form's caption closes it too.
  runWithList(f.form, [&] { clickAt(buttonPoint(a)); },
              {[&] {
                 ASSERT_TRUE(openList());
                 press(VK_DOWN);
               },
               [&] {
                 RECT frame;
                 GetWindowRect(f.form.hwnd(), &frame);
                 clickAt(POINT{frame.left + 200, frame.top + 8});
               }});
  EXPECT_EQ(openList(), nullptr);
  EXPECT_EQ(d.getText(L"VatCountry"), L"BG");

  // With the list closed, clicks go where they go and the control stays as it is.
  clickAt(centreOf(numberWindow(a)));
  pumpUntil(f.form, nullptr, 100);
  EXPECT_EQ(GetFocus(), numberWindow(a));
  EXPECT_EQ(d.getText(L"VatCountry"), L"BG");
}

TEST(VatNumberHost, TheRowUnderThePointerIsHighlightedAndNamedInTheControlsLanguage) {
  VatForm f;
  FormControl* a = f.add(L"Customer", 20);
  ASSERT_TRUE(a);
  Dispatch d = a->dispatch();
  d.put(L"Language", 1);  // Portuguese names
  std::wstring tipOnOpen, tipOnRow, tipOnEdge;
  int highlighted = -1;
  runWithList(f.form, [&] { clickAt(buttonPoint(a)); },
              {[&] {
                 HWND list = openList();
                 ASSERT_TRUE(list);
                 const std::vector<std::wstring> tips = tipTexts(list);
                 ASSERT_EQ(tips.size(), 1u);
                 tipOnOpen = tips[0];
                 moveTo(screenPoint(list, 10, 8 * 17 + 8));  // the ninth row: EL
               },
               [&] {
                 HWND list = openList();
                 ASSERT_TRUE(list);
                 tipOnRow = tipTexts(list).at(0);
                 // The highlight's colour fills the row's width right of the code.
                 const Shot shot(list);
                 highlighted = shot.firstRow(48, 0x00FFE8CC);
                 // The last pixel of the row above: rows are a whole number of pixels apart.
                 moveTo(screenPoint(list, 10, 8 * 17));
               },
               [&] {
                 tipOnEdge = tipTexts(openList()).at(0);
                 // Up from the pointer's row, then Enter chooses it.
                 press(VK_UP);
                 press(VK_RETURN);
               }});
  EXPECT_EQ(tipOnOpen, L"\u00C1ustria") << "the first row is selected on opening";
  EXPECT_EQ(tipOnRow, L"Gr\u00E9cia");
  EXPECT_EQ(highlighted, 8 * 17 + 1);
  EXPECT_EQ(tipOnEdge, L"Est\u00F3nia");
  EXPECT_EQ(d.getText(L"VatCountry"), L"DK");
  // The code's own tip names the chosen state.
  EXPECT_EQ(tipTexts(a->hwnd()), std::vector<std::wstring>{L"Dinamarca"});

  // Alt+Down in the box opens the list as F4 does (the pointer away from where the list shows:
  // a list that opens under the pointer highlights the row there).
  moveTo(screenPoint(f.form.hwnd(), 380, 200));
  pumpUntil(f.form, nullptr, 50);
  runWithList(f.form,
              [&] {
                key(VK_MENU);
                press(VK_DOWN);
                key(VK_MENU, true);
              },
              {[&] {
                ASSERT_TRUE(openList());
                press(VK_RETURN);
              }});
  EXPECT_EQ(d.getText(L"VatCountry"), L"AT");
}

TEST(VatNumberHost, NearTheBottomOfTheScreenTheListOpensAbove) {
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  VatForm f(screenHeight - 200);
  FormControl* a = f.add(L"Customer", 100);
  ASSERT_TRUE(a);
  const RECT control = screenRect(a->hwnd());
  ASSERT_GT(control.top + 19 + 153, screenHeight) << "no room below";
  RECT list = {};
  runWithList(f.form, [&] { clickAt(buttonPoint(a)); }, {[&] {
                HWND w = openList();
                ASSERT_TRUE(w);
                GetWindowRect(w, &list);
                press(VK_ESCAPE);
              }});
  EXPECT_EQ(list.bottom, control.top);
  EXPECT_EQ(list.left, control.left);
}

namespace {

// The library's own pictures, as the simulation draws them.
void shareResourcePictures(nx::sim::SimServices& services) {
  std::vector<std::string> names = {"BT_0", "BT_1", "BT_2"};
  for (int i = 0; i < 27; ++i) names.push_back("FLG_" + std::string(nx::taxid::countryCode(i)));
  for (const std::string& name : names) {
    // The drawing the library picks for this display.
    HBITMAP bitmap = nullptr;
    for (const std::wstring& id : nx::win32::resourceCandidates(name))
      if ((bitmap = static_cast<HBITMAP>(LoadImageW(library().module(), id.c_str(), IMAGE_BITMAP, 0,
                                                    0, LR_CREATEDIBSECTION))))
        break;
    ASSERT_TRUE(bitmap) << name;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    nx::sim::Bitmap pixels(info.bmWidth, info.bmHeight);
    for (int y = 0; y < info.bmHeight; ++y)
      for (int x = 0; x < info.bmWidth; ++x) pixels.set(x, y, GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    services.addResourcePicture(
        name, std::make_shared<nx::sim::SimPicture>(pixels, 1440.0 / nx::test::tpp()));
  }
}

// Pixels of the screen at a window's client area that differ from the expected bitmap, outside
// the rectangles skipped (platform text).
int differing(HWND window, const nx::sim::Bitmap& expected, const std::vector<RECT>& skip,
              int* compared) {
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, expected.width());
  EXPECT_EQ(client.bottom, expected.height());
  HDC screen = GetDC(nullptr);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  int diff = 0;
  *compared = 0;
  for (int y = 0; y < std::min<int>(client.bottom, expected.height()); ++y)
    for (int x = 0; x < std::min<int>(client.right, expected.width()); ++x) {
      bool skipped = false;
      for (const RECT& r : skip)
        skipped = skipped || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
      if (skipped) continue;
      ++*compared;
      const COLORREF got = GetPixel(screen, origin.x + x, origin.y + y);
      if (got != expected.at(x, y) && diff++ < 3)
        std::printf("  differs at %d,%d: %06lX, expected %06lX\n", x, y,
                    static_cast<unsigned long>(got), static_cast<unsigned long>(expected.at(x, y)));
    }
  ReleaseDC(nullptr, screen);
  return diff;
}

}  // namespace

TEST(VatNumberPixels, TheControlAndTheOpenListMatchTheSimulation) {
  // The number box and the code carry platform text, and the list's scroll bar is the
  // platform's: everything else is the control's own drawing.
  const int w = 220, h = 20;
  VatForm f;
  FormControl* real = f.add(L"Customer", 20);
  ASSERT_TRUE(real);
  Dispatch d = real->dispatch();
  d.put(L"BorderColor", 0x00A05020);
  d.put(L"BackColor", 0x00E0F0FF);
  pumpUntil(f.form, nullptr, 100);

  nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
  shareResourcePictures(host.services());
  nx::sim::SiteOptions options;
  options.name = "Customer";
  options.userMode = true;
  options.width = w * nx::test::tpp();
  options.height = h * nx::test::tpp();
  auto& sim = host.create<nx::NxVATNumber>(options);
  sim.putProperty("BorderColor", nx::Value(static_cast<std::int32_t>(0x00A05020)));
  sim.putProperty("BackColor", nx::Value(static_cast<std::int32_t>(0x00E0F0FF)));

  RECT text;
  GetWindowRect(numberWindow(real), &text);
  MapWindowPoints(nullptr, real->hwnd(), reinterpret_cast<POINT*>(&text), 2);
  const RECT code = {px(3), px(2), px(18), px(19)};  // the code label
  int compared = 0;
  const int controlDiff =
      differing(real->hwnd(), host.window(sim).bitmap(), {text, code}, &compared);
  std::printf("control: %d of %d pixels differ\n", controlDiff, compared);
  EXPECT_GT(compared, 1000);
  EXPECT_EQ(controlDiff, 0);

  // The list, highlighted on the third row. The codes' column holds platform text.
  nx::sim::Bitmap simList(1, 1);
  host.services().screen().queueModalStep([&] {
    nx::vatbox::CountryDropDown* list = sim.openList();
    ASSERT_TRUE(list);
    host.services().screen().sendKey(VK_DOWN);
    host.services().screen().sendKey(VK_DOWN);
    simList = dynamic_cast<nx::sim::SimSurface&>(list->window().surface()).bitmap();
    list->cancel();
  });
  sim.dropDown();
  int listDiff = -1, listCompared = 0;
  runWithList(f.form, [&] { clickAt(buttonPoint(real)); },
              {[&] {
                 press(VK_DOWN);
                 press(VK_DOWN);
               },
               [&] {
                 HWND list = openList();
                 ASSERT_TRUE(list);
                 // Flags and the scroll bar keep their pixel sizes; the list's twips grow.
                 RECT client;
                 GetClientRect(list, &client);
                 const RECT codes = {26, 0, client.right - 18, client.bottom};  // beside flags
                 const RECT bar = {client.right - 18, 0, client.right, client.bottom};
                 listDiff = differing(list, simList, {codes, bar}, &listCompared);
                 press(VK_ESCAPE);
               }});
  std::printf("list: %d of %d pixels differ\n", listDiff, listCompared);
  EXPECT_GT(listCompared, 3000);
  EXPECT_EQ(listDiff, 0);
}
