// NxTracker on a form of the form host: the library's one timer sampling on the form's message
// loop, stopping when the tracker is disabled or taken off the form, shared by two trackers;
// and the real pixels of every style against the simulation.
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

#include "display_scale.h"
#include "library_under_test.h"
#include "nxslider_h.h"
#include "platform/sim/sim_host.h"
#include "platform/win32/formhost/form_host.h"
#include "screen_input.h"
#include "slider/tracker/tracker.h"

using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;
using namespace nx::test;

namespace {

using nx::test::library;

const COLORREF kGreen = RGB(0, 255, 0);  // the new tracker's line colour

// Runs the form's loop until the topmost green pixel of column x satisfies `good` (ticks move
// the samples in); the row last seen.
int waitForRow(Form& form, HWND hwnd, int x, const std::function<bool(int)>& good,
               DWORD ms = 4000) {
  const DWORD start = GetTickCount();
  int row = -1;
  for (;;) {
    row = Shot(hwnd).firstRow(x, kGreen);
    if (good(row) || GetTickCount() - start > ms) return row;
    pumpFor(form, 30);
  }
}

class TrackerForm {
 public:
  TrackerForm() : form(L"nx trackers", 480, 320) {
    SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpFor(form, 50);
  }
  // A tracker without a caption or border, disabled, set to sample every `interval`
  // milliseconds once enabled (disabling stops whatever timer of the library runs; the
  // interval is taken only while none runs).
  FormControl* add(const wchar_t* name, RECT where, short interval) {
    Placement p;
    p.name = name;
    p.position = where;
    FormControl* site = nullptr;
    EXPECT_EQ(form.add(library(), CLSID_NxTracker, p, &site), S_OK);
    if (!site) return nullptr;
    Dispatch d = site->dispatch();
    d.put(L"Caption", nx::formhost::textVariant(L""));
    d.put(L"BorderStyle", 0);
    d.put(L"Enabled", 0);
    d.put(L"RefreshInterval", interval);
    return site;
  }
  // Enabling starts the library's timer for this tracker unless one runs already.
  static void enable(FormControl* tracker) { tracker->dispatch().put(L"Enabled", -1); }
  Form form;
};

}  // namespace

TEST(TrackerHost, TheTimerSamplesOnTheFormAndStopsWhenDisabledOrEnded) {
  TrackerForm f;
  FormControl* t = f.add(L"Load", {10, 10, 310, 110}, 40);
  ASSERT_TRUE(t && t->hwnd());
  TrackerForm::enable(t);
  Dispatch d = t->dispatch();
  const int last = 290;  // a column near the newest samples
  HWND hwnd = t->hwnd();
  // 80 of 0..100 on a graph 100 pixels high: near the top; 20: near the bottom.
  d.put(L"Value", 80);
  const int high = waitForRow(f.form, hwnd, last, [](int r) { return r >= 0 && r < 30; });
  EXPECT_LT(high, 30) << "ticks sampled 80";
  EXPECT_GE(high, 0);
  d.put(L"Value", 20);
  const int low = waitForRow(f.form, hwnd, last, [](int r) { return r > 70; });
  EXPECT_GT(low, 70) << "later ticks sampled 20";

  // Disabled: nothing samples any more, whatever Value does.
  d.put(L"Enabled", 0);
  pumpFor(f.form, 200);
  const Shot disabled(t->hwnd());
  d.put(L"Value", 90);
  pumpFor(f.form, 400);
  EXPECT_TRUE(Shot(t->hwnd()) == disabled);

  // Taken off the form while its timer runs: the timer ends with it, and the next tracker gets
  // the library's timer.
  d.put(L"Enabled", -1);
  pumpFor(f.form, 200);
  ASSERT_EQ(f.form.remove(t), S_OK);
  pumpFor(f.form, 300);
  FormControl* next = f.add(L"Next", {10, 150, 310, 250}, 40);
  ASSERT_TRUE(next);
  TrackerForm::enable(next);
  next->dispatch().put(L"Value", 90);
  const int top = waitForRow(f.form, next->hwnd(), last, [](int r) { return r >= 0 && r < 30; });
  EXPECT_GE(top, 0) << "the next tracker ticks";
  EXPECT_LT(top, 30);
}

TEST(TrackerHost, TwoTrackersShareTheLibrarysOneTimer) {
  TrackerForm f;
  FormControl* first = f.add(L"First", {10, 10, 310, 110}, 40);
  FormControl* second = f.add(L"Second", {10, 150, 310, 250}, 40);
  ASSERT_TRUE(first && second);
  TrackerForm::enable(first);
  TrackerForm::enable(second);  // a timer runs: the second gets none
  const int last = 290;
  first->dispatch().put(L"Value", 90);
  second->dispatch().put(L"Value", 90);
  const int firstRow =
      waitForRow(f.form, first->hwnd(), last, [](int r) { return r >= 0 && r < 30; });
  const int secondRow = Shot(second->hwnd()).firstRow(last, kGreen);
  EXPECT_LT(firstRow, 30) << "the first enabled tracker gets the ticks";
  EXPECT_GT(secondRow, 70) << "the second still shows its initial value 0";

  // Disabling the second stops the running timer, which is the first's.
  second->dispatch().put(L"Enabled", 0);
  pumpFor(f.form, 100);
  const Shot stopped(first->hwnd());
  first->dispatch().put(L"Value", 10);
  pumpFor(f.form, 400);
  EXPECT_TRUE(Shot(first->hwnd()) == stopped);
}

TEST(TrackerPixels, EveryStyleMatchesTheSimulation) {
  const int w = 240, h = 90;
  // Samples put one by one; with no interval every accepted put adds one.
  std::vector<long> samples;
  unsigned seed = 7;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    samples.push_back(static_cast<long>((seed >> 16) % 101));
  }
  for (long style = 0; style <= 3; ++style) {
    TrackerForm f;
    Placement p;
    p.name = L"Graph";
    p.position = {20, 20, 20 + w, 20 + h};
    FormControl* real = nullptr;
    ASSERT_EQ(f.form.add(library(), CLSID_NxTracker, p, &real), S_OK);
    Dispatch d = real->dispatch();

    nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
    nx::sim::SiteOptions options;
    options.name = "Graph";
    options.userMode = true;
    options.width = w * nx::test::tpp();
    options.height = h * nx::test::tpp();
    auto& sim = host.create<nx::NxTracker>(options);

    // The same look on both: no caption, grid both ways, average, a marker line, this style.
    const auto both = [&](const char* name, long v) {
      const std::wstring wide(name, name + std::char_traits<char>::length(name));
      d.put(wide.c_str(), v);
      sim.putProperty(name, nx::Value(static_cast<std::int32_t>(v)));
    };
    d.put(L"Caption", nx::formhost::textVariant(L""));
    sim.putProperty("Caption", nx::Value(std::string()));
    both("Style", style);
    both("GridStyle", 3);
    both("MarkerStyle", 1);
    both("BackColorTop", 0x00302010);
    d.put(L"Average", -1);
    sim.putProperty("Average", nx::Value(true));
    host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
    for (long v : samples) both("Value", v);
    pumpFor(f.form, 100);

    const Shot shot(real->hwnd());
    const nx::sim::Bitmap& expected = host.window(sim).bitmap();
    ASSERT_EQ(shot.width(), expected.width());
    ASSERT_EQ(shot.height(), expected.height());
    int differing = 0, channel = 0, green = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        const COLORREF got = shot.at(x, y);
        green += got == kGreen;
        const nx::Rgb want = expected.at(x, y);
        if (got == want) continue;
        ++differing;
        for (int s = 0; s < 24; s += 8)
          channel = std::max(channel, std::abs(static_cast<int>((got >> s) & 0xFF) -
                                               static_cast<int>((want >> s) & 0xFF)));
      }
    std::printf("tracker style %ld: %d pixels differ, at most %d per channel\n", style, differing,
                channel);
    EXPECT_GT(green, 50) << "the series is drawn";
    // The background is the platform's gradient fill (its 16-bit colour steps may round one
    // way or the other); lines and points are exact.
    EXPECT_LE(channel, 2) << "style " << style;
  }
}
