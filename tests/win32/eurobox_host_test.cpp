// NxEuroBox on a form of the form host, typed into with real keys: the key filter on the real
// text box, a group whose result box follows its members, formatting when the focus leaves, the
// same amounts whatever the thread's locale; and the box's own pixels against the simulation.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "currency/eurobox/eurobox.h"
#include "display_scale.h"
#include "library_under_test.h"
#include "nxcurrency_h.h"
#include "platform/sim/sim_host.h"
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

// Types the text with the keys of a US keyboard: digits, "." (VK_OEM_PERIOD), "," and "-".
void type(Form& form, const char* text) {
  for (const char* c = text; *c; ++c) {
    WORD vk = static_cast<WORD>(*c);
    if (*c == '.') vk = VK_OEM_PERIOD;
    if (*c == ',') vk = VK_OEM_COMMA;
    if (*c == '-') vk = VK_OEM_MINUS;
    key(vk);
    key(vk, true);
    pumpUntil(form, nullptr, 30);
  }
}

// The digits as the box shows them: its Text without the symbol.
std::wstring digits(const Dispatch& d) {
  const std::wstring text = d.getText(L"Text");
  const std::size_t blank = text.find(L' ');
  return blank == std::wstring::npos ? text : text.substr(0, blank);
}

// The window of the box's digits text box: its first child.
HWND digitsWindow(FormControl* box) {
  return GetWindow(box->hwnd(), GW_CHILD);
}

class BoxForm {
 public:
  BoxForm() : form(L"nx amounts", 480, 320) {
    SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(form.hwnd());
    pumpUntil(form, nullptr, 100);
  }
  ~BoxForm() {
    for (EventSink* s : sinks_) s->Release();
  }
  BoxForm(const BoxForm&) = delete;
  BoxForm& operator=(const BoxForm&) = delete;
  FormControl* add(const wchar_t* name, int top, const wchar_t* group, long role) {
    Placement p;
    p.name = name;
    p.position = {20, top, 180, top + 24};
    FormControl* site = nullptr;
    EXPECT_EQ(form.add(library(), CLSID_NxEuroBox, p, &site), S_OK);
    if (!site) return nullptr;
    Dispatch d = site->dispatch();
    d.put(L"Group", nx::formhost::textVariant(group));
    d.put(L"GroupRole", role);
    return site;
  }
  EventSink& listen(FormControl* box) {
    auto* sink = new EventSink;
    DWORD cookie = 0;
    EXPECT_EQ(nx::formhost::advise(box->object(), DIID___NxEuroBox, sink, &cookie), S_OK);
    sinks_.push_back(sink);
    return *sink;
  }
  Form form;

 private:
  std::vector<EventSink*> sinks_;
};

constexpr DISPID kChange = 1;

}  // namespace

TEST(EuroBoxHost, TypedAmountsSumIntoTheResultBoxWhateverTheLocale) {
  for (LCID locale : {MAKELCID(0x0409, SORT_DEFAULT), MAKELCID(0x0407, SORT_DEFAULT)}) {
    SCOPED_TRACE(locale == 0x0409 ? "English locale" : "German locale");
    SetThreadLocale(locale);
    BoxForm f;
    FormControl* a = f.add(L"Net", 20, L"a", 1);
    FormControl* b = f.add(L"Tax", 60, L"a", 1);
    FormControl* other = f.add(L"Other", 100, L"b", 1);
    FormControl* total = f.add(L"Total", 140, L"A", 2);
    ASSERT_TRUE(a && b && other && total);
    EventSink& totalEvents = f.listen(total);

    // The focus selects the whole text: typing replaces it.
    ASSERT_TRUE(f.form.focus(a));
    pumpUntil(f.form, nullptr, 100);
    type(f.form, "1234.5");
    EXPECT_EQ(digits(a->dispatch()), L"1234,5") << "a typed point becomes the comma";
    EXPECT_DOUBLE_EQ(a->dispatch().get(L"Value").dblVal, 1234.5);
    EXPECT_EQ(digits(total->dispatch()), L"1.234,50");
    EXPECT_GT(totalEvents.count(kChange), 0);

    // A second decimal is taken, a third is not.
    type(f.form, "9");
    EXPECT_EQ(digits(a->dispatch()), L"1234,59");
    type(f.form, "7");
    EXPECT_EQ(digits(a->dispatch()), L"1234,59") << "only two decimals";

    // Tab formats the amount the focus leaves and selects the next box's text.
    key(VK_TAB);
    key(VK_TAB, true);
    ASSERT_TRUE(pumpUntil(f.form, [&] { return f.form.focused() == b; }));
    EXPECT_EQ(digits(a->dispatch()), L"1.234,59");
    type(f.form, "20,5");
    type(f.form, "-");  // toggles the sign wherever the caret is
    EXPECT_EQ(digits(b->dispatch()), L"-20,5");
    EXPECT_DOUBLE_EQ(total->dispatch().get(L"Value").dblVal, 1214.09);
    EXPECT_EQ(digits(total->dispatch()), L"1.214,09");

    // Another group leaves the total alone.
    ASSERT_TRUE(f.form.focus(other));
    pumpUntil(f.form, nullptr, 50);
    type(f.form, "5");
    EXPECT_DOUBLE_EQ(total->dispatch().get(L"Value").dblVal, 1214.09);
  }
  SetThreadLocale(LOCALE_USER_DEFAULT);
}

TEST(EuroBoxPixels, BorderAndBackgroundMatchTheSimulation) {
  // The text box and the symbol label carry platform text; everything around them is the
  // box's own drawing and must be equal.
  const int w = 160, h = 26;
  for (long border = 0; border <= 2; ++border) {
    BoxForm f;
    FormControl* real = f.add(L"Amount", 20, L"", 0);
    ASSERT_TRUE(real);
    Dispatch d = real->dispatch();
    d.put(L"BorderStyle", border);
    d.put(L"BorderColor", 0x00A05020);
    d.put(L"BackColor", 0x00E0F0FF);
    real->move({20, 20, 20 + w, 20 + h});
    pumpUntil(f.form, nullptr, 100);

    nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
    nx::sim::SiteOptions options;
    options.name = "Amount";
    options.userMode = true;
    options.width = w * nx::test::tpp();
    options.height = h * nx::test::tpp();
    auto& sim = host.create<nx::NxEuroBox>(options);
    sim.putProperty("BorderStyle", nx::Value(static_cast<std::int32_t>(border)));
    sim.putProperty("BorderColor", nx::Value(static_cast<std::int32_t>(0x00A05020)));
    sim.putProperty("BackColor", nx::Value(static_cast<std::int32_t>(0x00E0F0FF)));
    host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
    const nx::sim::Bitmap& expected = host.window(sim).bitmap();

    HWND window = real->hwnd();
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, expected.width());
    ASSERT_EQ(client.bottom, expected.height());
    // The rectangles of the child windows and of the label (the part right of the text box).
    RECT text;
    GetWindowRect(digitsWindow(real), &text);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&text), 2);
    HDC screen = GetDC(nullptr);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    int compared = 0, differing = 0;
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x) {
        const bool inText = x >= text.left && x < text.right && y >= text.top && y < text.bottom;
        const bool inLabel =
            x >= text.right && y > 1 && y < client.bottom - 2 && x < client.right - 2;
        if (inText || inLabel) continue;
        ++compared;
        differing += GetPixel(screen, origin.x + x, origin.y + y) != expected.at(x, y);
      }
    ReleaseDC(nullptr, screen);
    std::printf("euro box border %ld: %d of %d pixels differ\n", border, differing, compared);
    EXPECT_GT(compared, 0);
    EXPECT_EQ(differing, 0) << "border " << border;
  }
}
